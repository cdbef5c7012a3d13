// The conversions of Varn::Transcoder: contracts (lengths, empty results, substitution,
// unknown names) and round trips through each family of code pages.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <ostream>
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

// Which ways a row of the conversion table is checked.
enum Way { kToBytes, kToUnits, kBothWays };

struct Conversion {
    const char* encoding;
    std::wstring units;
    std::string bytes;
    Way way;
};

const std::wstring kCafe = W({'c', 'a', 'f', 0xE9});

// Conversions through named code pages, as Windows converts: each replaces what it cannot
// convert and goes on.
const Conversion kConversions[] = {
    // Names select their code page ("us-ascii" and "ascii" are code page 1252).
    {"utf-8", kCafe, "caf\xC3\xA9", kToBytes},
    {"us-ascii", kCafe, "caf\xE9", kToBytes},
    {"ascii", kCafe, "caf\xE9", kToBytes},
    {"windows-1252", kCafe, "caf\xE9", kToBytes},
    {"l1", kCafe, "caf\xE9", kToUnits},
    {"ebcdic-cp-us", kCafe, "\x83\x81\x86\x51", kToBytes},
    {"big5", W({0x7E41, 0x9AD4, 0x4E2D, 0x6587}), "\xC1\x63\xC5\xE9\xA4\xA4\xA4\xE5", kBothWays},
    // An unpaired surrogate, and a character outside the code page: its default
    // character, one per UTF-16 unit.
    {"Windows-1252", W({'a', 0xDC00, 'z'}), "a?z", kToBytes},
    {"shift_jis", W({'a', 0xDC00, 'z'}), "a?z", kToBytes},
    {"utf-8", W({'a', 0xD83D, 'z'}), "a\xEF\xBF\xBDz", kToBytes},
    {"Windows-1252", W({'a', 0x4E00, 0xD83D, 0xDE00, 'z'}), "a???z", kToBytes},
    {"shift_jis", W({'a', 0x0416, 'z'}), "a\x84\x47z", kToBytes},
    {"shift_jis", W({'a', 0x05D0, 0xD83D, 0xDE00, 'z'}), "a???z", kToBytes},
    {"ebcdic-cp-us", W({0x4E00}), "\x6F", kToBytes},
    // An unmapped double-byte pair is one character, whatever its second byte.
    {"shift_jis", W({0x30FB, 'X'}), "\x85\x40X", kToUnits},
    {"shift_jis", W({0x30FB, 'z'}), "\x81\x0Az", kToUnits},
    {"ks_c_5601-1987", W({'?'}), "\x81\x20", kToUnits},
    {"gb2312", W({'?', 'z'}), "\x81\x20z", kToUnits},
    // A lead byte that ends the input or stands before a NUL.
    {"shift_jis", W({'a', 0x30FB}), "a\x81", kToUnits},
    {"shift_jis", W({0x30FB, 0, 'z'}), std::string("\x81", 1) + '\0' + 'z', kToUnits},
    {"big5", W({'a', '?'}), "a\xA4", kToUnits},
    // Single bytes and user-defined pairs as Windows maps them.
    {"shift_jis", W({0x80, 0xF8F0, 0xF8F1}), "\x80\xA0\xFD", kToUnits},
    {"big5", W({0xF8F8, 'z'}), "\xFFz", kToUnits},
    {"ks_c_5601-1987", W({0xE000, 0xE0BB}), "\xC9\xA1\xFE\xFE", kToUnits},
    {"big5", W({0xEEB8, 0x3000}), "\x81\x40\xA1\x40", kToUnits},
    {"gb2312", W({0xE4C6, 0x554A}), "\xA1\x40\xB0\xA1", kToUnits},
    {"Johab", W({'\\'}), "\x5C", kToUnits},
    // Windows-1252 passes its unassigned bytes through as C1 controls.
    {"Windows-1252", W({0x20AC, 0x81, 0x8D, 0x8F, 0x90, 0x9D, 0x178}), "\x80\x81\x8D\x8F\x90\x9D\x9F", kBothWays},
    // US-ASCII drops the high bit; UTF-7 passes bytes above 0x7F through, and reads a NUL.
    {"US-ASCII", W({'i', 0}), "\xE9\x80", kToUnits},
    {"utf-7", W({'a', 0x80}), "a\x80", kToUnits},
    {"utf-7", W({'a', 0, 'z'}), std::string("a") + '\0' + 'z', kToUnits},
    // Windows-1255 keeps combining points apart, and fills its unassigned bytes.
    {"windows-1255", W({0x5D0, 0x5B8, 0xF88D}), "\xE0\xC8\xD9", kToUnits},
    // Best fit: a letter with a diacritic the page lacks becomes the bare letter, a
    // full-width letter the plain one.
    {"Windows-1252", W({0x100, 0x107}), "Ac", kToBytes},
    {"IBM437", W({0xFF21}), "A", kToBytes},
    // Code pages that glibc lacks, read through a charset that approximates them.
    {"DOS-720", W({'A', 0x0621, 0x0637}), "A\x98\xE1", kBothWays},
    {"x-mac-greek", W({0x00C4, 0x0393}), "\x80\xA1", kBothWays},
    {"x-mac-japanese", W({0x00A0, 0x00A9, 0xFFE0}), "\xA0\xFD\x81\x91", kBothWays},
    {"x-mac-chinesetrad", W({0x3000}), "\xA1\x40", kBothWays},
    {"x-mac-korean", W({0x3000}), "\xA1\xA1", kBothWays},
    {"x-mac-chinesesimp", W({0x3000}), "\xA1\xA1", kBothWays},
};

