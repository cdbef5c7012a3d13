// UTF-8 <-> UTF-16: ill-formed input and unpaired surrogates written out by hand, and each
// kernel against the reference conversions. Both ways: every scalar value, at two offsets.
// UTF-8 to UTF-16: each ill-formed sequence at each offset of the first blocks, inside
// the text and at its end. UTF-16 to UTF-8: every unit value at every position of a
// block, runs cut after a high surrogate and damaged at every position, and output room
// that ends anywhere. A kernel the processor lacks is skipped, by name.
#include "unicode/utf8_utf16.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "unicode/cpu_features.h"
#include "unicode/kernel.h"
#include "unicode/utf8_utf16_reference.h"
#include "unicode/utf_length.h"
#include "unicode_text.h"

namespace tessera::unicode {
namespace {

using tessera_test::AppendUtf16;
using tessera_test::AppendUtf8;
using tessera_test::Units;

constexpr std::uint32_t kBad = 0xFFFD;

struct Utf8Case {
    const char* name;
    std::string bytes;
    std::wstring units;
};

// Ill-formed input, each maximal invalid subpart replaced.
const std::vector<Utf8Case>& InvalidUtf8Cases() {
    static const std::vector<Utf8Case> cases = {
        {"two continuations", "\x80\xBF", Units({kBad, kBad})},
        {"overlong C1", "\xC1\xBF", Units({kBad, kBad})},
        {"truncated at end", "\xC2", Units({kBad})},
        {"two-byte lead then ASCII", "\xC2\x41", Units({kBad, 'A'})},
        {"lead then lead", "\xC2\xC2\x80", Units({kBad, 0x80})},
        {"overlong E0 9F", "\xE0\x9F\xBF", Units({kBad, kBad, kBad})},
        {"E0 A0 truncated", "\xE0\xA0", Units({kBad})},
        {"three-byte lead alone", "\xE4", Units({kBad})},
        {"three-byte cut by ASCII", "\xE1\x80\x41", Units({kBad, 'A'})},
        {"three-byte cut by sequence", "\xE2\x82\xE2\x82\xAC", Units({kBad, 0x20AC})},
        {"surrogate D800", "\xED\xA0\x80", Units({kBad, kBad, kBad})},
        {"overlong F0 8F", "\xF0\x8F\xBF\xBF", Units({kBad, kBad, kBad, kBad})},
        {"four-byte truncated", "\xF0\x90\x80", Units({kBad})},
        {"four-byte cut after two", "\xF0\x9F", Units({kBad})},
        {"four-byte cut by ASCII", "\xF0\x90\x80\x41", Units({kBad, 'A'})},
        {"above U+10FFFF", "\xF4\x90\x80\x80", Units({kBad, kBad, kBad, kBad})},
        {"F4 truncated", "\xF4\x8F\xBF", Units({kBad})},
        {"lead F5", "\xF5\x80\x80\x80", Units({kBad, kBad, kBad, kBad})},
        {"five-byte form", "\xF8\x88\x80\x80\x80", Units({kBad, kBad, kBad, kBad, kBad})},
        {"lead FF then continuation", "\xFF\x80", Units({kBad, kBad})},
        {"two-byte then continuation", "\xC3\xA9\x80", Units({0xE9, kBad})},
        {"three-byte then continuation", "\xE2\x82\xAC\x80", Units({0x20AC, kBad})},
        {"four-byte then continuation", "\xF0\x9F\x98\x80\x80", Units({0xD83D, 0xDE00, kBad})},
        {"mixed", "a\xF1\x80\x80\xE1\x80\xC2\x62\x80\x63\x80\xBF\x64",
         Units({'a', kBad, kBad, kBad, 'b', kBad, 'c', kBad, kBad, 'd'})},
    };
    return cases;
}

// The reference gives the table's units; each kernel is judged by the reference, on the
// same sequences at every offset (below).
TEST(Utf8ToUtf16, ReplacesEachMaximalInvalidSubpart) {
    for (const Utf8Case& c : InvalidUtf8Cases()) {
        EXPECT_EQ(ReferenceUtf8ToUtf16(c.bytes.data(), c.bytes.size()), c.units) << c.name;
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
    bool wideOnly;  // values no 16-bit element holds
};

TEST(Utf16ToUtf8, ReplacesWhatIsNoCharacterAndPairsTheRest) {
    const std::string bad = "\xEF\xBF\xBD";
    const Utf16Case cases[] = {
        {"lone high at end", Units({0xD800}), bad, false},
        {"lone low", Units({0xDC00}), bad, false},
        {"high then ASCII", Units({0xDBFF, 'A'}), bad + "A", false},
        {"reversed pair", Units({0xDC00, 0xD800}), bad + bad, false},
        {"high high low", Units({0xD800, 0xD800, 0xDC00}), bad + "\xF0\x90\x80\x80", false},
        {"pair", Units({0xD83D, 0xDE00}), "\xF0\x9F\x98\x80", false},
        {"element above U+FFFF", Units({'a', 0x1F600, 'b'}), "a" + bad + "b", true},
        {"elements beyond U+10FFFF", Units({0x110000, 0xFFFFFFFF}), bad + bad, true},
    };
    for (const Utf16Case& c : cases) {
        if (c.wideOnly && sizeof(wchar_t) < 4) continue;
        SCOPED_TRACE(c.name);
        EXPECT_EQ(ReferenceUtf16ToUtf8(c.units.data(), c.units.size()), c.bytes);
    }
}

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

// Every scalar value in order, from the start and one unit on: the surrogate pairs meet
// every position of a block and straddle its end.
TEST_P(EachKernel, ConvertsEveryScalarValueBothWays) {
    for (const std::uint32_t first : {0u, 1u}) {
        std::string utf8;
        std::wstring utf16;
        for (std::uint32_t c = first; c <= 0x10FFFF; ++c) {
            if (c >= 0xD800 && c <= 0xDFFF) continue;
            AppendUtf8(c, utf8);
            AppendUtf16(c, utf16);
        }
        EXPECT_TRUE(Utf8ToUtf16With(Kernel(), utf8.data(), utf8.size()) == utf16) << "from " << first;
        EXPECT_TRUE(Utf16ToUtf8With(Kernel(), utf16.data(), utf16.size()) == utf8) << "from " << first;
    }
}

// Each ill-formed sequence of the table above at each offset of the first blocks (up
// to 64 bytes) after characters of each length, so that it straddles every block
// boundary; followed by more of them, and at the end of the text.
TEST_P(EachKernel, Utf8ToUtf16AgreesWithReferenceOnEachSequenceAtEachOffset) {
    // ASCII, and characters of two, three and four bytes.
    for (const std::string filler : {"a", "\xD0\x96", "\xE4\xB8\xAD", "\xF0\x9F\x98\x80"}) {
        SCOPED_TRACE(testing::PrintToString(filler));
        std::string fill;
        while (fill.size() < 200) fill += filler;
        for (const Utf8Case& c : InvalidUtf8Cases()) {
            SCOPED_TRACE(c.name);
            for (std::size_t offset = 0; offset < 140; ++offset) {
                // The filler's whole characters, then ASCII up to the offset.
                const std::size_t whole = offset - offset % filler.size();
                const std::string text = fill.substr(0, whole) + std::string(offset - whole, 'a') + c.bytes;
                for (const std::string& input : {text, text + fill}) {
                    ASSERT_TRUE(Utf8ToUtf16With(Kernel(), input.data(), input.size()) ==
                                ReferenceUtf8ToUtf16(input.data(), input.size()))
                        << "at " << offset << (input == text ? ", at the end" : ", followed");
                }
            }
        }
    }
}

// The conversions use the best kernel of this CPU; the best is the last the features run.
TEST(Utf8Utf16, BestKernelIsTheLastTheCpuRuns) {
    EXPECT_EQ(g_kernel, &BestKernel(DetectCpuFeatures()));
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

// Runs of each kind of character that the kernels take in blocks of their own.
struct TextRun {
    const char* name;
    std::wstring piece;  // repeated
};

const TextRun kRuns[] = {
    {"ASCII", L"a"},
    {"two-byte", L"\x0416"},
    {"three-byte", L"\x4E2D"},
    {"pairs", L"\xD83D\xDE00"},
    {"mixed", L"a\x0416\x4E2D\xD83D\xDE00"},
};

std::wstring Repeat(const std::wstring& piece, std::size_t units) {
    std::wstring text;
    while (text.size() < units) text += piece;
    text.resize(units);
    return text;
}

// Whether the kernel converts `text` to UTF-8 as the reference does, and the length
// count agrees.
testing::AssertionResult Utf8Agrees(const unicode::Kernel& kernel, const std::wstring& text) {
    const std::string expected = ReferenceUtf16ToUtf8(text.data(), text.size());
    const std::size_t counted = Utf8LengthOfUtf16(text.data(), text.data() + text.size());
    if (counted != expected.size()) return testing::AssertionFailure() << "counted " << counted << " bytes";
    return tessera_test::SameText(Utf16ToUtf8With(kernel, text.data(), text.size()), expected);
}

// Every unit value, in order, after 0 to 32 units of ASCII: each meets every lane of the
// blocks. The surrogates among them are unpaired, but for the last high one and the first
// low one, which pair.
TEST_P(EachKernel, Utf16ToUtf8OfEveryUnitAtEveryPositionOfABlock) {
    std::wstring all;
    for (std::uint32_t unit = 0; unit <= 0xFFFF; ++unit) all.push_back(static_cast<wchar_t>(unit));
    for (std::size_t shift = 0; shift <= 32; ++shift) {
        EXPECT_TRUE(Utf8Agrees(Kernel(), std::wstring(shift, L'a') + all)) << "after " << shift << " units";
    }
}

// Runs of each kind cut after a high surrogate at every length; and elements that are no
// character, one at each position of the runs: unpaired halves, a reversed pair, a high
// half before a pair and, where elements are 32 bits, values above 0xFFFF.
TEST_P(EachKernel, Utf16ToUtf8OfRunsCutAndDamagedAtEachPosition) {
    std::vector<std::wstring> faults = {Units({0xD800}), Units({0xDFFF}), Units({0xDC00, 0xD800}),
                                        Units({0xDBFF, 0xDBFF, 0xDFFF})};
    if (sizeof(wchar_t) == 4) {
        for (std::uint32_t value : {0x10000u, 0x1F600u, 0x110000u, 0xFFFFFFFFu}) faults.push_back(Units({value}));
    }
    for (const TextRun& run : kRuns) {
        for (std::size_t length = 0; length <= 80; ++length) {
            EXPECT_TRUE(Utf8Agrees(Kernel(), Repeat(run.piece, length) + Units({0xD83D})))
                << run.name << ", cut after " << length << " units";
        }
        const std::wstring text = Repeat(run.piece, 72);
        for (const std::wstring& fault : faults) {
            for (std::size_t at = 0; at < text.size(); ++at) {
                std::wstring damaged = text;
                damaged.replace(at, fault.size(), fault);
                EXPECT_TRUE(Utf8Agrees(Kernel(), damaged)) << run.name << ", fault of " << fault.size() << " at " << at;
            }
        }
    }
}

// Output room that ends at every byte: the kernel writes nothing past it and stops after
// a whole character, its output the conversion of the input it took.
TEST_P(EachKernel, Utf16ToUtf8StopsWithinTheRoomAfterAWholeCharacter) {
    constexpr char kGuard = '\x5A';
    for (const TextRun& run : kRuns) {
        const std::wstring text = Repeat(run.piece, 150);
        for (std::size_t room = 0; room <= 200; ++room) {
            std::string buffer(room + 64, kGuard);
            const wchar_t* p = text.data();
            char* const end = Kernel().toUtf8(p, text.data() + text.size(), &buffer[0], buffer.data() + room);
            const auto written = static_cast<std::size_t>(end - buffer.data());
            ASSERT_LE(written, room) << run.name;
            EXPECT_EQ(buffer.substr(room), std::string(64, kGuard)) << run.name << ", room " << room;
            const auto taken = static_cast<std::size_t>(p - text.data());
            EXPECT_EQ(buffer.substr(0, written), ReferenceUtf16ToUtf8(text.data(), taken))
                << run.name << ", room " << room;
            if (taken != 0 && taken != text.size()) {
                EXPECT_FALSE(IsHighSurrogate(static_cast<std::uint32_t>(text[taken - 1])) &&
                             IsLowSurrogate(static_cast<std::uint32_t>(text[taken])))
                    << run.name << ", room " << room << ": stopped inside a pair";
            }
        }
    }
}

}  // namespace
}  // namespace tessera::unicode
