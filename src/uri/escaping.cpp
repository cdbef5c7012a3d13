// The URI class's static text operations: escaping, unescaping, the scheme check,
// ASCII lower-casing and comparison.
#include <tessera/URI.h>

#include <cstring>

#include "uri/ascii.h"
#include "uri/escape_reading.h"
#include "uri/escape_sets.h"
#include "uri/proxy_text.h"

namespace Varn {

using tessera::uri::EscapeBySet;

URI::StringProxy URI::Escape(StringProxy text) {
    return EscapeBySet(tessera::uri::TakeText(text), tessera::uri::s_excludedSet);
}

URI::StringProxy URI::QueryEscape(StringProxy text) {
    return EscapeBySet(std::string_view(text.str()), tessera::uri::s_queryExcludedSet);
}

URI::StringProxy URI::EscapeChars(StringProxy text, StringProxy chars) {
    // Control bytes always, and every byte listed in chars.
    std::string members(controlchars);
    members.push_back('\0');
    members += chars.str();
    const tessera::uri::EscapeSet set(members);

    const std::string& in = text;
    std::string out;
    out.reserve(in.size());
    for (char c : in) {
        const auto b = static_cast<unsigned char>(c);
        if (set.Contains(b)) {
            tessera::uri::AppendEscape(out, b);
        } else {
            out.push_back(c);
        }
    }
    return out;
}

URI::StringProxy URI::Unescape(StringProxy text, bool onlyHighBytes) {
    if (std::memchr(text.c_str(), '%', text.size()) == nullptr) return text;
    return tessera::uri::UnescapeText(text.str(), onlyHighBytes);
}

URI::StringProxy URI::QueryUnescape(StringProxy text) {
    std::string plain = text;
    for (char& c : plain) {
        if (c == '+') c = ' ';
    }
    return Unescape(std::move(plain), false);
}

unsigned int URI::ParseHex(const std::string& text, char& out) {
    return tessera::uri::ReadEscape(text.data(), text.size(), out);
}

bool URI::VerifyAlpha(StringProxy text) {
    // Membership in URIalpha: the ASCII letters.
    for (char c : text.str()) {
        if (!tessera::uri::IsAsciiLetter(c)) return false;
    }
    return true;
}

void URI::MakeLower(std::string& text) { tessera::uri::AsciiLowerInPlace(&text[0], text.size()); }

int URI::Compare(const std::string& a, const std::string& b, bool caseSensitive) {
    if (caseSensitive) return a.compare(b);
    const std::size_t n = a.size() < b.size() ? a.size() : b.size();
    for (std::size_t i = 0; i < n; ++i) {
        const auto x = static_cast<unsigned char>(tessera::uri::AsciiLower(a[i]));
        const auto y = static_cast<unsigned char>(tessera::uri::AsciiLower(b[i]));
        if (x != y) return x < y ? -1 : 1;
    }
    if (a.size() == b.size()) return 0;
    return a.size() < b.size() ? -1 : 1;
}

}  // namespace Varn
