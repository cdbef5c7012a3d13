// What the results of Varn::Transcoder hold on to: no result's capacity is more than a
// tenth above its length, for real text of every script both ways between UTF-8 and
// UTF-16, and for code pages of each kind (one byte, two bytes, a stream page) in all four
// directions, on slices from a few words to long enough to need an estimate of the length;
// and converting 10 MB through a code page takes from the heap, at its peak, less than
// twice input and output together. The test program counts its heap (heap_count.h).
#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <functional>
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

// At most a tenth above the length, or the string's own room where the text is shorter.
template <typename Text>
void ExpectSnug(const Text& text, const char* what) {
    EXPECT_LE(text.capacity(), std::max(text.size() + text.size() / 10, Text().capacity()))
        << what << ", length " << text.size();
}

TEST(ResultMemory, UnicodeTextsBothWays) {
    const char* const kTexts[] = {
        "Arabic-Lipsum", "Chinese-Lipsum", "Emoji-Lipsum", "Hebrew-Lipsum", "Hindi-Lipsum", "Japanese-Lipsum",
        "Korean-Lipsum", "Latin-Lipsum",   "mars-english", "mars-russian",  "mars-chinese",
    };
    for (const char* name : kTexts) {
        SCOPED_TRACE(name);
        const std::string text = tessera_test::ReadDataFile(std::string("text/") + name + ".utf8.txt");
        ASSERT_FALSE(text.empty());
        for (const std::size_t bytes : {kTinyBytes, kShortBytes, kLongBytes}) {
            const std::string utf8 = SliceOf(text, bytes);
            const std::wstring utf16 = Transcoder::UTF8ToUTF16(utf8);
            ExpectSnug(utf16, "UTF-8 to UTF-16");
            ExpectSnug(Transcoder::UTF16ToUTF8(utf16), "UTF-16 to UTF-8");
        }
    }
}

TEST(ResultMemory, CodePagesAllFourWays) {
    struct Case {
        const char* text;
        const char* encoding;
    };
    const Case cases[] = {
        {"mars-french", "windows-1252"},     {"Russian-Lipsum", "windows-1252"},  // mostly replaced
        {"Japanese-Lipsum", "shift_jis"},    {"mars-japanese", "shift_jis"},     {"mars-chinese", "gb2312"},
        {"Korean-Lipsum", "ks_c_5601-1987"}, {"mars-japanese", "iso-2022-jp"},   {"mars-french", "utf-7"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.text) + " in " + c.encoding);
        if (!tessera::platform::IsCodePageAvailable(tessera::encoding::EncodingToCodePage(c.encoding))) continue;
        const std::string text = tessera_test::ReadDataFile(std::string("text/") + c.text + ".utf8.txt");
        ASSERT_FALSE(text.empty());
        for (const std::size_t bytes : {kTinyBytes, kShortBytes, kLongBytes}) {
            const std::string utf8 = SliceOf(text, bytes);
            const std::string encoded = Transcoder::UTF8ToEncoding(utf8, c.encoding);
            ExpectSnug(encoded, "from UTF-8");
            ExpectSnug(Transcoder::EncodingToUTF8(encoded, c.encoding), "to UTF-8");
            const std::wstring utf16 = Transcoder::UTF8ToUTF16(utf8);
            ExpectSnug(Transcoder::UTF16ToEncoding(utf16, c.encoding), "from UTF-16");
            ExpectSnug(Transcoder::EncodingToUTF16(encoded, c.encoding), "to UTF-16");
        }
    }
}

// Bytes that a text holds.
template <typename Text>
std::size_t BytesOf(const Text& text) {
    return text.size() * sizeof text[0];
}

// The peak of the heap over `convert` (given `input`, returning its result), against
// twice input and output.
template <typename Input, typename Result>
void ExpectPeakBelowTwiceInputAndOutput(const Input& input, const std::function<Result(const Input&)>& convert,
                                        const char* what) {
    std::size_t outputBytes = 0;
    const std::size_t peak = tessera_test::HeapPeakOf([&] { outputBytes = BytesOf(convert(input)); });
    EXPECT_LT(BytesOf(input) + peak, 2 * (BytesOf(input) + outputBytes))
        << what << ": " << BytesOf(input) << " bytes in, " << outputBytes << " out, peak " << peak;
}

TEST(ResultMemory, TenMegabytesThroughACodePagePeakBelowTwiceInputAndOutput) {
#ifdef _WIN32
    GTEST_SKIP() << "Windows converts code pages through UTF-16 into a buffer of the system's own";
#else
    constexpr std::size_t kTenMegabytes = 10000000;
    struct Case {
        const char* text;
        const char* encoding;
    };
    const Case cases[] = {
        {"mars-french", "windows-1252"},
        {"Japanese-Lipsum", "shift_jis"},
        {"mars-japanese", "iso-2022-jp"},
        {"mars-french", "utf-7"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.text) + " in " + c.encoding);
        const std::string encoding = c.encoding;
        const std::string utf8 =
            SliceOf(tessera_test::ReadDataFile(std::string("text/") + c.text + ".utf8.txt"), kTenMegabytes);
        const std::string encoded = Transcoder::UTF8ToEncoding(utf8, encoding);
        const std::wstring utf16 = Transcoder::UTF8ToUTF16(utf8);
        using Narrow = std::function<std::string(const std::string&)>;
        ExpectPeakBelowTwiceInputAndOutput<std::string, std::string>(
            utf8, Narrow([&](const std::string& text) { return Transcoder::UTF8ToEncoding(text, encoding); }),
            "from UTF-8");
        ExpectPeakBelowTwiceInputAndOutput<std::string, std::string>(
            encoded, Narrow([&](const std::string& text) { return Transcoder::EncodingToUTF8(text, encoding); }),
            "to UTF-8");
        ExpectPeakBelowTwiceInputAndOutput<std::wstring, std::string>(
            utf16, [&](const std::wstring& text) { return Transcoder::UTF16ToEncoding(text, encoding); },
            "from UTF-16");
        ExpectPeakBelowTwiceInputAndOutput<std::string, std::wstring>(
            encoded, [&](const std::string& text) { return Transcoder::EncodingToUTF16(text, encoding); }, "to UTF-16");
    }
#endif
}

}  // namespace
