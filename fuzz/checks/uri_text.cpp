// Small text predicates the URI checks share.
#include "uri_text.h"

namespace tessera::fuzz {

namespace {
bool IsUpperHex(char c) { return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F'); }
}  // namespace

bool EscapesWellFormed(const std::string& text) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%') continue;
        if (i + 2 >= text.size() || !IsUpperHex(text[i + 1]) || !IsUpperHex(text[i + 2])) return false;
        i += 2;
    }
    return true;
}

bool HasControlOrSpace(const std::string& text) {
    for (unsigned char c : text) {
        if ((c >= 0x01 && c <= 0x20) || c == 0x7F) return true;
    }
    return false;
}

bool HasUpperCase(const std::string& text) {
    for (char c : text) {
        if (c >= 'A' && c <= 'Z') return true;
    }
    return false;
}

std::string Snapshot(const Varn::URI& uri) {
    // The written-out form does not show every component (a password without a user
    // name, the host of a relative URI), so list them all, each with its length.
    std::string out;
    auto add = [&out](const std::string& part) { out += std::to_string(part.size()) + ":" + part + "|"; };
    add(uri.ToString(false));
    add(uri.GetScheme());
    add(uri.GetAuthority());
    add(uri.GetServerPort());
    add(uri.GetPath());
    add(uri.GetQuery(false));
    add(uri.GetFragment());
    add(uri.GetUsername());
    add(uri.GetPassword());
    add(uri.GetNonHierarchical());
    out += uri.IsValidURI() ? 'V' : 'v';
    out += uri.IsRelative() ? 'R' : 'r';
    out += uri.IsHierarchical() ? 'H' : 'h';
    return out;
}

bool IsDefaultState(const Varn::URI& uri) {
    return uri.ToString(false) == "unknown:" && uri.GetScheme() == "unknown" && uri.GetAuthority().empty() &&
           uri.GetServerPort().empty() && uri.GetPath().empty() && uri.GetQuery(false).empty() &&
           uri.GetFragment().empty() && uri.GetUsername().empty() && uri.GetPassword().empty() &&
           uri.GetNonHierarchical().empty() && !uri.IsValidURI() && !uri.IsRelative() && !uri.IsHierarchical();
}

}  // namespace tessera::fuzz
