// Escape sets as each operation applies them, escaping, unescaping and reading escapes.
#include <cstdio>
#include <string>

#include <gtest/gtest.h>

#include "uri/escape_reading.h"
#include "uri_test_support.h"

namespace tessera_test {
namespace {

using Varn::URI;

// The members of each escape set as listed byte by byte (controls are in all but one).
const std::string kControls = std::string(URI::controlchars);
const std::string kExcluded = kControls + " \"#%:<>?@[\\]^`{|}";
const std::string kUserInfo = kExcluded + "/;";
const std::string kQueryExcluded = kExcluded + "$&+/=";
const std::string kNonHier = std::string(kExcluded).erase(kExcluded.find('@'), 1);
const std::string kNewRfc = std::string(kExcluded).erase(kExcluded.find('?'), 1);

// One byte through a setter: the URI base gets the byte, the written-out text is cut
// between prefix and suffix. Some setters lower-case before or after escaping.
enum Lowering { kNone, kBeforeEscaping, kAfterEscaping };

struct SetterCase {
    const char* name;
    const std::string& set;
    const char* base;
    void (*apply)(URI&, const std::string&);
    std::size_t prefix, suffix;
    Lowering lowering;
};

const SetterCase kSetters[] = {
    {"SetServerPort", kExcluded, "http://h/", [](URI& u, const std::string& t) { u.SetServerPort(t); }, 9, 1, kNone},
    {"SetPath", kExcluded, "", [](URI& u, const std::string& t) { u.SetPath(t); }, 0, 0, kNone},
    {"SetScheme", kExcluded, "mailto:x", [](URI& u, const std::string& t) { u.SetScheme("a" + t); }, 1, 2,
     kAfterEscaping},
    {"SetAuthority", kUserInfo, "http://h/", [](URI& u, const std::string& t) { u.SetAuthority(t); }, 7, 1,
     kBeforeEscaping},
    {"SetUsername", kUserInfo, "http://h/", [](URI& u, const std::string& t) { u.SetUsername(t); }, 7, 3, kNone},
    {"SetPassword", kUserInfo, "http://u@h/", [](URI& u, const std::string& t) { u.SetPassword(t); }, 9, 3, kNone},
    {"SetNonHierarchical", kNonHier, "mailto:x", [](URI& u, const std::string& t) { u.SetNonHierarchical(t); }, 7, 0,
     kNone},
    {"SetQuery", kNewRfc, "http://h/", [](URI& u, const std::string& t) { u.SetQuery(t, true); }, 10, 0, kNone},
    {"SetFragment", kNewRfc, "http://h/", [](URI& u, const std::string& t) { u.SetFragment(t); }, 10, 0, kNone},
};

TEST(EscapeSets, EveryByteThroughEveryEscapingOperation) {
    for (int i = 0; i < 256; ++i) {
        const auto b = static_cast<unsigned char>(i);
        const std::string plain(1, static_cast<char>(b));
        const auto expect = [&](const std::string& set, Lowering lowering = kNone) {
            std::string out = b != 0 && set.find(plain) != std::string::npos ? EscapeOf(b) : plain;
            if (lowering == kAfterEscaping || (lowering == kBeforeEscaping && out.size() == 1)) {
                OpenURI::MakeLower(out);
            }
            return out;
        };
        EXPECT_EQ(URI::Escape(plain), expect(kExcluded)) << i;
        EXPECT_EQ(URI::QueryEscape(plain), expect(kQueryExcluded)) << i;
        EXPECT_EQ(URI::EscapeChars(plain, ""), b < 0x20 || b == 0x7F ? EscapeOf(b) : plain) << i;
        EXPECT_EQ(URI::EscapeChars(plain, plain), EscapeOf(b)) << i;
        for (const SetterCase& c : kSetters) {
            URI u(c.base);
            c.apply(u, plain);
            const std::string written = u.ToString(false);
            EXPECT_EQ(written.substr(c.prefix, written.size() - c.prefix - c.suffix), expect(c.set, c.lowering))
                << c.name << " of byte " << i;
        }
        // Only bytes 0x80-0xFF are escaped in the ASCII form of a written-out URI.
        if (b != '#' && b != '?' && b != '\\') {
            EXPECT_EQ(URI("mailto:" + plain).ToStringUTF8Escaped(), "mailto:" + (b >= 0x80 ? EscapeOf(b) : plain));
        }
    }
}

// The candidates "%xy" of every byte pair are the next test's; that every escape the
// escapers write reads back is the fuzz replay's.
TEST(Escaping, UnescapeRules) {
    const struct {
        std::string text;
        bool onlyHigh;
        std::string expected;
    } cases[] = {
        {"%41%C3%A9", true, "%41\xC3\xA9"},
        // A '%' that starts no escape stays; one that does is read as "%x" reads ("-1": 0xFF).
        {"100%", false, "100%"},
        {"a%4", false, "a%4"},
        {"%%41", false, "%A"},
        {"%-1", true, "\xFF"},
    };
    for (const auto& c : cases) EXPECT_EQ(URI::Unescape(c.text, c.onlyHigh).str(), c.expected) << c.text;
    EXPECT_EQ(URI::QueryUnescape("a+b%2Bc"), "a b+c");
}

// The candidate escape "%" + a + b decodes exactly as the "%x" conversion of the C
// library's formatted input reads a and b, once spaces are dropped.
TEST(Escaping, EscapeReadingMatchesFormattedInputForEveryBytePair) {
    for (int a = 0; a < 256; ++a) {
        for (int b = 0; b < 256; ++b) {
            const char text[4] = {'%', static_cast<char>(a), static_cast<char>(b), '\0'};
            unsigned int value = 0;
            const bool converted = a != ' ' && b != ' ' && std::sscanf(text + 1, "%x", &value) == 1;
            char got = 'x';
            ASSERT_EQ(tessera::uri::ReadEscape(text, 3, got), converted ? 3u : 1u) << a << " " << b;
            ASSERT_EQ(got, converted ? static_cast<char>(value & 0xFF) : '%') << a << " " << b;
            ASSERT_EQ(URI::Unescape(std::string(text, 3), false).str(),
                      converted ? std::string(1, got) : std::string(text, 3));
        }
    }
    char out = 'x';
    EXPECT_EQ(tessera::uri::ReadEscape("% 41", 4, out), 3u);  // spaces go first
    EXPECT_EQ(tessera::uri::ReadEscape("  a", 3, out), 1u);
    EXPECT_EQ(out, 'a');
}

TEST(Escaping, LettersAndLowerCase) {
    for (int i = 0; i < 256; ++i) {
        const char c = static_cast<char>(i);
        EXPECT_EQ(URI::VerifyAlpha(std::string("ab") + c), URI::URIalpha.find(c) != std::string::npos) << i;
        std::string run(19, c);  // eight-byte blocks and a tail
        run[5] = 'Q';
        OpenURI::MakeLower(run);
        std::string expected(19, (i >= 'A' && i <= 'Z') ? static_cast<char>(i + 32) : c);
        expected[5] = 'q';
        EXPECT_EQ(run, expected) << i;
    }
    EXPECT_TRUE(URI::VerifyAlpha(""));
}

TEST(Escaping, CompareFoldsCaseOnRequestAndComparesBytesUnsigned) {
    const struct {
        const char *a, *b;
        bool caseSensitive;
        int sign;  // of the result
    } cases[] = {
        {"HTTP", "http", false, 0},
        {"abc", "abcD", false, -1},
        // Bytes compare unsigned, and folded to lower case unless case-sensitive.
        {"\xE9", "Z", false, 1},
        {"[", "A", true, 1},  // '[' lies between 'Z' and 'a'
        {"[", "A", false, -1},
    };
    for (const auto& c : cases) {
        const int result = OpenURI::Compare(c.a, c.b, c.caseSensitive);
        EXPECT_EQ((result > 0) - (result < 0), c.sign) << c.a << " ~ " << c.b << " case-sensitive " << c.caseSensitive;
    }
}

}  // namespace
}  // namespace tessera_test
