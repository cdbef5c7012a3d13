// Parsing URI text into the components: a fixed sequence of searches for separators,
// then the validity rules. Pieces are stored as written; only scheme and host are
// lower-cased.
#include <tessera/URI.h>

#include <cstring>

#include "uri/ascii.h"
#include "uri/separator_scan.h"

namespace Varn {
namespace {

// Position of the first c in [from, to) of d, or to.
std::size_t Find(const char* d, std::size_t from, std::size_t to, char c) {
    const void* hit = std::memchr(d + from, c, to - from);
    return hit ? static_cast<std::size_t>(static_cast<const char*>(hit) - d) : to;
}

bool IsAsciiUpper(char c) { return static_cast<unsigned char>(c - 'A') < 26u; }

}  // namespace

void URI::ConstructURI(const std::string& text) {
    if (!ParseURI(text)) m_valid = false;
}

bool URI::ParseURI(const std::string& text) {
    // The text may be one of this object's own components: parse a copy of it then.
    const std::string* const own[] = {&m_scheme,   &m_authority, &m_serverPort, &m_path,           &m_query,
                                      &m_fragment, &m_username,  &m_password,   &m_nonHierarchical};
    for (const std::string* component : own) {
        if (component == &text) return ParseURI(std::string(text));
    }

    // Every component but the scheme is empty after this, so pieces are appended.
    Initialize();
    const char* d = text.data();
    std::size_t end = text.size();

    // Fragment: after the last '#'. Query: after the first '?' before it.
    const tessera::uri::QueryAndFragmentMarks marks = tessera::uri::FindQueryAndFragment(d, end);
    if (marks.hash != end) {
        m_fragment.append(d + marks.hash + 1, end - marks.hash - 1);
        end = marks.hash;
    }
    if (marks.question != end) {
        m_query.append(d + marks.question + 1, end - marks.question - 1);
        end = marks.question;
    }
    // Scheme: before a ':' that comes before any '/'. Scheme and host are lower-cased,
    // which only needs doing when an upper-case letter was seen in them.
    bool upper = false;
    std::size_t colon = 0;
    for (; colon < end && d[colon] != ':' && d[colon] != '/'; ++colon) upper |= IsAsciiUpper(d[colon]);
    if (colon == end || d[colon] == '/') {
        m_scheme.clear();
        m_relative = true;
        m_hierarchical = true;
        m_path.append(d, end);
    } else {
        m_scheme.clear();
        m_scheme.append(d, colon);
        if (upper) MakeLower(m_scheme);
        std::size_t s = colon + 1;
        if (end - s < 2 || d[s] != '/' || d[s + 1] != '/') {
            m_nonHierarchical.append(d + s, end - s);
        } else {
            m_hierarchical = true;
            s += 2;
            // Four or more slashes after the scheme: skip them all.
            if (end - s >= 2 && d[s] == '/' && d[s + 1] == '/') {
                while (s < end && d[s] == '/') ++s;
            }
            // Host part up to the first '/', path from there; in the host part, the first
            // '@' and the first two ':' after it.
            const tessera::uri::HostPartSeparators found = tessera::uri::ScanHostPart(d, s, end);
            const std::size_t slash = found.slash;
            std::size_t at = found.at, firstColon = found.firstColon;
            const std::size_t secondColon = found.secondColon;
            upper = found.upper;
            m_path.append(d + slash, end - slash);
            std::size_t host = s;
            const std::size_t hostEnd = slash;
            if (at == end) at = hostEnd;
            if (firstColon == end) firstColon = hostEnd;
            // User information before the first '@'.
            if (at != hostEnd) {
                const std::size_t userColon = Find(d, host, at, ':');
                m_username.append(d + host, userColon - host);
                if (userColon != at) m_password.append(d + userColon + 1, at - userColon - 1);
                host = at + 1;
            }
            // Port, or an IPv6 literal (two ':' in the host).
            const bool ipv6 = secondColon != end;
            if (ipv6 && host < hostEnd && d[host] == '[') {
                const char* close = nullptr;
                for (std::size_t i = host; i + 1 < hostEnd; ++i) {
                    if (d[i] == ']' && d[i + 1] == ':') {
                        close = d + i;
                        break;
                    }
                }
                if (close != nullptr) {
                    const std::size_t bracket = static_cast<std::size_t>(close - d);
                    m_serverPort.append(d + bracket + 2, hostEnd - bracket - 2);
                    m_authority.append(d + host, bracket + 1 - host);
                } else {
                    m_authority.append(d + host, hostEnd - host);
                }
            } else if (ipv6) {
                m_authority.reserve(hostEnd - host + 2);
                m_authority.push_back('[');
                m_authority.append(d + host, hostEnd - host);
                m_authority.push_back(']');
            } else {
                m_authority.append(d + host, firstColon - host);
                if (firstColon != hostEnd) m_serverPort.append(d + firstColon + 1, hostEnd - firstColon - 1);
            }
            // A drive letter in a "file" path: "/C:/x" is stored as "/C|/x".
            if (tessera::uri::Equals(m_scheme, "file") && m_path.size() >= 3 &&
                tessera::uri::IsAsciiLetter(m_path[1]) && m_path[2] == ':') {
                m_path[2] = '|';
            }
            if (upper) MakeLower(m_authority);
        }
    }

    m_valid = ValidateURI();
    if (!m_valid) Initialize();
    return m_valid;
}

bool URI::ValidateURI() {
    using tessera::uri::Equals;
    if (IsAbsolute()) {
        if (m_scheme.size() < 2 || Equals(m_scheme, "unknown")) return false;
        for (char c : m_scheme) {
            if (!tessera::uri::IsAsciiLetter(c)) return false;  // VerifyAlpha
        }
    }
    const auto hasBackslash = [](const std::string& text) { return tessera::uri::ContainsByte(text, '\\'); };
    if (m_hierarchical) {
        if (hasBackslash(m_path)) return false;
        return IsRelative() || !Equals(m_scheme, "unknown");
    }
    return !hasBackslash(m_nonHierarchical);
}

bool URI::IsIPv6(const std::string& text) {
    const std::size_t first = text.find(':');
    return first != std::string::npos && text.find(':', first + 1) != std::string::npos;
}

}  // namespace Varn
