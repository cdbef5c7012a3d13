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

TEST(EscapeSets, EveryByteThroughLettersAndEveryEscapingOperation) {
    for (int i = 0; i < 256; ++i) {
        const auto b = static_cast<unsigned char>(i);
        const std::string plain(1, static_cast<char>(b));
        // Letters, and lower case over eight-byte blocks and a tail (the expectations use it).
        EXPECT_EQ(URI::VerifyAlpha("ab" + plain), URI::URIalpha.find(plain[0]) != std::string::npos) << i;
        std::string run(19, plain[0]), lower(19, i >= 'A' && i <= 'Z' ? static_cast<char>(i + 32) : plain[0]);
        run[5] = 'Q';
        lower[5] = 'q';
        OpenURI::MakeLower(run);
        EXPECT_EQ(run, lower) << i;
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
    }
    EXPECT_TRUE(URI::VerifyAlpha(""));
}

// The candidate escape "%" + a + b decodes exactly as the "%x" conversion of the C
// library's formatted input reads a and b, once spaces are dropped; with onlyHigh set, only
// to a byte of 0x80-0xFF. A '%' that starts no escape, or has fewer than two bytes after
// it, stays; that every escape the escapers write reads back is the fuzz replay's.
TEST(Escaping, EscapeReadingMatchesFormattedInputForEveryBytePair) {
    for (int a = 0; a < 256; ++a) {
        for (int b = 0; b < 256; ++b) {
            const char text[4] = {'%', static_cast<char>(a), static_cast<char>(b), '\0'};
            unsigned int value = 0;
            const bool converted = a != ' ' && b != ' ' && std::sscanf(text + 1, "%x", &value) == 1;
            char got = 'x';
            ASSERT_EQ(tessera::uri::ReadEscape(text, 3, got), converted ? 3u : 1u) << a << " " << b;
            ASSERT_EQ(got, converted ? static_cast<char>(value & 0xFF) : '%') << a << " " << b;
            const std::string escape(text, 3), decoded = converted ? std::string(1, got) : escape;
            ASSERT_EQ(URI::Unescape(escape, false).str(), decoded);
            ASSERT_EQ(URI::Unescape(escape, true).str(), (value & 0xFF) >= 0x80 ? decoded : escape);
            ASSERT_EQ(URI::Unescape("x" + escape.substr(0, 2), false).str(), "x" + escape.substr(0, 2));
        }
    }
    char out = 'x';
    EXPECT_EQ(tessera::uri::ReadEscape("% 41", 4, out), 3u);  // spaces go first
    EXPECT_EQ(tessera::uri::ReadEscape("  a", 3, out), 1u);
    EXPECT_EQ(out, 'a');
    EXPECT_EQ(URI::Unescape("%%41%", false), "%A%");  // the next '%' may start an escape
    EXPECT_EQ(URI::QueryUnescape("a+b%2Bc"), "a b+c");
}

// Bytes compare unsigned, folded to lower case unless case-sensitive ('[' lies between 'Z'
// and 'a'); a text orders before the texts it begins.
TEST(Escaping, CompareFoldsCaseOnRequestAndComparesBytesUnsigned) {
    const auto sign = [](int x) { return (x > 0) - (x < 0); };
    for (const bool caseSensitive : {true, false}) {
        const auto fold = [caseSensitive](int c) { return !caseSensitive && c >= 'A' && c <= 'Z' ? c + 32 : c; };
        for (int a = 1; a < 256; ++a) {
            for (int b = 1; b < 256; ++b) {
                const std::string x(1, static_cast<char>(a)), y{static_cast<char>(b), 'z'};
                ASSERT_EQ(sign(OpenURI::Compare(x, y, caseSensitive)),
                          fold(a) == fold(b) ? -1 : sign(fold(a) - fold(b)))
                    << a << " ~ " << b << " case-sensitive " << caseSensitive;
            }
        }
    }
}

}  // namespace
}  // namespace tessera_test