// Each row through the UTF-16 calls and, where its units are well-formed UTF-16, through
// the UTF-8 calls too.
TEST(Transcoder, ConversionTable) {
    for (const Conversion& c : kConversions) {
        SCOPED_TRACE(std::string(c.encoding) + " " + testing::PrintToString(c.bytes));
        const std::string utf8 = Transcoder::UTF16ToUTF8(c.units);
        const bool wellFormed = Transcoder::UTF8ToUTF16(utf8) == c.units;
        if (c.way != kToUnits) {
            EXPECT_EQ(Transcoder::UTF16ToEncoding(c.units, c.encoding), c.bytes);
            if (wellFormed) {
                EXPECT_EQ(Transcoder::UTF8ToEncoding(utf8, c.encoding), c.bytes);
            }
        }
        if (c.way != kToBytes) {
            EXPECT_EQ(Transcoder::EncodingToUTF16(c.bytes, c.encoding), c.units);
            if (wellFormed) {
                EXPECT_EQ(Transcoder::EncodingToUTF8(c.bytes, c.encoding), utf8);
            }
        }
    }
}

TEST(Transcoder, UsAsciiInCapitalsIsCodePage20127) {
    const std::string cafe = "caf\xC3\xA9";
    EXPECT_EQ(Transcoder::UTF8ToEncoding(cafe, "US-ASCII").substr(0, 3), "caf");
    EXPECT_NE(Transcoder::UTF8ToEncoding(cafe, "US-ASCII"), "caf\xE9");
}

TEST(Transcoder, InvalidUTF8AndUnpairedSurrogatesBecomeTheReplacementCharacter) {
    EXPECT_EQ(Transcoder::UTF8ToUTF16("a\xFFz"), W({'a', 0xFFFD, 'z'}));
    EXPECT_EQ(Transcoder::UTF16ToUTF8(W({'a', 0xD800, 'z'})), "a\xEF\xBF\xBDz");
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

void PrintTo(const RoundTrip& r, std::ostream* out) { *out << r.encoding << " on " << r.file; }

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

// Single-byte pages whose every byte round-trips are left to the test above.
const RoundTrip kRoundTrips[] = {
    // single-byte
    {"Hebrew-Lipsum.utf8.txt", "windows-1255"},
    {"Latin-Lipsum.utf8.txt", "x-IA5-German"},
    // EBCDIC
    {"Russian-Lipsum.utf8.txt", "CP870"},
    {"Latin-Lipsum.utf8.txt", "x-EBCDIC-Germany"},
    {"Japanese-Lipsum.utf8.txt", "x-EBCDIC-JapaneseAndKana"},
    // double-byte
    {"Japanese-Lipsum.utf8.txt", "shift_jis"},
    {"Chinese-Lipsum.utf8.txt", "gb2312"},
    {"Korean-Lipsum.utf8.txt", "ks_c_5601-1987"},
    {"Korean-Lipsum.utf8.txt", "Johab"},
    {"Japanese-Lipsum.utf8.txt", "euc-jp"},
    {"Korean-Lipsum.utf8.txt", "euc-kr"},
    // ISO-2022
    {"Japanese-Lipsum.utf8.txt", "iso-2022-jp"},
    {"Korean-Lipsum.utf8.txt", "iso-2022-kr"},
    // UTF-7 and GB18030
    {"Emoji-Lipsum.utf8.txt", "utf-7"},
    {"Chinese-Lipsum.utf8.txt", "utf-7"},
    {"Emoji-Lipsum.utf8.txt", "windows-54936"},
};

std::string RoundTripName(const testing::TestParamInfo<RoundTrip>& info) {
    std::string name = info.param.encoding;
    for (char& c : name) {
        if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
    }
    return name + "_" + std::to_string(info.index);
}

INSTANTIATE_TEST_SUITE_P(Families, TextRoundTrip, testing::ValuesIn(kRoundTrips), RoundTripName);

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
