// UTF-8 <-> UTF-16: invalid input, every code point, surrogates, real texts, and the fast
// conversions against the reference conversions on random input.
#include "encoding/utf8_utf16.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <initializer_list>
#include <random>
#include <string>
#include <vector>

#include "encoding/utf8_utf16_reference.h"
#include "encoding/utf_length.h"
#include "test_data.h"

namespace tessera::encoding {
namespace {

std::wstring Units(std::initializer_list<std::uint32_t> units) {
    std::wstring text;
    for (std::uint32_t unit : units) text.push_back(static_cast<wchar_t>(unit));
    return text;
}

std::wstring FastUtf16(const std::string& text) { return Utf8ToUtf16(text.data(), text.size()); }
std::string FastUtf8(const std::wstring& text) { return Utf16ToUtf8(text.data(), text.size()); }

// Text around a case, long enough that the case lands inside the block paths: ASCII
// before it, Cyrillic ("Жж" repeated) after it.
const std::string kUtf8Before(21, 'a');
const std::wstring kUtf16Before(21, L'a');
const std::string kUtf8After = [] {
    std::string text;
    for (int i = 0; i < 12; ++i) text += "\xD0\x96\xD0\xB6";
    return text;
}();
const std::wstring kUtf16After = [] {
    std::wstring text;
    for (int i = 0; i < 12; ++i) text += L"\x0416\x0436";
    return text;
}();

// Both conversions, fast and reference, must give `expected`, alone and in context.
void ExpectUtf16(const std::string& utf8, const std::wstring& expected) {
    EXPECT_EQ(FastUtf16(utf8), expected);
    EXPECT_EQ(ReferenceUtf8ToUtf16(utf8.data(), utf8.size()), expected);
    EXPECT_EQ(FastUtf16(kUtf8Before + utf8 + kUtf8After), kUtf16Before + expected + kUtf16After);
}

void ExpectUtf8(const std::wstring& utf16, const std::string& expected) {
    EXPECT_EQ(FastUtf8(utf16), expected);
    EXPECT_EQ(ReferenceUtf16ToUtf8(utf16.data(), utf16.size()), expected);
    EXPECT_EQ(Utf8LengthOfUtf16(utf16.data(), utf16.data() + utf16.size()), expected.size());
    EXPECT_EQ(FastUtf8(kUtf16Before + utf16 + kUtf16After), kUtf8Before + expected + kUtf8After);
}

constexpr std::uint32_t kBad = 0xFFFD;

struct Utf8Case {
    const char* name;
    std::string bytes;
    std::wstring units;
};

TEST(Utf8ToUtf16, ReplacesEachMaximalInvalidSubpart) {
    const Utf8Case cases[] = {
        {"lone continuation", "\x80", Units({kBad})},
        {"two continuations", "\x80\xBF", Units({kBad, kBad})},
        {"overlong C0", "\xC0\xAF", Units({kBad, kBad})},
        {"overlong C1", "\xC1\xBF", Units({kBad, kBad})},
        {"truncated at end", "\xC2", Units({kBad})},
        {"two-byte lead then ASCII", "\xC2" "A", Units({kBad, 'A'})},
        {"lead then lead", "\xC2\xC2\x80", Units({kBad, 0x80})},
        {"overlong E0 80", "\xE0\x80\x80", Units({kBad, kBad, kBad})},
        {"overlong E0 9F", "\xE0\x9F\xBF", Units({kBad, kBad, kBad})},
        {"E0 A0 truncated", "\xE0\xA0", Units({kBad})},
        {"three-byte cut by ASCII", "\xE1\x80" "A", Units({kBad, 'A'})},
        {"three-byte cut by sequence", "\xE2\x82\xE2\x82\xAC", Units({kBad, 0x20AC})},
        {"surrogate D800", "\xED\xA0\x80", Units({kBad, kBad, kBad})},
        {"surrogate DFFF", "\xED\xBF\xBF", Units({kBad, kBad, kBad})},
        {"overlong F0 80", "\xF0\x80\x80", Units({kBad, kBad, kBad})},
        {"overlong F0 8F", "\xF0\x8F\xBF\xBF", Units({kBad, kBad, kBad, kBad})},
        {"four-byte truncated", "\xF0\x90\x80", Units({kBad})},
        {"four-byte cut by ASCII", "\xF0\x90\x80" "A", Units({kBad, 'A'})},
        {"above U+10FFFF", "\xF4\x90\x80\x80", Units({kBad, kBad, kBad, kBad})},
        {"F4 truncated", "\xF4\x8F\xBF", Units({kBad})},
        {"lead F5", "\xF5\x80\x80\x80", Units({kBad, kBad, kBad, kBad})},
        {"five-byte form", "\xF8\x88\x80\x80\x80", Units({kBad, kBad, kBad, kBad, kBad})},
        {"bytes FE FF", "\xFE\xFF", Units({kBad, kBad})},
        {"mixed", "a\xF1\x80\x80\xE1\x80\xC2" "b\x80" "c\x80\xBF" "d",
         Units({'a', kBad, kBad, kBad, 'b', kBad, 'c', kBad, kBad, 'd'})},
        {"inside ASCII blocks", std::string(20, 'a') + "\xC0" + std::string(20, 'b'),
         std::wstring(20, L'a') + Units({kBad}) + std::wstring(20, L'b')},
        {"at the end of a block", std::string(15, 'a') + "\xE2\x82", std::wstring(15, L'a') + Units({kBad})},
    };
    for (const Utf8Case& c : cases) {
        SCOPED_TRACE(c.name);
        ExpectUtf16(c.bytes, c.units);
    }
}

TEST(Utf8ToUtf16, DecodesTheEdgesOfEachSequenceLength) {
    const Utf8Case cases[] = {
        {"U+0000", std::string(1, '\0'), Units({0})},
        {"U+007F", "\x7F", Units({0x7F})},
        {"U+0080", "\xC2\x80", Units({0x80})},
        {"U+07FF", "\xDF\xBF", Units({0x7FF})},
        {"U+0800", "\xE0\xA0\x80", Units({0x800})},
        {"U+D7FF", "\xED\x9F\xBF", Units({0xD7FF})},
        {"U+E000", "\xEE\x80\x80", Units({0xE000})},
        {"U+FFFF", "\xEF\xBF\xBF", Units({0xFFFF})},
        {"U+10000", "\xF0\x90\x80\x80", Units({0xD800, 0xDC00})},
        {"U+10FFFF", "\xF4\x8F\xBF\xBF", Units({0xDBFF, 0xDFFF})},
        {"embedded NULs", std::string("a\0\xC3\xA9\0b", 6), Units({'a', 0, 0xE9, 0, 'b'})},
    };
    for (const Utf8Case& c : cases) {
        SCOPED_TRACE(c.name);
        ExpectUtf16(c.bytes, c.units);
        ExpectUtf8(c.units, c.bytes);
    }
}

// Each code point written by hand, independent of the code under test.
void AppendUtf8(std::uint32_t c, std::string& out) {
    auto byte = [&out](std::uint32_t b) { out.push_back(static_cast<char>(b)); };
    if (c < 0x80) {
        byte(c);
    } else if (c < 0x800) {
        byte(0xC0 | c >> 6), byte(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        byte(0xE0 | c >> 12), byte(0x80 | (c >> 6 & 0x3F)), byte(0x80 | (c & 0x3F));
    } else {
        byte(0xF0 | c >> 18), byte(0x80 | (c >> 12 & 0x3F)), byte(0x80 | (c >> 6 & 0x3F)), byte(0x80 | (c & 0x3F));
    }
}

void AppendUtf16(std::uint32_t c, std::wstring& out) {
    if (c < 0x10000) {
        out.push_back(static_cast<wchar_t>(c));
    } else {
        out.push_back(static_cast<wchar_t>(0xD800 + ((c - 0x10000) >> 10)));
        out.push_back(static_cast<wchar_t>(0xDC00 + ((c - 0x10000) & 0x3FF)));
    }
}

TEST(Utf8ToUtf16, ConvertsEveryScalarValueBothWays) {
    std::string utf8;
    std::wstring utf16;
    for (std::uint32_t c = 0; c <= 0x10FFFF; ++c) {
        if (c >= 0xD800 && c <= 0xDFFF) continue;
        AppendUtf8(c, utf8);
        AppendUtf16(c, utf16);
    }
    EXPECT_TRUE(FastUtf16(utf8) == utf16);
    EXPECT_TRUE(FastUtf8(utf16) == utf8);
    const auto* bytes = reinterpret_cast<const unsigned char*>(utf8.data());
    EXPECT_EQ(Utf16LengthOfUtf8(bytes, bytes + utf8.size()), utf16.size());
}

struct Utf16Case {
    const char* name;
    std::wstring units;
    std::string bytes;
};

TEST(Utf16ToUtf8, ReplacesUnpairedSurrogatesAndPairsTheRest) {
    const std::string bad = "\xEF\xBF\xBD";
    const Utf16Case cases[] = {
        {"lone high at end", Units({0xD800}), bad},
        {"lone low", Units({0xDC00}), bad},
        {"high then ASCII", Units({0xDBFF, 'A'}), bad + "A"},
        {"reversed pair", Units({0xDC00, 0xD800}), bad + bad},
        {"high high low", Units({0xD800, 0xD800, 0xDC00}), bad + "\xF0\x90\x80\x80"},
        {"pair", Units({0xD83D, 0xDE00}), "\xF0\x9F\x98\x80"},
        {"pair across a block", std::wstring(15, L'a') + Units({0xD83D, 0xDE00}),
         std::string(15, 'a') + "\xF0\x9F\x98\x80"},
        {"lone high before a block", std::wstring(15, L'a') + Units({0xD83D}) + std::wstring(16, L'b'),
         std::string(15, 'a') + bad + std::string(16, 'b')},
    };
    for (const Utf16Case& c : cases) {
        SCOPED_TRACE(c.name);
        ExpectUtf8(c.units, c.bytes);
    }
}

TEST(Utf16ToUtf8, ReplacesElementsThatAreNoUtf16Unit) {
    if (sizeof(wchar_t) < 4) GTEST_SKIP() << "every 16-bit element is a UTF-16 unit";
    const std::string bad = "\xEF\xBF\xBD";
    ExpectUtf8(Units({0x10000}), bad);
    ExpectUtf8(Units({'a', 0x1F600, 'b'}), "a" + bad + "b");
    ExpectUtf8(Units({0xFFFFFFFF}), bad);
    ExpectUtf8(std::wstring(17, L'a') + Units({0x110000}), std::string(17, 'a') + bad);
}

TEST(Utf8Utf16, EmptyInputGivesEmptyOutput) {
    EXPECT_TRUE(Utf8ToUtf16(nullptr, 0).empty());
    EXPECT_TRUE(Utf16ToUtf8(nullptr, 0).empty());
}

TEST(Utf8Utf16, RealTextsRoundTrip) {
    int texts = 0;
    for (const auto& entry : std::filesystem::directory_iterator(tessera_test::DataDir() + "/text")) {
        const std::string name = entry.path().filename().string();
        const std::string suffix = ".utf8.txt";
        if (name.size() < suffix.size() || name.compare(name.size() - suffix.size(), suffix.size(), suffix) != 0) {
            continue;
        }
        SCOPED_TRACE(name);
        ++texts;
        const std::string utf8 = tessera_test::ReadDataFile("text/" + name);
        const std::wstring utf16 = FastUtf16(utf8);
        EXPECT_TRUE(utf16 == ReferenceUtf8ToUtf16(utf8.data(), utf8.size()));
        EXPECT_TRUE(FastUtf8(utf16) == utf8);
    }
    EXPECT_GE(texts, 10);
}

// Random input built from pieces that reach every path: ASCII runs long enough for the
// block loops, valid sequences of every length, and arbitrary units or bytes.
class RandomText {
public:
    explicit RandomText(std::uint32_t seed) : m_random(seed) {}

    std::size_t Length() {
        // Mostly short; now and then longer than a conversion chunk.
        return Below(10) == 0 ? 2000 + Below(2500) : Below(200);
    }

    std::string Utf8() {
        std::string text;
        const std::size_t length = Length();
        while (text.size() < length) {
            switch (Below(4)) {
                case 0: text.append(Below(40), static_cast<char>('a' + Below(26))); break;
                case 1: AppendUtf8(CodePoint(), text); break;
                case 2: text.push_back(static_cast<char>(0x80 + Below(0x80))); break;
                default: {
                    std::string sequence;
                    AppendUtf8(CodePoint(), sequence);
                    text.append(sequence, 0, 1 + Below(sequence.size()));  // maybe cut short
                }
            }
        }
        return text;
    }

    std::wstring Utf16() {
        std::wstring text;
        const std::size_t length = Length();
        while (text.size() < length) {
            switch (Below(4)) {
                case 0: text.append(Below(40), static_cast<wchar_t>('a' + Below(26))); break;
                case 1: AppendUtf16(CodePoint(), text); break;
                case 2: text.push_back(static_cast<wchar_t>(0xD800 + Below(0x800))); break;
                default: text.push_back(static_cast<wchar_t>(sizeof(wchar_t) > 2 ? m_random() : Below(0x10000)));
            }
        }
        return text;
    }

private:
    std::uint32_t Below(std::size_t bound) { return static_cast<std::uint32_t>(m_random() % bound); }

    std::uint32_t CodePoint() {
        static constexpr std::uint32_t kLimits[] = {0x80, 0x800, 0x10000, 0x110000};
        std::uint32_t c;
        do {
            c = Below(kLimits[Below(4)]);
        } while (c >= 0xD800 && c <= 0xDFFF);
        return c;
    }

    std::mt19937 m_random;
};

TEST(Utf8ToUtf16, FastConversionAgreesWithReferenceOnRandomInput) {
    RandomText random(20260101);
    for (int i = 0; i < 3000; ++i) {
        const std::string utf8 = random.Utf8();
        const std::wstring expected = ReferenceUtf8ToUtf16(utf8.data(), utf8.size());
        ASSERT_TRUE(FastUtf16(utf8) == expected) << "case " << i;
        ASSERT_TRUE(FastUtf8(expected) == ReferenceUtf16ToUtf8(expected.data(), expected.size()));
    }
}

TEST(Utf16ToUtf8, FastConversionAgreesWithReferenceOnRandomInput) {
    RandomText random(19700101);
    for (int i = 0; i < 3000; ++i) {
        const std::wstring utf16 = random.Utf16();
        const std::string expected = ReferenceUtf16ToUtf8(utf16.data(), utf16.size());
        ASSERT_TRUE(FastUtf8(utf16) == expected) << "case " << i;
        ASSERT_EQ(Utf8LengthOfUtf16(utf16.data(), utf16.data() + utf16.size()), expected.size());
    }
}

// Windows of real texts with a few bytes or units damaged: the block paths meet runs of
// Cyrillic and CJK with a fault somewhere inside.
TEST(Utf8Utf16, FastConversionsAgreeWithReferenceOnDamagedRealText) {
    std::mt19937 random(4242);
    const auto below = [&random](std::size_t bound) { return static_cast<std::size_t>(random() % bound); };
    for (const char* name : {"mars-russian.utf8.txt", "Russian-Lipsum.utf8.txt", "Chinese-Lipsum.utf8.txt",
                             "mars-japanese.utf8.txt", "Emoji-Lipsum.utf8.txt", "Hindi-Lipsum.utf8.txt"}) {
        SCOPED_TRACE(name);
        const std::string text = tessera_test::ReadDataFile(std::string("text/") + name);
        ASSERT_GT(text.size(), 5000u);
        const std::wstring wide = FastUtf16(text);
        for (int i = 0; i < 300; ++i) {
            std::string utf8 = text.substr(below(text.size() - 3000), 1 + below(3000));
            for (std::size_t faults = below(4); faults > 0; --faults) {
                utf8[below(utf8.size())] = static_cast<char>(below(256));
            }
            ASSERT_TRUE(FastUtf16(utf8) == ReferenceUtf8ToUtf16(utf8.data(), utf8.size())) << "case " << i;

            std::wstring utf16 = wide.substr(below(wide.size() - 2000), 1 + below(2000));
            for (std::size_t faults = below(4); faults > 0; --faults) {
                utf16[below(utf16.size())] = static_cast<wchar_t>(0xD800 + below(0x800));
            }
            ASSERT_TRUE(FastUtf8(utf16) == ReferenceUtf16ToUtf8(utf16.data(), utf16.size())) << "case " << i;
        }
    }
}

}  // namespace
}  // namespace tessera::encoding
