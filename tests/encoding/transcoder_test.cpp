// The conversions of Varn::Transcoder: contracts (lengths, empty results, substitution,
// unknown names) and round trips through each family of code pages.
#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include <tessera/Transcoder.h>

#include "encoding/encoding_registry.h"
#include "encoding/encoding_table.h"
#include "platform/codepage.h"
#include "test_data.h"
#include "unicode_text.h"

namespace {

using tessera_test::Units;
using Varn::Transcoder;

// The encodings that a test meets and this platform does not convert (a Windows build
// under Wine lacks some): the test passes them by, and at its end this marks it skipped,
// naming each with its code page: "no code page here for utf-7 (65000), euc-jp (51932)".
class Lacking {
public:
    bool Converts(const std::string& name) {
        const std::int32_t codePage = tessera::encoding::EncodingToCodePage(name);
        if (tessera::platform::IsCodePageAvailable(codePage)) return true;
        const std::string entry = name + " (" + std::to_string(codePage) + ")";
        if (m_message.find(entry) == std::string::npos) m_message += (m_message.empty() ? " " : ", ") + entry;
        return false;
    }
    ~Lacking() {
        if (!m_message.empty()) Skip();
    }

private:
    void Skip() const { GTEST_SKIP() << "no code page here for" << m_message; }

