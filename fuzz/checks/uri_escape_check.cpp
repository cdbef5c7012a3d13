// uri_escape: the escaping operations on any text. The input's first line is the list
// of bytes for EscapeChars; the operations run on the rest and on the whole input.
//
// Properties:
// - Unescape(Escape(x), false) == x, QueryUnescape(QueryEscape(x)) == x, and
//   Unescape(EscapeChars(x, chars), false) == x whenever chars lists '%': every '%' the
//   escapers write starts a well-formed escape, and no raw '%' is left.
// - Escape and QueryEscape leave no byte of their escape set raw (the sets below are
//   written from the character-class table), write upper-case escapes only, and grow the
//   text by two bytes per escaped byte; text without such bytes comes back unchanged.
// - EscapeChars leaves no control byte raw.
// - Unescape and QueryUnescape never lengthen text; Unescape leaves text without '%'
//   unchanged.
// - VerifyAlpha is true exactly for text of ASCII letters only.
#include <string>

#include <tessera/URI.h>

#include "check.h"
#include "uri_text.h"

namespace tessera::fuzz {

namespace {

constexpr const char* kCheckName = "uri_escape";
using Varn::URI;

bool IsControl(unsigned char c) { return (c >= 0x01 && c <= 0x1F) || c == 0x7F; }

// The escape sets, from the character classes: controls, space, delimiters, unwise.
bool InExcludedSet(unsigned char c) {
    static const std::string kOthers = " \"#%:<>?@[\\]^`{|}";
    return IsControl(c) || (c != 0 && kOthers.find(static_cast<char>(c)) != std::string::npos);
}
bool InQueryExcludedSet(unsigned char c) {
    static const std::string kOthers = "$&+/=";
    return InExcludedSet(c) || (c != 0 && kOthers.find(static_cast<char>(c)) != std::string::npos);
}

// Checks an escaper's output against the set it escapes.
template <typename InSet>
void CheckEscaped(const std::string& input, const std::string& output, InSet inSet, const char* what) {
    std::size_t members = 0;
    for (unsigned char c : input) members += inSet(c);
    bool raw = false;
    for (unsigned char c : output) raw = raw || (inSet(c) && c != '%');
    TESSERA_FUZZ_REQUIRE(!raw && EscapesWellFormed(output) && output.size() == input.size() + 2 * members,
                         std::string(what) + " " + Quote(input) + " -> " + Quote(output));
    if (members == 0) TESSERA_FUZZ_REQUIRE(output == input, std::string(what) + " " + Quote(input));
}

void CheckText(const std::string& text, const std::string& chars) {
    const std::string escaped = URI::Escape(text);
    CheckEscaped(text, escaped, InExcludedSet, "Escape");
    TESSERA_FUZZ_REQUIRE(URI::Unescape(escaped, false) == text, Quote(text) + " -> " + Quote(escaped));

    const std::string queryEscaped = URI::QueryEscape(text);
    CheckEscaped(text, queryEscaped, InQueryExcludedSet, "QueryEscape");
    TESSERA_FUZZ_REQUIRE(URI::QueryUnescape(queryEscaped) == text, Quote(text) + " -> " + Quote(queryEscaped));

    const std::string listed = URI::EscapeChars(text, chars);
    bool control = false;
    for (unsigned char c : listed) control = control || c < 0x20 || c == 0x7F;
    TESSERA_FUZZ_REQUIRE(!control, Quote(text) + " chars " + Quote(chars) + " -> " + Quote(listed));
    if (chars.find('%') != std::string::npos)
        TESSERA_FUZZ_REQUIRE(URI::Unescape(listed, false) == text,
                             Quote(text) + " chars " + Quote(chars) + " -> " + Quote(listed));
    const std::string withPercent = URI::EscapeChars(text, chars + "%");
    TESSERA_FUZZ_REQUIRE(URI::Unescape(withPercent, false) == text, Quote(text) + " -> " + Quote(withPercent));

    for (bool onlyHighBytes : {false, true}) {
        const std::string decoded = URI::Unescape(text, onlyHighBytes);
        TESSERA_FUZZ_REQUIRE(decoded.size() <= text.size(), Quote(text) + " -> " + Quote(decoded));
        if (text.find('%') == std::string::npos) TESSERA_FUZZ_REQUIRE(decoded == text, Quote(text));
    }
    const std::string queryDecoded = URI::QueryUnescape(text);
    TESSERA_FUZZ_REQUIRE(queryDecoded.size() <= text.size(), Quote(text));

    bool letters = true;
    for (char c : text) letters = letters && ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'));
    TESSERA_FUZZ_REQUIRE(URI::VerifyAlpha(text) == letters, Quote(text));
}

}  // namespace

void CheckUriEscape(const std::uint8_t* data, std::size_t size) {
    const std::vector<std::string> fields = SplitFields(data, size, 2);
    CheckText(fields[1], fields[0]);
    CheckText(std::string(reinterpret_cast<const char*>(data), size), fields[0]);
}

}  // namespace tessera::fuzz
