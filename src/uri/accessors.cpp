// Component getters and setters: components are stored escaped; getters return them
// unescaped, setters escape plain text with the component's escape set.
//
// Each setter changes the URI completely or, when an allocation fails, not at all.
#include <string>
#include <string_view>

#include <tessera/URI.h>

#include "uri/ascii.h"
#include "uri/escape_reading.h"
#include "uri/escape_sets.h"
#include "uri/path_segment_views.h"
#include "uri/proxy_text.h"
#include "uri/storage.h"

namespace Varn {

using tessera::uri::kAuthority;
using tessera::uri::kFragment;
using tessera::uri::kNonHierarchical;
using tessera::uri::kPassword;
using tessera::uri::kPath;
using tessera::uri::kQuery;
using tessera::uri::kScheme;
using tessera::uri::kServerPort;
using tessera::uri::kUsername;

namespace {

URI::StringProxy Unescaped(std::string_view stored) { return tessera::uri::UnescapeText(stored, false); }

bool IsBracketedIPv6(std::string_view authority) {
    return authority.size() > 2 && authority.front() == '[' && authority.back() == ']' &&
           tessera::uri::HasTwoColons(authority);
}

}  // namespace

URI::StringProxy URI::GetScheme() const { return Unescaped(Storage::Get(*this, kScheme)); }

URI::StringProxy URI::GetAuthority() const {
    const std::string_view host = Storage::Get(*this, kAuthority);
    if (IsBracketedIPv6(host)) return std::string(host.substr(1, host.size() - 2));
    return Unescaped(host);
}

URI::StringProxy URI::GetServerPort() const { return Unescaped(Storage::Get(*this, kServerPort)); }

URI::StringProxy URI::GetPath() const { return Unescaped(Storage::Get(*this, kPath)); }

URI::StringProxy URI::GetQuery(bool unescape) const {
    const std::string_view query = Storage::Get(*this, kQuery);
    return unescape ? Unescaped(query) : StringProxy(std::string(query));
}

URI::StringProxy URI::GetFragment() const { return Unescaped(Storage::Get(*this, kFragment)); }

URI::StringProxy URI::GetUsername() const { return Unescaped(Storage::Get(*this, kUsername)); }

URI::StringProxy URI::GetPassword() const { return Unescaped(Storage::Get(*this, kPassword)); }

URI::StringProxy URI::GetNonHierarchical() const { return Unescaped(Storage::Get(*this, kNonHierarchical)); }

void URI::SetScheme(StringProxy text) {
    std::string scheme = tessera::uri::EscapeBySet(tessera::uri::TakeText(text), tessera::uri::s_excludedSet);
    MakeLower(scheme);  // after escaping: the escapes' digits are lower-cased too
    Storage::Set(*this, kScheme, scheme);
}

void URI::SetAuthority(StringProxy text) {
    std::string host = tessera::uri::TakeText(text);
    if (IsIPv6(host)) {
        // An IPv6 literal is stored in brackets, unescaped.
        if (host.size() > 2 && host.front() != '[') host = "[" + host + "]";
        MakeLower(host);
        Storage::Set(*this, kAuthority, host);
    } else {
        MakeLower(host);  // before escaping, so the escapes keep upper-case digits
        Storage::SetEscaped(*this, kAuthority, host, tessera::uri::s_userInfoSet);
    }
    SetHierState(true);
}

void URI::SetServerPort(StringProxy text) {
    Storage::SetEscaped(*this, kServerPort, text.str(), tessera::uri::s_excludedSet);
    SetHierState(true);
}

void URI::SetPath(StringProxy text) {
    const std::string& path = text;
    // The byte tests come before the virtual call, which most paths then skip.
    if (path.size() >= 4 && path[2] == '|' && IsOfType("file")) {
        // A drive mark "/C|" stays as it is; only the rest is escaped.
        Storage::Set(*this, kPath,
                     path.substr(0, 3) + tessera::uri::EscapeBySet(path.substr(3), tessera::uri::s_excludedSet));
    } else {
        Storage::SetEscaped(*this, kPath, path, tessera::uri::s_excludedSet);
    }
    if (tessera::uri::Equals(Storage::Get(*this, kScheme), "unknown")) Storage::Clear(*this, kScheme);
    SetHierState(true);
}

void URI::SetQuery(StringProxy text, bool escape) {
    if (escape) {
        Storage::SetEscaped(*this, kQuery, text.str(), tessera::uri::s_newRfcSet);
    } else {
        Storage::Set(*this, kQuery, text.str());
    }
}

void URI::SetFragment(StringProxy text) {
    Storage::SetEscaped(*this, kFragment, text.str(), tessera::uri::s_newRfcSet);
}

void URI::SetUsername(StringProxy text) {
    Storage::SetEscaped(*this, kUsername, text.str(), tessera::uri::s_userInfoSet);
}

void URI::SetPassword(StringProxy text) {
    Storage::SetEscaped(*this, kPassword, text.str(), tessera::uri::s_userInfoSet);
}

void URI::SetNonHierarchical(StringProxy text) {
    Storage::SetEscaped(*this, kNonHierarchical, text.str(), tessera::uri::s_nonHierSet);
    SetHierState(false);
}

// Several setters in a row: when an allocation fails, those done before stay done.
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

bool URI::IsOfType(StringProxy name) const {
    return tessera::uri::SameText(Storage::Get(*this, kScheme), name.str(), false);
}

// Several setters in a row: when an allocation fails, those done before stay done.
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
