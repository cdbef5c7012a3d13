// UTF-8 <-> UTF-16: invalid input, every code point, surrogates, real texts, and each
// kernel against the reference conversions: every scalar value, each sequence at each
// offset of the first blocks, runs cut at every length and damaged at each position, and
// random input.
#include "unicode/utf8_utf16.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <initializer_list>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "test_data.h"
#include "unicode/cpu_features.h"
#include "unicode/kernel.h"
#include "unicode/utf8_utf16_reference.h"
#include "unicode/utf_length.h"

namespace tessera::unicode {
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

// The kernels this CPU runs.
std::vector<const Kernel*> RunnableKernels() {
    std::vector<const Kernel*> kernels;
    for (const Kernel* kernel : kKernels) {
        if (RunsOn(*kernel, DetectCpuFeatures())) kernels.push_back(kernel);
    }
    return kernels;
}

// Both conversions, with every kernel and the reference, must give `expected`, alone
// and in context.
void ExpectUtf16(const std::string& utf8, const std::wstring& expected) {
    EXPECT_EQ(ReferenceUtf8ToUtf16(utf8.data(), utf8.size()), expected);
    const std::string inContext = kUtf8Before + utf8 + kUtf8After;
    for (const Kernel* kernel : RunnableKernels()) {
        SCOPED_TRACE(kernel->name);
        EXPECT_EQ(Utf8ToUtf16With(*kernel, utf8.data(), utf8.size()), expected);
        EXPECT_EQ(Utf8ToUtf16With(*kernel, inContext.data(), inContext.size()), kUtf16Before + expected + kUtf16After);
    }
}

void ExpectUtf8(const std::wstring& utf16, const std::string& expected) {
    EXPECT_EQ(ReferenceUtf16ToUtf8(utf16.data(), utf16.size()), expected);
    EXPECT_EQ(Utf8LengthOfUtf16(utf16.data(), utf16.data() + utf16.size()), expected.size());
    const std::wstring inContext = kUtf16Before + utf16 + kUtf16After;
    for (const Kernel* kernel : RunnableKernels()) {
        SCOPED_TRACE(kernel->name);
        EXPECT_EQ(Utf16ToUtf8With(*kernel, utf16.data(), utf16.size()), expected);
        EXPECT_EQ(Utf16ToUtf8With(*kernel, inContext.data(), inContext.size()), kUtf8Before + expected + kUtf8After);
    }
}

constexpr std::uint32_t kBad = 0xFFFD;

struct Utf8Case {
    const char* name;
    std::string bytes;
    std::wstring units;
};

// Ill-formed input, each maximal invalid subpart replaced.
const std::vector<Utf8Case>& InvalidUtf8Cases() {
    static const std::vector<Utf8Case> cases = {
        {"lone continuation", "\x80", Units({kBad})},
        {"two continuations", "\x80\xBF", Units({kBad, kBad})},
        {"overlong C0", "\xC0\xAF", Units({kBad, kBad})},
        {"overlong C1", "\xC1\xBF", Units({kBad, kBad})},
        {"truncated at end", "\xC2", Units({kBad})},
        {"two-byte lead then ASCII",
         "\xC2"
         "A",
         Units({kBad, 'A'})},
        {"lead then lead", "\xC2\xC2\x80", Units({kBad, 0x80})},
        {"overlong E0 80", "\xE0\x80\x80", Units({kBad, kBad, kBad})},
        {"overlong E0 9F", "\xE0\x9F\xBF", Units({kBad, kBad, kBad})},
        {"E0 A0 truncated", "\xE0\xA0", Units({kBad})},
        {"three-byte cut by ASCII",
         "\xE1\x80"
         "A",
         Units({kBad, 'A'})},
        {"three-byte cut by sequence", "\xE2\x82\xE2\x82\xAC", Units({kBad, 0x20AC})},
        {"surrogate D800", "\xED\xA0\x80", Units({kBad, kBad, kBad})},
        {"surrogate DFFF", "\xED\xBF\xBF", Units({kBad, kBad, kBad})},
        {"overlong F0 80", "\xF0\x80\x80", Units({kBad, kBad, kBad})},
        {"overlong F0 8F", "\xF0\x8F\xBF\xBF", Units({kBad, kBad, kBad, kBad})},
        {"four-byte truncated", "\xF0\x90\x80", Units({kBad})},
        {"four-byte cut by ASCII",
         "\xF0\x90\x80"
         "A",
         Units({kBad, 'A'})},
        {"above U+10FFFF", "\xF4\x90\x80\x80", Units({kBad, kBad, kBad, kBad})},
        {"F4 truncated", "\xF4\x8F\xBF", Units({kBad})},
        {"lead F5", "\xF5\x80\x80\x80", Units({kBad, kBad, kBad, kBad})},
        {"five-byte form", "\xF8\x88\x80\x80\x80", Units({kBad, kBad, kBad, kBad, kBad})},
        {"bytes FE FF", "\xFE\xFF", Units({kBad, kBad})},
        {"lead FF then continuation", "\xFF\x80", Units({kBad, kBad})},
        {"lead F7 then continuations", "\xF7\xBF\xBF\xBF", Units({kBad, kBad, kBad, kBad})},
        {"two-byte then continuation", "\xC3\xA9\x80", Units({0xE9, kBad})},
        {"three-byte then continuation", "\xE2\x82\xAC\x80", Units({0x20AC, kBad})},
        {"four-byte then continuation", "\xF0\x9F\x98\x80\x80", Units({0xD83D, 0xDE00, kBad})},
        {"mixed",
         "a\xF1\x80\x80\xE1\x80\xC2"
         "b\x80"
         "c\x80\xBF"
         "d",
         Units({'a', kBad, kBad, kBad, 'b', kBad, 'c', kBad, kBad, 'd'})},
        {"inside ASCII blocks", std::string(20, 'a') + "\xC0" + std::string(20, 'b'),
         std::wstring(20, L'a') + Units({kBad}) + std::wstring(20, L'b')},
        {"at the end of a block", std::string(15, 'a') + "\xE2\x82", std::wstring(15, L'a') + Units({kBad})},
    };
    return cases;
}

TEST(Utf8ToUtf16, ReplacesEachMaximalInvalidSubpart) {
    for (const Utf8Case& c : InvalidUtf8Cases()) {
        SCOPED_TRACE(c.name);
        ExpectUtf16(c.bytes, c.units);
    }
}

// The first and last code point of each sequence length and of the ranges around the
// surrogates.
const std::vector<Utf8Case>& EdgeUtf8Cases() {
    static const std::vector<Utf8Case> cases = {
        {"U+0000", std::string(1, '\0'), Units({0})},
        {"U+007F", "\x7F", Units({0x7F})},
        {"U+0080", "\xC2\x80", Units({0x80})},
        {"U+07FF", "\xDF\xBF", Units({0x7FF})},
        {"U+0800", "\xE0\xA0\x80", Units({0x800})},
        {"U+D7FF", "\xED\x9F\xBF", Units({0xD7FF})},
        {"U+E000", "\xEE\x80\x80", Units({0xE000})},
        {"U+FFFF", "\xEF\xBF\xBF", Units({0xFFFF})},
        {"U+10000", "\xF0\x90\x80\x80", Units({0xD800, 0xDC00})},
        {"U+40000", "\xF1\x80\x80\x80", Units({0xD8C0, 0xDC00})},
        {"U+10FFFF", "\xF4\x8F\xBF\xBF", Units({0xDBFF, 0xDFFF})},
        {"embedded NULs", std::string("a\0\xC3\xA9\0b", 6), Units({'a', 0, 0xE9, 0, 'b'})},
    };
    return cases;
}

TEST(Utf8ToUtf16, DecodesTheEdgesOfEachSequenceLength) {
    for (const Utf8Case& c : EdgeUtf8Cases()) {
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

// One unit per byte outside 80..BF and one more per byte F0..FF, on any bytes: at every
// length over the first few blocks, and now and then up to beyond the counters' rounds.
TEST(Utf16LengthOfUtf8, CountsUnitsOfAnyBytesAtEveryLength) {
    std::mt19937 random(7);
    std::string text(20000, '\0');
    for (char& byte : text) byte = static_cast<char>(random());
    const auto* data = reinterpret_cast<const unsigned char*>(text.data());
    std::size_t expected = 0;
    for (std::size_t length = 0; length <= text.size(); ++length) {
        if (length < 300 || length % 997 == 0 || length == text.size()) {
            ASSERT_EQ(Utf16LengthOfUtf8(data, data + length), expected) << length;
        }
        if (length < text.size()) expected += std::size_t{(data[length] & 0xC0) != 0x80} + (data[length] >= 0xF0);
    }
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
                case 0:
                    text.append(Below(40), static_cast<char>('a' + Below(26)));
                    break;
                case 1:
                    AppendUtf8(CodePoint(), text);
                    break;
                case 2:
                    text.push_back(static_cast<char>(0x80 + Below(0x80)));
                    break;
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
                case 0:
                    text.append(Below(40), static_cast<wchar_t>('a' + Below(26)));
                    break;
                case 1:
                    AppendUtf16(CodePoint(), text);
                    break;
                case 2:
                    text.push_back(static_cast<wchar_t>(0xD800 + Below(0x800)));
                    break;
                default:
                    text.push_back(static_cast<wchar_t>(sizeof(wchar_t) > 2 ? m_random() : Below(0x10000)));
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

// Each kernel built into the library that this CPU runs, checked on its own.
class EachKernel : public testing::TestWithParam<std::size_t> {
protected:
    const unicode::Kernel& Kernel() const { return *kKernels[GetParam()]; }

    void SetUp() override {
        if (!RunsOn(Kernel(), DetectCpuFeatures())) GTEST_SKIP() << "this CPU lacks " << Kernel().name;
    }
};

INSTANTIATE_TEST_SUITE_P(Utf8Utf16, EachKernel, testing::Range<std::size_t>(0, std::size(kKernels)),
                         [](const testing::TestParamInfo<std::size_t>& info) {
                             return std::string(kKernels[info.param]->name);
                         });

TEST_P(EachKernel, ConvertsEveryScalarValueBothWays) {
    std::string utf8;
    std::wstring utf16;
    for (std::uint32_t c = 0; c <= 0x10FFFF; ++c) {
        if (c >= 0xD800 && c <= 0xDFFF) continue;
        AppendUtf8(c, utf8);
        AppendUtf16(c, utf16);
    }
    EXPECT_TRUE(Utf8ToUtf16With(Kernel(), utf8.data(), utf8.size()) == utf16);
    EXPECT_TRUE(Utf16ToUtf8With(Kernel(), utf16.data(), utf16.size()) == utf8);
    const auto* bytes = reinterpret_cast<const unsigned char*>(utf8.data());
    EXPECT_EQ(Utf16LengthOfUtf8(bytes, bytes + utf8.size()), utf16.size());
}

// Each sequence of the tables above, valid or not, at each offset of the first blocks (up
// to 64 bytes) among characters of each length, so that it straddles every block boundary.
TEST_P(EachKernel, Utf8ToUtf16AgreesWithReferenceOnEachSequenceAtEachOffset) {
    struct Filler {
        const char* name;
        std::string character;
    };
    const Filler fillers[] = {
        {"ASCII", "a"},
        {"two-byte", "\xD0\x96"},
        {"three-byte", "\xE4\xB8\xAD"},
        {"four-byte", "\xF0\x9F\x98\x80"},
    };
    std::vector<Utf8Case> cases = InvalidUtf8Cases();
    cases.insert(cases.end(), EdgeUtf8Cases().begin(), EdgeUtf8Cases().end());
    for (const Filler& filler : fillers) {
        SCOPED_TRACE(filler.name);
        std::string fill;
        while (fill.size() < 200) fill += filler.character;
        for (const Utf8Case& c : cases) {
            SCOPED_TRACE(c.name);
            for (std::size_t offset = 0; offset < 140; ++offset) {
                // The filler's whole characters, then ASCII up to the offset.
                const std::size_t whole = offset - offset % filler.character.size();
                const std::string text = fill.substr(0, whole) + std::string(offset - whole, 'a') + c.bytes + fill;
                ASSERT_TRUE(Utf8ToUtf16With(Kernel(), text.data(), text.size()) ==
                            ReferenceUtf8ToUtf16(text.data(), text.size()))
                    << "at " << offset;
            }
        }
    }
}

TEST(Utf8Utf16, ConversionsUseTheBestKernelTheCpuRuns) {
    ASSERT_NE(g_kernel, nullptr);
    EXPECT_EQ(g_kernel, &BestKernel(DetectCpuFeatures()));
}

TEST(Utf8Utf16, BestKernelIsTheLastTheCpuRuns) {
    struct Case {
        CpuFeatures features;
        const char* expected;  // where the build has that kernel
    };
    const Case cases[] = {
        {0, "portable"},
        {kSsse3 | kAvx2 | kPopcnt, "portable"},  // every vector kernel needs SSE2
        {kSse2, "sse2"},
        {kSse2 | kAvx2 | kPopcnt, "sse2"},  // the AVX2 kernel needs SSSE3 as well
        {kSse2 | kSsse3, "ssse3"},
        {kSse2 | kSsse3 | kAvx2, "ssse3"},  // and POPCNT
        {kSse2 | kSsse3 | kPopcnt | kAvx2, "avx2"},
        {~CpuFeatures{0}, kKernels[std::size(kKernels) - 1]->name},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.features);
        const unicode::Kernel& best = BestKernel(c.features);
        EXPECT_TRUE(RunsOn(best, c.features));
        const bool built = std::any_of(std::begin(kKernels), std::end(kKernels),
                                       [&c](const unicode::Kernel* k) { return std::string(k->name) == c.expected; });
        if (built) {
            EXPECT_STREQ(best.name, c.expected);
        }
    }
}

#if defined(__GNUC__) && (defined(__x86_64__) || defined(__i386__))
// The compiler's runtime asks the same questions its own way, the register states the
// system saves included.
TEST(CpuFeatures, AgreeWithTheCompilersRuntime) {
    struct Case {
        CpuFeature feature;
        bool expected;
    };
    __builtin_cpu_init();
    const Case cases[] = {
        {kSse2, __builtin_cpu_supports("sse2") != 0},
        {kSsse3, __builtin_cpu_supports("ssse3") != 0},
        {kPopcnt, __builtin_cpu_supports("popcnt") != 0},
        {kAvx2, __builtin_cpu_supports("avx2") != 0},
        {kBmi2, __builtin_cpu_supports("bmi2") != 0},
        {kAvx512F, __builtin_cpu_supports("avx512f") != 0},
        {kAvx512Bw, __builtin_cpu_supports("avx512bw") != 0},
        {kAvx512Vl, __builtin_cpu_supports("avx512vl") != 0},
        {kAvx512Vbmi, __builtin_cpu_supports("avx512vbmi") != 0},
        {kAvx512Vbmi2, __builtin_cpu_supports("avx512vbmi2") != 0},
    };
    const CpuFeatures detected = DetectCpuFeatures();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.feature);
        EXPECT_EQ((detected & c.feature) != 0, c.expected);
    }
}
#endif

TEST_P(EachKernel, Utf8ToUtf16AgreesWithReferenceOnRandomInput) {
    RandomText random(20260101);
    for (int i = 0; i < 3000; ++i) {
        const std::string utf8 = random.Utf8();
        const std::wstring expected = ReferenceUtf8ToUtf16(utf8.data(), utf8.size());
        ASSERT_TRUE(Utf8ToUtf16With(Kernel(), utf8.data(), utf8.size()) == expected) << "case " << i;
        ASSERT_TRUE(Utf16ToUtf8With(Kernel(), expected.data(), expected.size()) ==
                    ReferenceUtf16ToUtf8(expected.data(), expected.size()));
    }
}

TEST_P(EachKernel, Utf16ToUtf8AgreesWithReferenceOnRandomInput) {
    RandomText random(19700101);
    for (int i = 0; i < 3000; ++i) {
        const std::wstring utf16 = random.Utf16();
        const std::string expected = ReferenceUtf16ToUtf8(utf16.data(), utf16.size());
        ASSERT_TRUE(Utf16ToUtf8With(Kernel(), utf16.data(), utf16.size()) == expected) << "case " << i;
        ASSERT_EQ(Utf8LengthOfUtf16(utf16.data(), utf16.data() + utf16.size()), expected.size());
    }
}

// Runs that the kernels take in large steps (CJK, Cyrillic with spaces, emoji, a mix of
// every length), cut at every length and with one element replaced at each position by one
// of every class.
TEST_P(EachKernel, AgreesWithReferenceOnRunsDamagedAtEachPosition) {
    std::string cjk;
    std::string cyrillic;
    for (int i = 0; i < 40; ++i) cjk += "\xE4\xB8\xAD";            // U+4E2D
    for (int i = 0; i < 30; ++i) cyrillic += "\xD0\x96\xD0\xB6 ";  // U+0416 U+0436 space
    std::string emoji;
    std::string mixed;
    for (int i = 0; i < 40; ++i) emoji += "\xF0\x9F\x98\x80";                       // U+1F600
    for (int i = 0; i < 20; ++i) mixed += "a\xD0\x96\xE4\xB8\xAD\xF0\x9F\x98\x80";  // one of each length
    const unsigned char bytes[] = {0x00, 0x41, 0x80, 0xBF, 0xC1, 0xC2, 0xDF, 0xE0, 0xED, 0xEF, 0xF0, 0xF4, 0xFF};
    const std::uint32_t units[] = {0x41, 0x7F, 0x80, 0x7FF, 0x800, 0xD800, 0xDBFF, 0xDC00, 0xFFFF, 0x10000};
    for (const std::string& run : {cjk, cyrillic, cjk + cyrillic + cjk, emoji, mixed}) {
        const std::wstring wide = ReferenceUtf8ToUtf16(run.data(), run.size());
        for (std::size_t i = 0; i < run.size(); ++i) {
            std::string utf8 = run.substr(0, i);
            ASSERT_TRUE(Utf8ToUtf16With(Kernel(), utf8.data(), utf8.size()) ==
                        ReferenceUtf8ToUtf16(utf8.data(), utf8.size()))
                << "cut at " << i;
            for (unsigned char byte : bytes) {
                utf8 = run;
                utf8[i] = static_cast<char>(byte);
                ASSERT_TRUE(Utf8ToUtf16With(Kernel(), utf8.data(), utf8.size()) ==
                            ReferenceUtf8ToUtf16(utf8.data(), utf8.size()))
                    << "byte " << int{byte} << " at " << i;
            }
        }
        for (std::size_t i = 0; i < wide.size(); ++i) {
            for (std::uint32_t unit : units) {
                if (sizeof(wchar_t) == 2 && unit > 0xFFFF) continue;
                std::wstring utf16 = wide;
                utf16[i] = static_cast<wchar_t>(unit);
                ASSERT_TRUE(Utf16ToUtf8With(Kernel(), utf16.data(), utf16.size()) ==
                            ReferenceUtf16ToUtf8(utf16.data(), utf16.size()))
                    << "unit " << unit << " at " << i;
            }
        }
    }
}

// Windows of real texts with a few bytes or units damaged: the block paths meet runs of
// Cyrillic and CJK with a fault somewhere inside.
TEST_P(EachKernel, ConversionsAgreeWithReferenceOnDamagedRealText) {
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
            ASSERT_TRUE(Utf8ToUtf16With(Kernel(), utf8.data(), utf8.size()) ==
                        ReferenceUtf8ToUtf16(utf8.data(), utf8.size()))
                << "case " << i;

            std::wstring utf16 = wide.substr(below(wide.size() - 2000), 1 + below(2000));
            for (std::size_t faults = below(4); faults > 0; --faults) {
                utf16[below(utf16.size())] = static_cast<wchar_t>(0xD800 + below(0x800));
            }
            ASSERT_TRUE(Utf16ToUtf8With(Kernel(), utf16.data(), utf16.size()) ==
                        ReferenceUtf16ToUtf8(utf16.data(), utf16.size()))
                << "case " << i;
        }
    }
}

}  // namespace
}  // namespace tessera::unicode
