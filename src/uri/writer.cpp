// Writing a URI out as text, and equality of URIs by their written-out form.
#include <tessera/URI.h>

#include <cstring>

#include "uri/escape_sets.h"

namespace Varn {
namespace {

// The pieces of a written-out URI, collected first so that the result is sized once.
class PieceList {
public:
    void Add(const std::string& text) { Add(text.data(), text.size()); }
    void Add(const char* text, std::size_t n) {
        m_pieces[m_count] = text;
        m_sizes[m_count] = n;
        m_total += n;
        ++m_count;
    }
    std::string Join() const {
        std::string out(m_total, '\0');
        char* to = &out[0];
        for (int i = 0; i < m_count; ++i) {
            const std::size_t n = m_sizes[i];
            if (n > 2) {
                std::memcpy(to, m_pieces[i], n);
            } else {
                for (std::size_t k = 0; k < n; ++k) to[k] = m_pieces[i][k];  // separators
            }
            to += n;
        }
        return out;
    }

private:
    // At most: scheme ':' "//" user ':' password '@' host ':' port path '?' query '#' fragment.
    const char* m_pieces[16];
    std::size_t m_sizes[16];
    std::size_t m_total = 0;
    int m_count = 0;
};

}  // namespace

URI::StringProxy URI::ToString(bool unescaped) const {
    const auto write = [this](const std::string& scheme, const std::string& nonHierarchical,
                              const std::string& username, const std::string& password, const std::string& authority,
                              const std::string& path, const std::string& query, const std::string& fragment) {
        PieceList out;
        if (!IsHierarchical()) {
            out.Add(scheme);
            out.Add(":", 1);
            out.Add(nonHierarchical);
        } else {
            if (!m_relative) {
                if (!m_scheme.empty()) {
                    out.Add(scheme);
                    out.Add(":", 1);
                }
                if (!m_authority.empty() || IsOfType("file")) {
                    out.Add("//", 2);
                    if (!m_username.empty()) {
                        out.Add(username);
                        if (!m_password.empty()) {
                            out.Add(":", 1);
                            out.Add(password);
                        }
                        out.Add("@", 1);
                    }
                    out.Add(authority);
                    if (!m_serverPort.empty()) {
                        out.Add(":", 1);
                        out.Add(m_serverPort);
                    }
                }
            }
            out.Add(path);
        }
        if (!m_query.empty()) {
            out.Add("?", 1);
            out.Add(query);
        }
        if (!m_fragment.empty()) {
            out.Add("#", 1);
            out.Add(fragment);
        }
        return out.Join();
    };

    if (!unescaped) {
        return write(m_scheme, m_nonHierarchical, m_username, m_password, m_authority, m_path, m_query, m_fragment);
    }
    // Unescaped through the getters; an IPv6 host is always written as stored, with its
    // brackets, and the port never changes.
    return write(GetScheme(), GetNonHierarchical(), GetUsername(), GetPassword(),
                 IsIPv6(m_authority) ? m_authority : GetAuthority().str(), GetPath(), GetQuery(true), GetFragment());
}

URI::StringProxy URI::ToStringUTF8() const { return Unescape(ToString(false), true); }

URI::StringProxy URI::ToStringUTF8Escaped() const {
    StringProxy written = ToString(false);
    if (!tessera::uri::HasMember(written, tessera::uri::s_highByteSet)) return written;  // ASCII already
    return tessera::uri::EscapeBySet(written.str(), tessera::uri::s_highByteSet);
}

bool URI::operator==(const URI& other) const { return ToString(false).str() == other.ToString(false).str(); }

bool URI::operator!=(const URI& other) const { return !(*this == other); }

bool URI::operator==(StringProxy text) const { return ToString(false).str() == text.str(); }

bool URI::operator!=(StringProxy text) const { return !(*this == std::move(text)); }

bool URI::operator==(const char* text) const { return *this == StringProxy(text); }

bool URI::operator!=(const char* text) const { return !(*this == StringProxy(text)); }

}  // namespace Varn
