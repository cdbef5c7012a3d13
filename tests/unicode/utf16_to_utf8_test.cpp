// UTF-16 to UTF-8 with each kernel of the build against the reference: every unit value at
// every position of a block, surrogate pairs of every high and every low half, texts cut
// after a high surrogate at every length, unpaired surrogates at every position in runs of
// each kind, and output room that ends anywhere. A kernel the processor lacks is skipped,
// by name.
#include <gtest/gtest.h>

#include <cstdint>
#include <initializer_list>
#include <iterator>
#include <string>
#include <vector>

#include "unicode/cpu_features.h"
#include "unicode/kernel.h"
#include "unicode/utf8_utf16.h"
#include "unicode/utf8_utf16_reference.h"

namespace tessera::unicode {
namespace {

class Utf16ToUtf8Kernel : public testing::TestWithParam<std::size_t> {
protected:
    const unicode::Kernel& Kernel() const { return *kKernels[GetParam()]; }

    void SetUp() override {
        if (!RunsOn(Kernel(), DetectCpuFeatures())) GTEST_SKIP() << "this CPU lacks " << Kernel().name;
    }

    // Whether the kernel's conversion of `text` is the reference's; `what` names the case.
    testing::AssertionResult Agrees(const std::wstring& text) const {
        const std::string expected = ReferenceUtf16ToUtf8(text.data(), text.size());
        const std::string actual = Utf16ToUtf8With(Kernel(), text.data(), text.size());
        if (actual == expected) return testing::AssertionSuccess();
        std::size_t first = 0;
        while (first < actual.size() && first < expected.size() && actual[first] == expected[first]) ++first;
        return testing::AssertionFailure() << "output differs from byte " << first << " of " << expected.size();
    }
};

INSTANTIATE_TEST_SUITE_P(Utf16ToUtf8, Utf16ToUtf8Kernel, testing::Range<std::size_t>(0, std::size(kKernels)),
                         [](const testing::TestParamInfo<std::size_t>& info) {
                             return std::string(kKernels[info.param]->name);
                         });

std::wstring Units(std::initializer_list<std::uint32_t> units) {
    std::wstring text;
    for (std::uint32_t unit : units) text.push_back(static_cast<wchar_t>(unit));
    return text;
}

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

// Every unit value, in order, after 0 to 32 units of ASCII: each meets every lane of the
// blocks. The surrogates among them are unpaired, but for the last high one and the first
// low one, which pair.
TEST_P(Utf16ToUtf8Kernel, EveryUnitAtEveryPositionOfABlock) {
    std::wstring all;
    for (std::uint32_t unit = 0; unit <= 0xFFFF; ++unit) all.push_back(static_cast<wchar_t>(unit));
    for (std::size_t shift = 0; shift <= 32; ++shift) {
        EXPECT_TRUE(Agrees(std::wstring(shift, L'a') + all)) << "after " << shift << " units";
    }
}

// Every high half with a few low halves, and every low half with a few high ones, the
// pairs between characters of each length, at every position of a block.
TEST_P(Utf16ToUtf8Kernel, PairsOfEveryHalf) {
    const std::uint32_t someLows[] = {0xDC00, 0xDC01, 0xDD55, 0xDE00, 0xDFFE, 0xDFFF};
    const std::uint32_t someHighs[] = {0xD800, 0xD801, 0xD83D, 0xDA00, 0xDBFF};
    const std::wstring between[] = {L"", L"a", L"\x0416", L"\x4E2D"};
    std::wstring pairs;
    std::size_t next = 0;
    for (std::uint32_t high = 0xD800; high <= 0xDBFF; ++high) {
        for (std::uint32_t low : someLows) pairs += Units({high, low}) + between[next++ % std::size(between)];
    }
    for (std::uint32_t low = 0xDC00; low <= 0xDFFF; ++low) {
        for (std::uint32_t high : someHighs) pairs += Units({high, low}) + between[next++ % std::size(between)];
    }
    for (std::size_t shift = 0; shift <= 32; ++shift) {
        EXPECT_TRUE(Agrees(std::wstring(shift, L'a') + pairs)) << "after " << shift << " units";
    }
}

// A text that ends in a high surrogate, at every length, after runs of each kind.
TEST_P(Utf16ToUtf8Kernel, TextsCutAfterAHighSurrogate) {
    for (const TextRun& run : kRuns) {
        for (std::size_t length = 0; length <= 80; ++length) {
            EXPECT_TRUE(Agrees(Repeat(run.piece, length) + Units({0xD83D}))) << run.name << ", " << length << " units";
        }
    }
}

// Elements that are no character, one at each position of runs of each kind: unpaired
// halves, a reversed pair, a high half before a pair and, where elements are 32 bits,
// values above 0xFFFF.
TEST_P(Utf16ToUtf8Kernel, ElementsThatAreNoCharacterAtEveryPosition) {
    std::vector<std::wstring> faults = {Units({0xD800}), Units({0xDFFF}), Units({0xDC00, 0xD800}),
                                        Units({0xDBFF, 0xDBFF, 0xDFFF})};
    if (sizeof(wchar_t) == 4) {
        for (std::uint32_t value : {0x10000u, 0x1F600u, 0x110000u, 0xFFFFFFFFu}) faults.push_back(Units({value}));
    }
    for (const TextRun& run : kRuns) {
        const std::wstring text = Repeat(run.piece, 72);
        for (const std::wstring& fault : faults) {
            for (std::size_t at = 0; at < text.size(); ++at) {
                std::wstring damaged = text;
                damaged.replace(at, fault.size(), fault);
                EXPECT_TRUE(Agrees(damaged)) << run.name << ", fault of " << fault.size() << " at " << at;
            }
        }
    }
}

// Output room that ends at every byte: the kernel writes nothing past it and stops after
// a whole character, its output the conversion of the input it took.
TEST_P(Utf16ToUtf8Kernel, StopsWithinTheRoomAfterAWholeCharacter) {
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
