// What the code-page results of Varn::Transcoder hold on to: no result's capacity is more
// than a tenth above its length, for code pages of each kind (one byte, two bytes, a
// stream page) in all four directions, on slices from a few words to long enough to need
// an estimate of the length; and converting 10 MB through a code page takes from the
// heap, at its peak, less than twice input and output together. (UTF-8 <-> UTF-16 results
// are checked where they are made, in tests/unicode/sized_conversion_test.cpp.) The test
// program counts its heap (heap_count.h).
#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <string>

#include <tessera/Transcoder.h>

#include "encoding/encoding_registry.h"
#include "heap_count.h"
#include "platform/codepage.h"
#include "test_data.h"

namespace {

using Varn::Transcoder;

// Bytes of slices (about): a few words, a paragraph, and beyond the 16 KB a conversion
// writes in one piece, so that the result is reserved from an estimate.
constexpr std::size_t kTinyBytes = 24;
constexpr std::size_t kShortBytes = 1000;
constexpr std::size_t kLongBytes = 300000;

// The text cut or repeated to about `bytes`, ending on a whole UTF-8 character.
std::string SliceOf(const std::string& text, std::size_t bytes) {
    std::string slice;
    while (slice.size() < bytes) slice += text;
    std::size_t end = bytes;
    while (end > 0 && (static_cast<unsigned char>(slice[end]) & 0xC0) == 0x80) --end;
    slice.resize(end);
    return slice;
}

struct Case {
    const char* text;  // below text/ in the data folder, without ".utf8.txt"
    const char* encoding;
    bool tenMegabytes;  // also converted 10 MB at a time
};

const Case kCases[] = {
    {"mars-french", "windows-1252", true},  {"Russian-Lipsum", "windows-1252", false},  // mostly replaced
    {"Japanese-Lipsum", "shift_jis", true}, {"mars-japanese", "shift_jis", false},
    {"mars-chinese", "gb2312", false},      {"Korean-Lipsum", "ks_c_5601-1987", false},
    {"mars-japanese", "iso-2022-jp", true}, {"mars-french", "utf-7", true},
};

TEST(ResultMemory, CodePagesAllFourWays) {
    for (const Case& c : kCases) {
        SCOPED_TRACE(std::string(c.text) + " in " + c.encoding);
        if (!tessera::platform::IsCodePageAvailable(tessera::encoding::EncodingToCodePage(c.encoding))) continue;
        const std::string text = tessera_test::ReadDataFile(std::string("text/") + c.text + ".utf8.txt");
        ASSERT_FALSE(text.empty());
        for (const std::size_t bytes : {kTinyBytes, kShortBytes, kLongBytes}) {
            const std::string utf8 = SliceOf(text, bytes);
            const std::string encoded = Transcoder::UTF8ToEncoding(utf8, c.encoding);
            tessera_test::ExpectSnug(encoded);
            tessera_test::ExpectSnug(Transcoder::EncodingToUTF8(encoded, c.encoding));
            const std::wstring utf16 = Transcoder::UTF8ToUTF16(utf8);
            tessera_test::ExpectSnug(Transcoder::UTF16ToEncoding(utf16, c.encoding));
            tessera_test::ExpectSnug(Transcoder::EncodingToUTF16(encoded, c.encoding));
        }
    }
}

TEST(ResultMemory, TenMegabytesThroughACodePagePeakBelowTwiceInputAndOutput) {
#ifdef _WIN32
    GTEST_SKIP() << "Windows converts code pages through UTF-16 into a buffer of the system's own";
#else
    constexpr std::size_t kTenMegabytes = 10000000;
    for (const Case& c : kCases) {
        if (!c.tenMegabytes) continue;
        SCOPED_TRACE(std::string(c.text) + " in " + c.encoding);
        const std::string encoding = c.encoding;
        const std::string utf8 =
            SliceOf(tessera_test::ReadDataFile(std::string("text/") + c.text + ".utf8.txt"), kTenMegabytes);
        const std::string encoded = Transcoder::UTF8ToEncoding(utf8, encoding);
        const std::wstring utf16 = Transcoder::UTF8ToUTF16(utf8);
        // The heap's peak over one conversion of `input`, against twice input and output.
        const auto expectPeak = [](const auto& input, const auto& convert) {
            std::size_t outputBytes = 0;
            const std::size_t peak = tessera_test::HeapPeakOf([&] {
                const auto output = convert(input);
                outputBytes = output.size() * sizeof output[0];
            });
            const std::size_t inputBytes = input.size() * sizeof input[0];
            EXPECT_LT(inputBytes + peak, 2 * (inputBytes + outputBytes))
                << inputBytes << " bytes in, " << outputBytes << " out, peak " << peak;
        };
        expectPeak(utf8, [&](const std::string& text) { return Transcoder::UTF8ToEncoding(text, encoding); });
        expectPeak(encoded, [&](const std::string& text) { return Transcoder::EncodingToUTF8(text, encoding); });
        expectPeak(utf16, [&](const std::wstring& text) { return Transcoder::UTF16ToEncoding(text, encoding); });
        expectPeak(encoded, [&](const std::string& text) { return Transcoder::EncodingToUTF16(text, encoding); });
    }
#endif
}

}  // namespace