    std::string m_message;
};

// Empty text through every name, and any text through the code pages the narrow calls do
// not serve (UTF-16, numbers no code page has), give empty results; an unknown name throws
// even for no text (for any text it is the fuzz target's to check).
TEST(Transcoder, EmptyResultsAndUnknownNames) {
    EXPECT_EQ(Transcoder::UTF16ToUTF8(L""), "");
    EXPECT_EQ(Transcoder::UTF8ToUTF16(""), L"");
    EXPECT_EQ(Transcoder::asFilesystemString(L""), "");
    EXPECT_EQ(Transcoder::filesytemToUTF16(""), L"");
    const auto expectEmpty = [](const std::string& name, const std::string& text) {
        EXPECT_EQ(Transcoder::UTF16ToEncoding(Transcoder::UTF8ToUTF16(text), name), "") << name;
        EXPECT_EQ(Transcoder::EncodingToUTF16(text, name), L"") << name;
        EXPECT_EQ(Transcoder::UTF8ToEncoding(text, name), "") << name;
        EXPECT_EQ(Transcoder::EncodingToUTF8(text, name), "") << name;
    };
    for (const auto& row : tessera::encoding::kEncodingTable) expectEmpty(row.name, "");
    EXPECT_THROW(Transcoder::UTF8ToEncoding("", " utf-8"), Varn::UnknownEncoding);
    for (const char* name : {"utf-16", "unicode", "unicodeFFFE", "windows-99999", "windows--5", "x-windows-5"}) {
        EXPECT_TRUE(Transcoder::IsValidEncoding(name)) << name;
        expectEmpty(name, "text");
    }
}

// Which ways a row of the conversion table is checked.
enum Way { kToBytes, kToUnits, kBothWays };

struct Conversion {
    const char* encoding;
    std::wstring units;
    std::string bytes;
    Way way;
};

const std::wstring kCafe = Units({'c', 'a', 'f', 0xE9});

// Conversions through named code pages, as Windows converts: each replaces what it cannot
// convert and goes on.
const Conversion kConversions[] = {
    // Names select their code page ("ascii" is code page 1252).
    {"ascii", kCafe, "caf\xE9", kToBytes},
    {"l1", kCafe, "caf\xE9", kToUnits},
    {"ebcdic-cp-us", kCafe, "\x83\x81\x86\x51", kToBytes},
    {"big5", Units({0x7E41, 0x9AD4, 0x4E2D, 0x6587}), "\xC1\x63\xC5\xE9\xA4\xA4\xA4\xE5", kBothWays},
    // An unpaired surrogate, and a character outside the code page: its default
    // character, one per UTF-16 unit.
    {"Windows-1252", Units({'a', 0xDC00, 'z'}), "a?z", kToBytes},
    {"shift_jis", Units({'a', 0xDC00, 'z'}), "a?z", kToBytes},
    {"utf-8", Units({'a', 0xD83D, 'z'}), "a\xEF\xBF\xBDz", kToBytes},
    {"Windows-1252", Units({'a', 0x4E00, 0xD83D, 0xDE00, 'z'}), "a???z", kToBytes},
    {"shift_jis", Units({'a', 0x0416, 'z'}), "a\x84\x47z", kToBytes},
    {"shift_jis", Units({'a', 0x05D0, 0xD83D, 0xDE00, 'z'}), "a???z", kToBytes},
    {"ebcdic-cp-us", Units({0x4E00}), "\x6F", kToBytes},
    // An unmapped double-byte pair is one character, whatever its second byte.
    {"shift_jis", Units({0x30FB, 'X'}), "\x85\x40X", kToUnits},
    {"shift_jis", Units({0x30FB, 'z'}), "\x81\x0Az", kToUnits},
    {"ks_c_5601-1987", Units({'?'}), "\x81\x20", kToUnits},
    {"gb2312", Units({'?', 'z'}), "\x81\x20z", kToUnits},
    // A lead byte that ends the input or stands before a NUL.
    {"shift_jis", Units({'a', 0x30FB}), "a\x81", kToUnits},
    {"shift_jis", Units({0x30FB, 0, 'z'}), std::string("\x81", 1) + '\0' + 'z', kToUnits},
    {"big5", Units({'a', '?'}), "a\xA4", kToUnits},
    // Single bytes and user-defined pairs as Windows maps them.
    {"shift_jis", Units({0x80, 0xF8F0, 0xF8F1}), "\x80\xA0\xFD", kToUnits},
    {"big5", Units({0xF8F8, 'z'}), "\xFFz", kToUnits},
    {"ks_c_5601-1987", Units({0xE000, 0xE0BB}), "\xC9\xA1\xFE\xFE", kToUnits},
    {"big5", Units({0xEEB8, 0x3000}), "\x81\x40\xA1\x40", kToUnits},
    {"gb2312", Units({0xE4C6, 0x554A}), "\xA1\x40\xB0\xA1", kToUnits},
    {"Johab", Units({'\\'}), "\x5C", kToUnits},
    // Windows-1252 passes its unassigned bytes through as C1 controls.
    {"Windows-1252", Units({0x20AC, 0x81, 0x8D, 0x8F, 0x90, 0x9D, 0x178}), "\x80\x81\x8D\x8F\x90\x9D\x9F", kBothWays},
    // US-ASCII drops the high bit; UTF-7 passes bytes above 0x7F through, and reads a NUL.
    {"US-ASCII", Units({'i', 0}), "\xE9\x80", kToUnits},
    {"utf-7", Units({'a', 0x80}), "a\x80", kToUnits},
    {"utf-7", Units({'a', 0, 'z'}), std::string("a") + '\0' + 'z', kToUnits},
    // NULs are characters like any other.
    {"shift_jis", Units({'a', 0, 0x3042}), std::string("a\0\x82\xA0", 4), kBothWays},
    {"iso-2022-jp", Units({'a', 0, 0x3042}), std::string("a\0\x1B$B$\"\x1B(B", 10), kBothWays},
    // Stateful pages end in their initial state: 日 € 本 replaces the euro sign in ASCII
    // mode, and the text ends in ASCII mode.
    {"iso-2022-jp", Units({0x65E5, 0x20AC, 0x672C}), "\x1B$BF|\x1B(B?\x1B$BK\\\x1B(B", kToBytes},
    {"iso-2022-kr", Units({0xD55C}), "\x1B$)C\x0E\x47\x51\x0F", kToBytes},
    {"utf-7", Units({'A', 0x20AC}), "A+IKw-", kToBytes},
    // Windows-1255 keeps combining points apart, and fills its unassigned bytes.
    {"windows-1255", Units({0x5D0, 0x5B8, 0xF88D}), "\xE0\xC8\xD9", kToUnits},
    // Best fit: a letter with a diacritic the page lacks becomes the bare letter, a
    // full-width letter the plain one.
    {"Windows-1252", Units({0x100, 0x107}), "Ac", kToBytes},
    {"IBM437", Units({0xFF21}), "A", kToBytes},
    // Code pages that glibc lacks, read through a charset that approximates them.
    {"DOS-720", Units({'A', 0x0621, 0x0637}), "A\x98\xE1", kBothWays},
    {"x-mac-greek", Units({0x00C4, 0x0393}), "\x80\xA1", kBothWays},
    {"x-mac-japanese", Units({0x00A0, 0x00A9, 0xFFE0}), "\xA0\xFD\x81\x91", kBothWays},
    {"x-mac-chinesetrad", Units({0x3000}), "\xA1\x40", kBothWays},
    {"x-mac-korean", Units({0x3000}), "\xA1\xA1", kBothWays},
    {"x-mac-chinesesimp", Units({0x3000}), "\xA1\xA1", kBothWays},
};

// Each row through the UTF-16 calls and, where its units are well-formed UTF-16, through
// the UTF-8 calls too.
TEST(Transcoder, ConversionTable) {
    Lacking lacking;
    for (const Conversion& c : kConversions) {
        if (!lacking.Converts(c.encoding)) continue;
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

TEST(Transcoder, EveryByteOfFullSingleBytePagesRoundTrips) {
    std::string all;
    for (int b = 0; b < 256; ++b) all.push_back(static_cast<char>(b));
    Lacking lacking;
    for (const char* name : {"Windows-1252", "windows-1251", "windows-1250", "ibm850", "IBM437", "cp866", "koi8-r",
                             "macintosh", "iso-8859-5", "l1", "ebcdic-cp-us", "x-ebcdic-germany-euro", "CP1026"}) {
        if (!lacking.Converts(name)) continue;
        const std::wstring units = Transcoder::EncodingToUTF16(all, name);
        ASSERT_EQ(units.size(), 256u) << name;
        EXPECT_EQ(Transcoder::UTF16ToEncoding(units, name), all) << name;
    }
}

// Real text through each family, both ways: single-byte, EBCDIC, double-byte, ISO-2022,
// UTF-7 and GB18030 (single-byte pages whose every byte round-trips are left to the test
// above).
TEST(Transcoder, TextSurvivesBothWaysThroughEachFamily) {
    struct RoundTrip {
        const char* file;  // below text/ in the data folder
        const char* encoding;
    };
    const RoundTrip cases[] = {
        {"Hebrew-Lipsum.utf8.txt", "windows-1255"},
        {"Latin-Lipsum.utf8.txt", "x-IA5-German"},
        {"Russian-Lipsum.utf8.txt", "CP870"},
        {"Latin-Lipsum.utf8.txt", "x-EBCDIC-Germany"},
        {"Japanese-Lipsum.utf8.txt", "x-EBCDIC-JapaneseAndKana"},
        {"Japanese-Lipsum.utf8.txt", "shift_jis"},
        {"Chinese-Lipsum.utf8.txt", "gb2312"},
        {"Korean-Lipsum.utf8.txt", "ks_c_5601-1987"},
        {"Korean-Lipsum.utf8.txt", "Johab"},
        {"Japanese-Lipsum.utf8.txt", "euc-jp"},
        {"Korean-Lipsum.utf8.txt", "euc-kr"},
        {"Japanese-Lipsum.utf8.txt", "iso-2022-jp"},
        {"Korean-Lipsum.utf8.txt", "iso-2022-kr"},
        {"Emoji-Lipsum.utf8.txt", "utf-7"},
        {"Emoji-Lipsum.utf8.txt", "windows-54936"},
    };
    Lacking lacking;
    for (const RoundTrip& c : cases) {
        SCOPED_TRACE(std::string(c.encoding) + " on " + c.file);
        if (!lacking.Converts(c.encoding)) continue;
        const std::string text = tessera_test::ReadDataFile(std::string("text/") + c.file);
        ASSERT_FALSE(text.empty()) << "missing data file";
        const std::string encoded = Transcoder::UTF8ToEncoding(text, c.encoding);
        ASSERT_FALSE(encoded.empty());
        const std::string back = Transcoder::EncodingToUTF8(encoded, c.encoding);
        EXPECT_TRUE(tessera_test::SameText(back, text));
    }
}

TEST(Transcoder, ConcurrentConversionsThroughManyCodePagesAgree) {
    // Shared tables built by whichever thread comes first, and more stream code pages than
    // a thread keeps converters for, from several threads at once.
    Lacking lacking;
    std::vector<std::string> names;
    for (const char* name :
         {"shift_jis", "gb2312", "big5", "euc-kr", "Johab", "koi8-r", "ebcdic-cp-us", "ibm850", "iso-2022-jp",
          "iso-2022-kr", "euc-jp", "utf-7", "windows-54936", "x-EBCDIC-JapaneseAndKana",
          "x-EBCDIC-KoreanAndKoreanExtended", "x-EBCDIC-SimplifiedChinese", "x-EBCDIC-TraditionalChinese",
          "x-EBCDIC-JapaneseAndJapaneseLatin"}) {
        if (lacking.Converts(name)) names.push_back(name);
    }
    const std::wstring text = Units({'A', 0x3042, 0x4E2D, 0xD55C, 0x0416, 0x00E9, 'z'});
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
}

}  // namespace
