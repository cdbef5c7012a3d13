// The conversions of Varn::Transcoder: contracts (lengths, empty results, substitution,
// unknown names) and round trips through each family of code pages.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <string>
#include <thread>
#include <vector>

#include <tessera/Transcoder.h>

#include "encoding/encoding_registry.h"
#include "encoding/encoding_table.h"
#include "platform/codepage.h"
#include "test_data.h"

namespace {

using Varn::Transcoder;

// Whether this platform converts the encoding (a Windows build under Wine lacks some).
bool Converts(const std::string& name) {
    return tessera::platform::IsCodePageAvailable(tessera::encoding::EncodingToCodePage(name));
}

// The message of a test that skips the encodings this platform does not convert, each
// named with its code page: "no code page here for utf-7 (65000), euc-jp (51932)".
std::string NoCodePageFor(const std::vector<std::string>& names) {
    std::string message = "no code page here for";
    for (const std::string& name : names) {
        if (&name != &names.front()) message += ",";
        message += " " + name + " (" + std::to_string(tessera::encoding::EncodingToCodePage(name)) + ")";
    }
    return message;
}

std::wstring W(std::initializer_list<unsigned> units) {
    std::wstring s;
    for (unsigned u : units) s.push_back(static_cast<wchar_t>(u));
    return s;
}

TEST(Transcoder, EmptyInputGivesEmptyResultForEveryName) {
    EXPECT_EQ(Transcoder::UTF16ToUTF8(L""), "");
    EXPECT_EQ(Transcoder::UTF8ToUTF16(""), L"");
    EXPECT_EQ(Transcoder::asFilesystemString(L""), "");
    EXPECT_EQ(Transcoder::filesytemToUTF16(""), L"");
    for (const auto& row : tessera::encoding::kEncodingTable) {
        EXPECT_EQ(Transcoder::UTF16ToEncoding(L"", row.name), "") << row.name;
        EXPECT_EQ(Transcoder::EncodingToUTF16("", row.name), L"") << row.name;
        EXPECT_EQ(Transcoder::UTF8ToEncoding("", row.name), "") << row.name;
        EXPECT_EQ(Transcoder::EncodingToUTF8("", row.name), "") << row.name;
    }
}

TEST(Transcoder, EmbeddedNulsAreConverted) {
    const std::string narrow("a\0b\0", 4);
    const std::wstring wide(L"a\0b\0", 4);
    EXPECT_EQ(Transcoder::UTF16ToUTF8(wide), narrow);
    EXPECT_EQ(Transcoder::UTF8ToUTF16(narrow), wide);
    std::vector<std::string> lacking;
    for (const char* name : {"Windows-1252", "shift_jis", "iso-2022-jp", "utf-7", "ebcdic-cp-us"}) {
        if (!Converts(name)) {
            lacking.push_back(name);
            continue;
        }
        const std::string encoded = Transcoder::UTF16ToEncoding(wide, name);
        EXPECT_EQ(Transcoder::EncodingToUTF16(encoded, name), wide) << name;
    }
    if (!lacking.empty()) GTEST_SKIP() << NoCodePageFor(lacking);
}

TEST(Transcoder, CodePagesTheNarrowCallsDoNotServeGiveEmptyResults) {
    for (const char* name : {"utf-16", "unicode", "unicodeFFFE", "windows-99999", "windows--5", "x-windows-5"}) {
        EXPECT_TRUE(Transcoder::IsValidEncoding(name)) << name;
        EXPECT_EQ(Transcoder::UTF16ToEncoding(L"text", name), "") << name;
        EXPECT_EQ(Transcoder::EncodingToUTF16("text", name), L"") << name;
        EXPECT_EQ(Transcoder::UTF8ToEncoding("text", name), "") << name;
        EXPECT_EQ(Transcoder::EncodingToUTF8("text", name), "") << name;
    }
}

TEST(Transcoder, UnknownNamesThrowFromEveryNamedConversion) {
    EXPECT_THROW(Transcoder::UTF16ToEncoding(L"x", "UTF-8"), Varn::UnknownEncoding);
    EXPECT_THROW(Transcoder::EncodingToUTF16("x", "UTF-8"), Varn::UnknownEncoding);
    EXPECT_THROW(Transcoder::UTF8ToEncoding("x", "UTF-8"), Varn::UnknownEncoding);
    EXPECT_THROW(Transcoder::EncodingToUTF8("x", "UTF-8"), Varn::UnknownEncoding);
    EXPECT_THROW(Transcoder::UTF8ToEncoding("", " utf-8"), Varn::UnknownEncoding);  // even for no text
}

TEST(Transcoder, NamesSelectTheirCodePage) {
    const std::string cafe = "caf\xC3\xA9";
    EXPECT_EQ(Transcoder::UTF8ToEncoding(cafe, "utf-8"), cafe);
    EXPECT_EQ(Transcoder::UTF8ToEncoding(cafe, "us-ascii"), "caf\xE9");  // 1252
    EXPECT_EQ(Transcoder::UTF8ToEncoding(cafe, "ascii"), "caf\xE9");
    EXPECT_EQ(Transcoder::UTF8ToEncoding(cafe, "US-ASCII").substr(0, 3), "caf");  // 20127
    EXPECT_NE(Transcoder::UTF8ToEncoding(cafe, "US-ASCII"), "caf\xE9");
    EXPECT_EQ(Transcoder::UTF8ToEncoding(cafe, "windows-1252"), "caf\xE9");
    EXPECT_EQ(Transcoder::EncodingToUTF8("caf\xE9", "l1"), cafe);
    EXPECT_EQ(Transcoder::UTF8ToEncoding(cafe, "ebcdic-cp-us"), "\x83\x81\x86\x51");
}

TEST(Transcoder, InvalidAndUnrepresentableInputIsReplacedAndConversionGoesOn) {
    // Invalid UTF-8 becomes U+FFFD.
    EXPECT_EQ(Transcoder::UTF8ToUTF16("a\xFF"
                                      "b"),
              W({'a', 0xFFFD, 'b'}));
    // An unpaired surrogate to UTF-8, and to a code page.
    EXPECT_EQ(Transcoder::UTF16ToUTF8(W({'a', 0xD800, 'b'})),
              "a\xEF\xBF\xBD"
              "b");
    EXPECT_EQ(Transcoder::UTF16ToEncoding(W({'a', 0xDC00, 'b'}), "Windows-1252"), "a?b");
    EXPECT_EQ(Transcoder::UTF16ToEncoding(W({'a', 0xDC00, 'b'}), "shift_jis"), "a?b");
    // A character outside the code page: its default character, one per UTF-16 unit.
    EXPECT_EQ(Transcoder::UTF16ToEncoding(W({'a', 0x4E00, 0xD83D, 0xDE00, 'b'}), "Windows-1252"), "a???b");
    EXPECT_EQ(Transcoder::UTF16ToEncoding(W({'a', 0x0416, 'b'}), "shift_jis"),
              "a\x84\x47"
              "b");
    EXPECT_EQ(Transcoder::UTF16ToEncoding(W({'a', 0x05D0, 0xD83D, 0xDE00, 'b'}), "shift_jis"), "a???b");
    EXPECT_EQ(Transcoder::UTF16ToEncoding(W({0x4E00}), "ebcdic-cp-us"), "\x6F");
    EXPECT_EQ(Transcoder::UTF16ToEncoding(W({'a', 0xD83D, 'b'}), "utf-8"),
              "a\xEF\xBF\xBD"
              "b");
}

TEST(Transcoder, InvalidDoubleByteInputBecomesTheDefaultCharacter) {
    const struct {
        const char* encoding;
        std::string bytes;
        std::wstring units;
    } cases[] = {
        // An unmapped pair is one character, whatever its second byte.
        {"shift_jis", "\x85\x40X", W({0x30FB, 'X'})},
        {"shift_jis",
         "\x81\x0A"
         "a",
         W({0x30FB, 'a'})},
        {"ks_c_5601-1987", "\x81\x20", W({'?'})},
        {"gb2312",
         "\x81\x20"
         "a",
         W({'?', 'a'})},
        // A lead byte that ends the input or stands before a NUL.
        {"shift_jis", "a\x81", W({'a', 0x30FB})},
        {"shift_jis", std::string("\x81\0a", 3), W({0x30FB, 0, 'a'})},
        {"big5", "a\xA4", W({'a', '?'})},
        // Single bytes and user-defined pairs as Windows maps them.
        {"shift_jis", "\x80\xA0\xFD", W({0x80, 0xF8F0, 0xF8F1})},
        {"big5",
         "\xFF"
         "a",
         W({0xF8F8, 'a'})},
        {"ks_c_5601-1987", "\xC9\xA1\xFE\xFE", W({0xE000, 0xE0BB})},
        {"big5", "\x81\x40\xA1\x40", W({0xEEB8, 0x3000})},
        {"gb2312", "\xA1\x40\xB0\xA1", W({0xE4C6, 0x554A})},
        {"Johab", "\x5C", W({'\\'})},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Transcoder::EncodingToUTF16(c.bytes, c.encoding), c.units) << c.encoding;
    }
}

