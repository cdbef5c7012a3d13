// Character classes, escape sets as each operation applies them, and the escaping and
// unescaping operations.
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "uri/escape_reading.h"
#include "uri_test_support.h"

namespace {

using Varn::URI;
using tessera_test::EscapeOf;
using tessera_test::OpenURI;

// The members of each escape set besides the control bytes, as listed byte by byte.
std::string Controls() {
    std::string s;
    for (int b = 0x01; b <= 0x1F; ++b) s.push_back(static_cast<char>(b));
    return s + '\x7F';
}
const std::string kExcluded = Controls() + " \"#%:<>?@[\\]^`{|}";
const std::string kUserInfo = kExcluded + "/;";
const std::string kQueryExcluded = kExcluded + "$&+/=";
std::string Without(std::string s, char c) {
    s.erase(s.find(c), 1);
    return s;
}
const std::string kNonHier = Without(kExcluded, '@');
const std::string kNewRfc = Without(kExcluded, '?');

bool IsMember(const std::string& set, unsigned char b) {
    return b != 0 && set.find(static_cast<char>(b)) != std::string::npos;
}

struct EscapingOperation {
    const char* name;
    const std::string* set;
    std::function<std::string(const std::string&)> apply;  // plain byte -> stored form
};

// Each operation that escapes, with the set it must use; the result for a single byte
// is either the byte itself or its escape.
std::vector<EscapingOperation> EscapingOperations() {
    return {
        {"Escape", &kExcluded, [](const std::string& t) { return URI::Escape(t).str(); }},
        {"QueryEscape", &kQueryExcluded, [](const std::string& t) { return URI::QueryEscape(t).str(); }},
        {"SetServerPort", &kExcluded,
         [](const std::string& t) {
             URI u("http://h/");
             u.SetServerPort(t);
             return u.ToString(false).str().substr(9, u.ToString(false).size() - 10);
         }},
        {"SetPath", &kExcluded,
         [](const std::string& t) {
             URI u;
             u.SetPath(t);
             return u.ToString(false).str();
         }},
        {"SetUsername", &kUserInfo,
         [](const std::string& t) {
             URI u("http://h/");
             u.SetUsername(t);
             const std::string s = u.ToString(false);
             return s.substr(7, s.size() - 7 - 3);
         }},
        {"SetPassword", &kUserInfo,
         [](const std::string& t) {
             URI u("http://u@h/");
             u.SetPassword(t);
             const std::string s = u.ToString(false);
             return s.substr(9, s.size() - 9 - 3);
         }},
        {"SetNonHierarchical", &kNonHier,
         [](const std::string& t) {
             URI u("mailto:x");
             u.SetNonHierarchical(t);
             return u.ToString(false).str().substr(7);
         }},
        {"SetQuery", &kNewRfc,
         [](const std::string& t) {
             URI u("http://h/");
             u.SetQuery(t, true);
             return u.GetQuery(false).str();
         }},
        {"SetFragment", &kNewRfc,
         [](const std::string& t) {
             URI u("http://h/");
             u.SetFragment(t);
             return u.ToString(false).str().substr(10);
         }},
    };
}

TEST(EscapeSets, EveryByteThroughEveryEscapingOperation) {
    for (const EscapingOperation& op : EscapingOperations()) {
        for (int i = 0; i < 256; ++i) {
            const auto b = static_cast<unsigned char>(i);
            const std::string plain(1, static_cast<char>(b));
            const std::string expected = IsMember(*op.set, b) ? EscapeOf(b) : plain;
            EXPECT_EQ(op.apply(plain), expected) << op.name << " of byte " << i;
        }
    }
}

TEST(EscapeSets, AuthorityUsesUserInfoSetAfterLowerCasing) {
    for (int i = 0; i < 256; ++i) {
        const auto b = static_cast<unsigned char>(i);
        if (b == ':') continue;  // a single ':' is not an IPv6 literal, checked below
        URI u("http://h/");
        u.SetAuthority(std::string(1, static_cast<char>(b)));
        const char lower = (b >= 'A' && b <= 'Z') ? static_cast<char>(b + 32) : static_cast<char>(b);
        const std::string expected = IsMember(kUserInfo, b) ? EscapeOf(b) : std::string(1, lower);
        EXPECT_EQ(u.ToString(false), "http://" + expected + "/") << "byte " << i;
    }
    URI u("http://h/");
    u.SetAuthority(":");
    EXPECT_EQ(u.ToString(false), "http://%3A/");
}

TEST(EscapeSets, HighByteSetThroughToStringUTF8Escaped) {
    for (int i = 0; i < 256; ++i) {
        const auto b = static_cast<unsigned char>(i);
        if (b == '#' || b == '?' || b == '\\') continue;  // would change what is parsed
        const std::string raw(1, static_cast<char>(b));
        const URI u("mailto:" + raw);
        ASSERT_TRUE(u.IsValidURI()) << i;
        EXPECT_EQ(u.ToStringUTF8Escaped(), "mailto:" + (b >= 0x80 ? EscapeOf(b) : raw)) << "byte " << i;
    }
}

TEST(EscapeSets, EscapeCharsEscapesControlsAndListedBytes) {
    for (int i = 0; i < 256; ++i) {
        const auto b = static_cast<unsigned char>(i);
        const std::string plain(1, static_cast<char>(b));
        const bool control = b <= 0x1F || b == 0x7F;
        EXPECT_EQ(URI::EscapeChars(plain, ""), control ? EscapeOf(b) : plain) << i;
        EXPECT_EQ(URI::EscapeChars(plain, plain), EscapeOf(b)) << i;
    }
    EXPECT_EQ(URI::EscapeChars("a\tb c", " "), "a%09b%20c");
    EXPECT_EQ(URI::EscapeChars("\xC3\xA9", ""), "\xC3\xA9");
    EXPECT_EQ(URI::EscapeChars("a\xE9z", "\xE9"), "a%E9z");
}

TEST(CharacterClasses, StringsAreBuiltInTableOrder) {
    EXPECT_EQ(URI::URIalpha, "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ");
    EXPECT_EQ(URI::URIalphanum, URI::URIalpha + "0123456789");
    EXPECT_EQ(URI::URIunreserved, URI::URIalphanum + "-_.!~*'()");
    EXPECT_EQ(URI::URIuric, ";/?:@&=+$,[]" + URI::URIunreserved);
    EXPECT_EQ(URI::URIhex, "0123456789ABCDEFabcdef");
    EXPECT_EQ(URI::URIescaped, "%xx");
    EXPECT_EQ(URI::URIdelims_real, "<>#%\"");
    EXPECT_EQ(URI::URIdelims, "<>#%\":?@");
    EXPECT_EQ(URI::URInonhierdelims, "<>#%\":?");
    EXPECT_EQ(URI::URIunwise, "{}|\\^[]`");
    EXPECT_EQ(URI::URIcontrol, Controls());
    EXPECT_EQ(std::string(URI::controlchars), Controls());
    EXPECT_EQ(URI::controlchars[32], '\0');
    EXPECT_EQ(URI::URIexcluded, Controls() + " <>#%\":?@{}|\\^[]`");
    EXPECT_EQ(URI::URIqueryexcluded, URI::URIexcluded + "/?:@&=+$");
    EXPECT_EQ(URI::URInonhierexcluded, Controls() + " <>#%\":?{}|\\^[]`");
    EXPECT_EQ(URI::URInewrfcexcluded, Controls() + " <>#%\":@{}|\\^[]`");
}

TEST(Escaping, EscapeExamples) {
    EXPECT_EQ(URI::Escape("a b/c?d"), "a%20b/c%3Fd");
    EXPECT_EQ(URI::Escape("C:\\x"), "C%3A%5Cx");
    EXPECT_EQ(URI::Escape("\xC3\xA9"), "\xC3\xA9");
    EXPECT_EQ(URI::Escape("%41"), "%2541");
    EXPECT_EQ(URI::Escape(std::string("a\0b", 3)), std::string("a\0b", 3));
    EXPECT_EQ(URI::Escape(""), "");
    EXPECT_EQ(URI::QueryEscape("a b&c=d+e/f"), "a%20b%26c%3Dd%2Be%2Ff");
}

TEST(Escaping, UnescapeRules) {
    struct Case {
        std::string text;
        bool onlyHigh;
        std::string expected;
    } cases[] = {
        {"%41%42", false, "AB"},
        {"%41%42", true, "%41%42"},
        {"%E9", true, "\xE9"},
        {"%41%C3%A9", true, "%41\xC3\xA9"},
        {"100%", false, "100%"},
        {"a%4", false, "a%4"},
        {"%zz1", false, "%zz1"},
        {"%4g", false, std::string(1, '\x04')},
        {"%g4", false, "%g4"},
        {"% 4", false, "% 4"},
        {"%\t\t", false, "%\t\t"},
        {"%%41", false, "%A"},
        {"%2b%2B", false, "++"},
        {"%-1", false, "\xFF"},
        {"%-1", true, "\xFF"},
        {"%+f", false, "\x0F"},
        {"%0x", false, std::string(1, '\0')},
        {"x%00y", false, std::string("x\0y", 3)},
        {"no escapes", false, "no escapes"},
        {"", false, ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(URI::Unescape(c.text, c.onlyHigh).str(), c.expected) << c.text << " " << c.onlyHigh;
    }
    EXPECT_EQ(URI::QueryUnescape("a+b%2Bc"), "a b+c");
}

TEST(Escaping, EscapeThenUnescapeGivesEveryByteBack) {
    std::string all;
    for (int i = 0; i < 256; ++i) all.push_back(static_cast<char>(i));
    EXPECT_EQ(URI::Unescape(URI::Escape(all), false).str(), all);
    EXPECT_EQ(URI::Unescape(URI::QueryEscape(all), false).str(), all);
    EXPECT_EQ(URI::QueryUnescape(URI::QueryEscape(all)).str(), all);
    EXPECT_EQ(URI::Unescape(URI::EscapeChars(all, all), false).str(), all);
}

// The candidate escape "%" + a + b decodes exactly as the "%x" conversion of the
// standard formatted input reads a and b (after spaces are dropped).
TEST(Escaping, EscapeReadingMatchesFormattedInputForEveryBytepair) {
    for (int a = 0; a < 256; ++a) {
        for (int b = 0; b < 256; ++b) {
            const char text[4] = {'%', static_cast<char>(a), static_cast<char>(b), '\0'};
            unsigned int expectedCount = 1;
            char expectedByte = '%';
            unsigned int value = 0;
            if (a != ' ' && b != ' ' && std::sscanf(text + 1, "%x", &value) == 1) {
                expectedCount = 3;
                expectedByte = static_cast<char>(value & 0xFF);
            }
            char got = 'x';
            const unsigned int count = tessera::uri::ReadEscape(text, 3, got);
            ASSERT_EQ(count, expectedCount) << a << " " << b;
            ASSERT_EQ(got, expectedByte) << a << " " << b;
            const std::string unescaped = URI::Unescape(std::string(text, 3), false);
            ASSERT_EQ(unescaped, count == 3 ? std::string(1, got) : std::string(text, 3)) << a << " " << b;
        }
    }
}

TEST(Escaping, EscapeReadingWithSpacesAndOtherLengths) {
    char out = 'x';
    EXPECT_EQ(tessera::uri::ReadEscape("% 41", 4, out), 3u);
    EXPECT_EQ(out, 'A');
    EXPECT_EQ(tessera::uri::ReadEscape(" %41", 4, out), 3u);
    EXPECT_EQ(tessera::uri::ReadEscape("%4", 2, out), 1u);
    EXPECT_EQ(out, '%');
    EXPECT_EQ(tessera::uri::ReadEscape("a41", 3, out), 1u);
    EXPECT_EQ(out, 'a');
    EXPECT_EQ(tessera::uri::ReadEscape("   ", 3, out), 1u);
    EXPECT_EQ(out, '\0');
    EXPECT_EQ(tessera::uri::ReadEscape("%4142", 5, out), 1u);
    EXPECT_EQ(out, '%');
}

TEST(Escaping, VerifyAlphaAcceptsExactlyTheLettersOfURIalpha) {
    for (int i = 0; i < 256; ++i) {
        const std::string one(1, static_cast<char>(i));
        EXPECT_EQ(URI::VerifyAlpha(one), URI::URIalpha.find(one) != std::string::npos) << i;
    }
    EXPECT_TRUE(URI::VerifyAlpha("http"));
    EXPECT_TRUE(URI::VerifyAlpha(""));
    EXPECT_FALSE(URI::VerifyAlpha("svn+ssh"));
    EXPECT_FALSE(URI::VerifyAlpha("h323"));
}

TEST(Escaping, MakeLowerAndCompareFoldAsciiOnly) {
    std::string text = "AZaz@[`{\xC4\xE9";
    OpenURI::MakeLower(text);
    EXPECT_EQ(text, "azaz@[`{\xC4\xE9");
    // Every byte, in each position of the eight-byte blocks and of the tail.
    for (int i = 0; i < 256; ++i) {
        const char c = static_cast<char>(i);
        std::string run(19, c);
        run[5] = 'Q';
        OpenURI::MakeLower(run);
        std::string expected(19, (i >= 'A' && i <= 'Z') ? static_cast<char>(i + 32) : c);
        expected[5] = 'q';
        EXPECT_EQ(run, expected) << i;
    }
    EXPECT_EQ(OpenURI::Compare("HTTP", "http", false), 0);
    EXPECT_NE(OpenURI::Compare("HTTP", "http", true), 0);
    EXPECT_LT(OpenURI::Compare("abc", "abcd", false), 0);
    EXPECT_GT(OpenURI::Compare("b", "A", false), 0);
    EXPECT_LT(OpenURI::Compare("B", "a", true), 0);
    // Bytes compare as unsigned values.
    EXPECT_GT(OpenURI::Compare("\xE9", "z", true), 0);
    EXPECT_GT(OpenURI::Compare("\xE9", "Z", false), 0);
    // '[' lies between 'Z' and 'a': folding decides the order.
    EXPECT_GT(OpenURI::Compare("[", "A", true), 0);
    EXPECT_LT(OpenURI::Compare("[", "A", false), 0);
}

}  // namespace
