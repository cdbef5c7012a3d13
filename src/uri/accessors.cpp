// Component getters and setters: components are stored escaped; getters return them
// unescaped, setters escape plain text with the component's escape set.
#include <tessera/URI.h>

#include "uri/ascii.h"
#include "uri/escape_sets.h"

namespace Varn {

using tessera::uri::AssignEscapedBySet;
using tessera::uri::EscapeBySet;

namespace {

bool IsBracketedIPv6(const std::string& authority) {
    return authority.size() > 2 && authority.front() == '[' && authority.back() == ']' && URI::IsIPv6(authority);
}

}  // namespace

URI::StringProxy URI::GetScheme() const { return Unescape(m_scheme, false); }

URI::StringProxy URI::GetAuthority() const {
    if (IsBracketedIPv6(m_authority)) return m_authority.substr(1, m_authority.size() - 2);
    return Unescape(m_authority, false);
}

URI::StringProxy URI::GetServerPort() const { return Unescape(m_serverPort, false); }

URI::StringProxy URI::GetPath() const { return Unescape(m_path, false); }

URI::StringProxy URI::GetQuery(bool unescape) const {
    return unescape ? Unescape(m_query, false) : StringProxy(m_query);
}

URI::StringProxy URI::GetFragment() const { return Unescape(m_fragment, false); }

URI::StringProxy URI::GetUsername() const { return Unescape(m_username, false); }

URI::StringProxy URI::GetPassword() const { return Unescape(m_password, false); }

URI::StringProxy URI::GetNonHierarchical() const { return Unescape(m_nonHierarchical, false); }

void URI::SetScheme(StringProxy text) {
    AssignEscapedBySet(m_scheme, text, tessera::uri::s_excludedSet);
    MakeLower(m_scheme);
}

void URI::SetAuthority(StringProxy text) {
    const std::string& host = text;
    if (IsIPv6(host)) {
        // An IPv6 literal is stored in brackets, unescaped.
        if (host.size() > 2 && host.front() != '[') {
            m_authority.reserve(host.size() + 2);
            m_authority.assign(1, '[');
            m_authority += host;
            m_authority.push_back(']');
        } else {
            m_authority = host;
        }
        MakeLower(m_authority);
    } else {
        // Lower-cased before escaping, so the escapes keep upper-case digits.
        std::string lower = host;
        MakeLower(lower);
        m_authority = EscapeBySet(std::move(lower), tessera::uri::s_userInfoSet);
    }
    SetHierState(true);
}

void URI::SetServerPort(StringProxy text) {
    AssignEscapedBySet(m_serverPort, text, tessera::uri::s_excludedSet);
    SetHierState(true);
}

void URI::SetPath(StringProxy text) {
    const std::string& path = text;
    // The byte tests come before the virtual call, which most paths then skip.
    if (path.size() >= 4 && path[2] == '|' && IsOfType("file")) {
        // A drive mark "/C|" stays as it is; only the rest is escaped. Built apart, so
        // that a failed allocation leaves the old path rather than the mark alone.
        std::string escaped = path.substr(0, 3);
        escaped += EscapeBySet(path.substr(3), tessera::uri::s_excludedSet);
        m_path = std::move(escaped);
    } else {
        AssignEscapedBySet(m_path, path, tessera::uri::s_excludedSet);
    }
    if (tessera::uri::Equals(m_scheme, "unknown")) m_scheme.clear();
    SetHierState(true);
}

void URI::SetQuery(StringProxy text, bool escape) {
    if (escape) {
        AssignEscapedBySet(m_query, text, tessera::uri::s_newRfcSet);
    } else {
        m_query = text.str();
    }
}

void URI::SetFragment(StringProxy text) { AssignEscapedBySet(m_fragment, text, tessera::uri::s_newRfcSet); }

void URI::SetUsername(StringProxy text) { AssignEscapedBySet(m_username, text, tessera::uri::s_userInfoSet); }

void URI::SetPassword(StringProxy text) { AssignEscapedBySet(m_password, text, tessera::uri::s_userInfoSet); }

void URI::SetNonHierarchical(StringProxy text) {
    AssignEscapedBySet(m_nonHierarchical, text, tessera::uri::s_nonHierSet);
    SetHierState(false);
}

void URI::SetParts(StringProxy scheme, StringProxy authority, StringProxy serverPort, StringProxy path,
                   StringProxy query, StringProxy fragment) {
    SetScheme(std::move(scheme));
    SetAuthority(std::move(authority));
    SetServerPort(std::move(serverPort));
    SetPath(std::move(path));
    SetQuery(std::move(query), true);
    SetFragment(std::move(fragment));
    SetHierState(true);
}

void URI::GetParts(StringRefProxy scheme, StringRefProxy authority, StringRefProxy serverPort, StringRefProxy path,
                   StringRefProxy query, StringRefProxy fragment) const {
    scheme = GetScheme();
    authority = GetAuthority();
    serverPort = GetServerPort();
    path = GetPath();
    query = GetQuery(true);
    fragment = GetFragment();
}

bool URI::IsOfType(StringProxy name) const { return Compare(m_scheme, name, false) == 0; }

void URI::ForceEscape() {
    SetScheme(GetScheme());
    if (IsHierarchical()) {
        SetAuthority(GetAuthority());
        SetPath(GetPath());
        SetServerPort(GetServerPort());
    } else {
        SetNonHierarchical(GetNonHierarchical());
    }
    SetQuery(GetQuery(true), true);
    SetFragment(GetFragment());
}

}  // namespace Varn