TEST(Transcoder, WindowsCorrectionsApply) {
    // Windows-1252 passes its unassigned bytes through as C1 controls, both ways.
    const std::string bytes = "\x80\x81\x8D\x8F\x90\x9D\x9F";
    const std::wstring units = W({0x20AC, 0x81, 0x8D, 0x8F, 0x90, 0x9D, 0x178});
    EXPECT_EQ(Transcoder::EncodingToUTF16(bytes, "Windows-1252"), units);
    EXPECT_EQ(Transcoder::UTF16ToEncoding(units, "Windows-1252"), bytes);
    // US-ASCII drops the high bit; UTF-7 passes bytes above 0x7F through.
    EXPECT_EQ(Transcoder::EncodingToUTF16("\xE9\x80", "US-ASCII"), W({'i', 0}));
    EXPECT_EQ(Transcoder::EncodingToUTF16("a\x80", "utf-7"), W({'a', 0x80}));
    // Windows-1255 keeps combining points apart, and fills its unassigned bytes.
    EXPECT_EQ(Transcoder::EncodingToUTF16("\xE0\xC8\xD9", "windows-1255"), W({0x5D0, 0x5B8, 0xF88D}));
    // A best fit: a letter with a diacritic the page lacks becomes the bare letter, a
    // full-width letter the plain one.
    EXPECT_EQ(Transcoder::UTF16ToEncoding(W({0x100, 0x107}), "Windows-1252"), "Ac");
    EXPECT_EQ(Transcoder::UTF16ToEncoding(W({0xFF21}), "IBM437"), "A");
    // A NUL byte is U+0000 even where iconv's UTF-7 rejects it.
    EXPECT_EQ(Transcoder::EncodingToUTF16(std::string("a\0b", 3), "utf-7"), W({'a', 0, 'b'}));
}

