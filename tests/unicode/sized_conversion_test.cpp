// The driver around the kernels: results that outgrow the estimate of their length or
// fall short of it, chunk boundaries, and what a conversion takes from the heap (the
// result at most a tenth above its length; 10 MB converted with a peak of the result and
// at most a chunk more). The test program counts its heap (heap_count.h).
#include "unicode/sized_conversion.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <string>
#include <vector>

#include "heap_count.h"
#include "test_data.h"
#include "unicode/cpu_features.h"
#include "unicode/kernel.h"
#include "unicode/utf8_utf16.h"
#include "unicode/utf8_utf16_reference.h"

namespace tessera::unicode {
namespace {

std::vector<const Kernel*> RunnableKernels() {
    std::vector<const Kernel*> kernels;
    for (const Kernel* kernel : kKernels) {
        if (RunsOn(*kernel, DetectCpuFeatures())) kernels.push_back(kernel);
    }
    return kernels;
}

// Both directions with every kernel, against the reference, and snug.
void ExpectBothWays(const std::wstring& utf16) {
    const std::string utf8 = ReferenceUtf16ToUtf8(utf16.data(), utf16.size());
    for (const Kernel* kernel : RunnableKernels()) {
        SCOPED_TRACE(kernel->name);
        const std::string narrow = Utf16ToUtf8With(*kernel, utf16.data(), utf16.size());
        EXPECT_TRUE(narrow == utf8) << "length " << utf16.size();
        tessera_test::ExpectSnug(narrow);
        const std::wstring wide = Utf8ToUtf16With(*kernel, utf8.data(), utf8.size());
        EXPECT_TRUE(wide == utf16) << "length " << utf8.size();
        tessera_test::ExpectSnug(wide);
    }
}

// `size` units of two-unit pieces: `inside` around the places where the estimate of the
// length of a text that follows a full chunk looks, `outside` elsewhere.
std::wstring AroundTheSample(std::size_t size, const wchar_t (&inside)[3], const wchar_t (&outside)[3]) {
    std::wstring text;
    const std::size_t stride = size / kSampleWindows;
    while (text.size() < size) text += (text.size() + 128) % stride < kSampleWindow + 256 ? inside : outside;
    return text;
}

TEST(SizedConversion, ResultsOutgrowOrFallShortOfTheirEstimate) {
    // After a first chunk of ASCII, the rest is sampled where it is lighter or heavier
    // than elsewhere: the result grows once or is trimmed.
    const std::wstring ascii(kChunkBytes, L'a');
    for (const std::wstring& rest :
         {AroundTheSample(60000, L"ab", L"\x4E2D\x6587"), AroundTheSample(60000, L"\x4E2D\x6587", L"ab"),
          AroundTheSample(60000, L"\x0416\x0436", L"\xD83D\xDE00"), AroundTheSample(60000, L"\xD83D\xDE00", L"ab")}) {
        ExpectBothWays(ascii + rest);
    }
}

TEST(SizedConversion, ChunksEndAtEveryOffsetOfACharacter) {
    // The text of a whole chunk ends at each byte of a three- or four-byte character, in
    // one direction or the other.
    for (std::size_t ascii = kChunkBytes / sizeof(wchar_t) - 80; ascii < kChunkBytes / sizeof(wchar_t) + 8; ++ascii) {
        ExpectBothWays(std::wstring(ascii, L'x') + L"\x20AC\x0416\xFFFF" + std::wstring(200, L'y'));
    }
    for (std::size_t ascii = kChunkBytes - 80; ascii < kChunkBytes + 8; ++ascii) {
        ExpectBothWays(std::wstring(ascii, L'x') + L"\x20AC\xD83D\xDE00\x0416" + std::wstring(200, L'y'));
    }
}

// ASCII, Cyrillic, CJK, emoji and all of them mixed, repeated.
TEST(SizedConversion, ResultsAreAtMostATenthAboveTheirLength) {
    for (const wchar_t* piece :
         {L"abc ", L"\x0416\x0436 ", L"\x4E2D\x6587", L"\xD83D\xDE00", L"a\x0416\x4E2D\xD83D\xDE00 "}) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(piece)));
        for (std::size_t repeats : {1, 4, 100, 1000, 5000, 40000}) {
            std::wstring text;
            for (std::size_t i = 0; i < repeats; ++i) text += piece;
            ExpectBothWays(text);
        }
    }
}

// Either way the heap holds, at its peak, the result and at most a chunk more.
TEST(SizedConversion, TenMegabytesPeakAtTheResultAndAChunk) {
    const std::string piece = tessera_test::ReadDataFile("text/Russian-Lipsum.utf8.txt");
    ASSERT_FALSE(piece.empty());
    std::string utf8;
    while (utf8.size() < 10000000) utf8 += piece;
    const std::wstring utf16 = Utf8ToUtf16(utf8.data(), utf8.size());
    const auto expectPeak = [](const auto& convert, const auto& expected) {
        std::size_t resultBytes = 0;
        const std::size_t peak = tessera_test::HeapPeakOf([&] {
            const auto result = convert();
            EXPECT_TRUE(result == expected);
            resultBytes = result.capacity() * sizeof result[0];
        });
        EXPECT_LE(peak, resultBytes + kChunkBytes);
    };
    expectPeak([&] { return Utf16ToUtf8(utf16.data(), utf16.size()); }, utf8);
    expectPeak([&] { return Utf8ToUtf16(utf8.data(), utf8.size()); }, utf16);
}

}  // namespace
}  // namespace tessera::unicode
