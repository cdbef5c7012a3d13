// Parsing URI text into the components: a fixed sequence of searches for separators,
// then the validity rules. Pieces are stored as written; only scheme and host are
// lower-cased.
#include <tessera/URI.h>

#include <cstring>

namespace Varn {
namespace {

// Position of the first c in [from, to) of d, or to.
std::size_t Find(const char* d, std::size_t from, std::size_t to, char c) {
    const void* hit = std::memchr(d + from, c, to - from);
    return hit ? static_cast<std::size_t>(static_cast<const char*>(hit) - d) : to;
}

bool IsAsciiLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

}  // namespace

void URI::ConstructURI(const std::string& text) {
    if (!ParseURI(text)) m_Valid = false;
}

bool URI::ParseURI(const std::string& text) {
    // The text may be one of this object's own components: parse a copy of it then.
    const std::string* const own[] = {&m_Scheme, &m_Authority, &m_ServerPort, &m_Path, &m_Query,
                                      &m_Fragment, &m_Username, &m_Password, &m_NonHierarchical};
    for (const std::string* component : own) {
        if (component == &text) return ParseURI(std::string(text));
    }

    Initialize();
    const char* d = text.data();
    std::size_t end = text.size();

    // Fragment: after the last '#'.
    const std::size_t hash = text.rfind('#');
    if (hash != std::string::npos) {
        m_Fragment.assign(d + hash + 1, end - hash - 1);
        end = hash;
    }
    // Query: after the first '?' of what is left.
    const std::size_t question = Find(d, 0, end, '?');
    if (question != end) {
        m_Query.assign(d + question + 1, end - question - 1);
        end = question;
    }
    // Scheme: before a ':' that comes before any '/'.
    std::size_t colon = 0;
    while (colon < end && d[colon] != ':' && d[colon] != '/') ++colon;
    if (colon == end || d[colon] == '/') {
        m_Scheme.clear();
        m_Relative = true;
        m_Hierarchical = true;
        m_Path.assign(d, end);
    } else {
        m_Scheme.assign(d, colon);
        MakeLower(m_Scheme);
        std::size_t s = colon + 1;
        if (end - s < 2 || d[s] != '/' || d[s + 1] != '/') {
            m_NonHierarchical.assign(d + s, end - s);
        } else {
            m_Hierarchical = true;
            s += 2;
            // Four or more slashes after the scheme: skip them all.
            if (end - s >= 2 && d[s] == '/' && d[s + 1] == '/') {
                while (s < end && d[s] == '/') ++s;
            }
            // Host part up to the first '/', path from there.
            const std::size_t slash = Find(d, s, end, '/');
            m_Path.assign(d + slash, end - slash);
            std::size_t host = s;
            const std::size_t hostEnd = slash;
            // User information before the first '@'.
            const std::size_t at = Find(d, host, hostEnd, '@');
            if (at != hostEnd) {
                const std::size_t userColon = Find(d, host, at, ':');
                m_Username.assign(d + host, userColon - host);
                if (userColon != at) m_Password.assign(d + userColon + 1, at - userColon - 1);
                host = at + 1;
            }
            // Port, or an IPv6 literal (two ':' in the host part).
            const std::size_t firstColon = Find(d, host, hostEnd, ':');
            const bool ipv6 = firstColon != hostEnd && Find(d, firstColon + 1, hostEnd, ':') != hostEnd;
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
                    m_ServerPort.assign(d + bracket + 2, hostEnd - bracket - 2);
                    m_Authority.assign(d + host, bracket + 1 - host);
                } else {
                    m_Authority.assign(d + host, hostEnd - host);
                }
            } else if (ipv6) {
                m_Authority.reserve(hostEnd - host + 2);
                m_Authority.push_back('[');
                m_Authority.append(d + host, hostEnd - host);
                m_Authority.push_back(']');
            } else {
                m_Authority.assign(d + host, firstColon - host);
                if (firstColon != hostEnd) m_ServerPort.assign(d + firstColon + 1, hostEnd - firstColon - 1);
            }
            // A drive letter in a "file" path: "/C:/x" is stored as "/C|/x".
            if (m_Scheme == "file" && m_Path.size() >= 3 && IsAsciiLetter(m_Path[1]) && m_Path[2] == ':') {
                m_Path[2] = '|';
            }
            MakeLower(m_Authority);
        }
    }

    m_Valid = ValidateURI();
    if (!m_Valid) Initialize();
    return m_Valid;
}

bool URI::ValidateURI() {
    if (IsAbsolute()) {
        if (m_Scheme.size() < 2 || m_Scheme == "unknown" || !VerifyAlpha(m_Scheme)) return false;
    }
    if (m_Hierarchical) {
        if (m_Path.find('\\') != std::string::npos) return false;
        return IsRelative() || m_Scheme != "unknown";
    }
    return m_NonHierarchical.find('\\') == std::string::npos;
}

bool URI::IsIPv6(const std::string& text) {
    const std::size_t first = text.find(':');
    return first != std::string::npos && text.find(':', first + 1) != std::string::npos;
}

}  // namespace Varn