TEST(Transcoder, CodePagesGlibcLacksAreServedThroughABaseCharset) {
    // Each code page is read through a charset that approximates it, plus corrections.
    struct Case {
        const char* name;
        std::string bytes;
        std::wstring units;
    };
    const Case cases[] = {
        {"DOS-720", "A\x98\xE1", W({'A', 0x0621, 0x0637})},
        {"x-mac-greek", "\x80\xA1", W({0x00C4, 0x0393})},
        {"x-mac-japanese", "\xA0\xFD\x81\x91", W({0x00A0, 0x00A9, 0xFFE0})},
        {"x-mac-chinesetrad", "\xA1\x40", W({0x3000})},
        {"x-mac-korean", "\xA1\xA1", W({0x3000})},
        {"x-mac-chinesesimp", "\xA1\xA1", W({0x3000})},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Transcoder::EncodingToUTF16(c.bytes, c.name), c.units) << c.name;
        EXPECT_EQ(Transcoder::UTF16ToEncoding(c.units, c.name), c.bytes) << c.name;
    }
}

TEST(Transcoder, StatefulEncodingsReturnToTheInitialState) {
    std::vector<std::string> lacking;
    for (const char* name : {"iso-2022-jp", "iso-2022-kr", "utf-7"}) {
        if (!Converts(name)) lacking.push_back(name);
    }
    if (!lacking.empty()) GTEST_SKIP() << NoCodePageFor(lacking);
    // 日 € 本: the euro sign is replaced in ASCII mode, and the text ends in ASCII mode.
    EXPECT_EQ(Transcoder::UTF16ToEncoding(W({0x65E5, 0x20AC, 0x672C}), "iso-2022-jp"),
              "\x1B$BF|\x1B(B?\x1B$BK\\\x1B(B");
    EXPECT_EQ(Transcoder::UTF16ToEncoding(W({0xD55C}), "iso-2022-kr"), "\x1B$)C\x0E\x47\x51\x0F");
    EXPECT_EQ(Transcoder::UTF8ToEncoding("A\xE2\x82\xAC", "utf-7"), "A+IKw-");
}

TEST(Transcoder, EveryByteOfFullSingleBytePagesRoundTrips) {
    std::string all;
    for (int b = 0; b < 256; ++b) all.push_back(static_cast<char>(b));
    std::vector<std::string> lacking;
    for (const char* name : {"Windows-1252", "windows-1251", "windows-1250", "ibm850", "IBM437", "cp866", "koi8-r",
                             "macintosh", "iso-8859-5", "ebcdic-cp-us", "x-ebcdic-germany-euro", "CP1026"}) {
        if (!Converts(name)) {
            lacking.push_back(name);
            continue;
        }
        const std::wstring units = Transcoder::EncodingToUTF16(all, name);
        ASSERT_EQ(units.size(), 256u) << name;
        EXPECT_EQ(Transcoder::UTF16ToEncoding(units, name), all) << name;
    }
    if (!lacking.empty()) GTEST_SKIP() << NoCodePageFor(lacking);
}

struct RoundTrip {
    const char* file;  // below text/ in the data folder
    const char* encoding;
};

class TextRoundTrip : public testing::TestWithParam<RoundTrip> {};

TEST_P(TextRoundTrip, TextSurvivesBothWays) {
    if (!Converts(GetParam().encoding)) GTEST_SKIP() << NoCodePageFor({GetParam().encoding});
    const std::string text = tessera_test::ReadDataFile(std::string("text/") + GetParam().file);
    ASSERT_FALSE(text.empty()) << "missing data file " << GetParam().file;
    const std::string encoded = Transcoder::UTF8ToEncoding(text, GetParam().encoding);
    ASSERT_FALSE(encoded.empty());
    const std::string back = Transcoder::EncodingToUTF8(encoded, GetParam().encoding);
    const auto diff = std::mismatch(back.begin(), back.end(), text.begin(), text.end());
    EXPECT_TRUE(back == text) << GetParam().encoding << ": differs from byte " << (diff.first - back.begin());
}

INSTANTIATE_TEST_SUITE_P(
    Families, TextRoundTrip,
    testing::Values(
        // single-byte
        RoundTrip{"Russian-Lipsum.utf8.txt", "windows-1251"}, RoundTrip{"Russian-Lipsum.utf8.txt", "koi8-r"},
        RoundTrip{"Russian-Lipsum.utf8.txt", "cp866"}, RoundTrip{"Hebrew-Lipsum.utf8.txt", "windows-1255"},
        RoundTrip{"Latin-Lipsum.utf8.txt", "x-IA5-German"},
        // EBCDIC
        RoundTrip{"Latin-Lipsum.utf8.txt", "ebcdic-cp-us"}, RoundTrip{"Russian-Lipsum.utf8.txt", "CP870"},
        RoundTrip{"Latin-Lipsum.utf8.txt", "x-EBCDIC-Germany"},
        RoundTrip{"Japanese-Lipsum.utf8.txt", "x-EBCDIC-JapaneseAndKana"},
        // double-byte
        RoundTrip{"Japanese-Lipsum.utf8.txt", "shift_jis"}, RoundTrip{"Chinese-Lipsum.utf8.txt", "gb2312"},
        RoundTrip{"Korean-Lipsum.utf8.txt", "ks_c_5601-1987"}, RoundTrip{"Korean-Lipsum.utf8.txt", "Johab"},
        RoundTrip{"Japanese-Lipsum.utf8.txt", "euc-jp"}, RoundTrip{"Korean-Lipsum.utf8.txt", "euc-kr"},
        // ISO-2022
        RoundTrip{"Japanese-Lipsum.utf8.txt", "iso-2022-jp"}, RoundTrip{"Korean-Lipsum.utf8.txt", "iso-2022-kr"},
        // UTF-7 and GB18030
        RoundTrip{"Emoji-Lipsum.utf8.txt", "utf-7"}, RoundTrip{"Chinese-Lipsum.utf8.txt", "utf-7"},
        RoundTrip{"Emoji-Lipsum.utf8.txt", "windows-54936"}),
    [](const testing::TestParamInfo<RoundTrip>& info) {
        std::string name = info.param.encoding;
        for (char& c : name) {
            if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
        }
        return name + "_" + std::to_string(info.index);
    });

TEST(Transcoder, TraditionalChineseRoundTripsThroughBig5) {
    const std::string text = "\xE7\xB9\x81\xE9\xAB\x94\xE4\xB8\xAD\xE6\x96\x87";  // 繁體中文
    const std::string big5 = Transcoder::UTF8ToEncoding(text, "big5");
    EXPECT_EQ(big5, "\xC1\x63\xC5\xE9\xA4\xA4\xA4\xE5");
    EXPECT_EQ(Transcoder::EncodingToUTF8(big5, "big5"), text);
}

TEST(Transcoder, LatinOneBytesSurviveBothWays) {
    const std::string bytes = tessera_test::ReadDataFile("text/mars-french.latin1.txt");
    ASSERT_FALSE(bytes.empty());
    EXPECT_EQ(Transcoder::UTF8ToEncoding(Transcoder::EncodingToUTF8(bytes, "l1"), "l1"), bytes);
}

TEST(Transcoder, ConcurrentConversionsThroughManyCodePagesAgree) {
    // Shared tables built by whichever thread comes first, and more stream code pages than
    // a thread keeps converters for, from several threads at once.
    std::vector<std::string> names;
    std::vector<std::string> lacking;
    for (const char* name :
         {"shift_jis", "gb2312", "big5", "euc-kr", "Johab", "koi8-r", "ebcdic-cp-us", "ibm850", "iso-2022-jp",
          "iso-2022-kr", "euc-jp", "utf-7", "windows-54936", "x-EBCDIC-JapaneseAndKana",
          "x-EBCDIC-KoreanAndKoreanExtended", "x-EBCDIC-SimplifiedChinese", "x-EBCDIC-TraditionalChinese",
          "x-EBCDIC-JapaneseAndJapaneseLatin"}) {
        (Converts(name) ? names : lacking).push_back(name);
    }
    const std::wstring text = W({'A', 0x3042, 0x4E2D, 0xD55C, 0x0416, 0x00E9, 'z'});
    std::vector<std::string> expected;
    for (const std::string& name : names) expected.push_back(Transcoder::UTF16ToEncoding(text, name));
    std::vector<int> mismatches(4, 0);
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&, t] {
            for (int round = 0; round < 10; ++round) {
                for (std::size_t i = 0; i < names.size(); ++i) {
                    const std::string encoded = Transcoder::UTF16ToEncoding(text, names[i]);
                    if (encoded != expected[i] || Transcoder::EncodingToUTF16(encoded, names[i]).empty()) {
                        ++mismatches[t];
                    }
                }
            }
        });
    }
    for (auto& thread : threads) thread.join();
    for (int m : mismatches) EXPECT_EQ(m, 0);
    if (!lacking.empty()) GTEST_SKIP() << NoCodePageFor(lacking);
}

}  // namespace
