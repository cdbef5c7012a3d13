// Allocation failure in every conversion of Varn::Transcoder, through UTF-8, UTF-16 and
// each kind of code page (single-byte, double-byte, served by a stream converter), with
// valid text and with text that needs substitutes. A failed conversion leaves nothing
// behind: no leak, and no cached converter or table that would give a later conversion
// another result than a conversion made without failures.
#include <gtest/gtest.h>

#include <string>

#include <tessera/Transcoder.h>

#include "allocation_sweep.h"

namespace tessera_test {
namespace {

using Varn::Transcoder;

/// A conversion has no objects of its own: only its result is compared.
struct NoObjects {};

Fields NoFields(const NoObjects&) { return {}; }

/// UTF-16 units as text, for comparing results.
std::string Units(const std::wstring& text) {
    std::string units;
    for (wchar_t unit : text) units += std::to_string(static_cast<unsigned>(unit)) + ' ';
    return units;
}

enum class Direction { kToEncoding, kFromEncoding };

struct ConversionCase {
    const char* name;
    const char* encoding;
    Direction direction;
    std::string text;  // UTF-8 for kToEncoding (also converted from UTF-16), bytes of encoding for kFromEncoding
};

// Long enough that every result leaves the small-string buffer.
const std::string kMixed =
    "plain ASCII text, caf\xC3\xA9 na\xC3\xAFve \xE4\xB8\xAD\xE6\x96\x87 \xE3\x81\x82\xE3\x81\x84 \xF0\x9F\x98\x80 end";
const std::string kInvalid = "bad \xFF\xFE bytes \xC3 cut \xED\xA0\x80 surrogate \xE4\xB8 and more text after it";

const ConversionCase kCases[] = {
    {"utf-8 valid", "utf-8", Direction::kToEncoding, kMixed},
    {"utf-8 invalid", "utf-8", Direction::kToEncoding, kInvalid},
    {"single-byte to", "windows-1252", Direction::kToEncoding, kMixed},
    {"single-byte from", "windows-1252", Direction::kFromEncoding, "caf\xE9 \x80 \x81 \xFF and some more plain text"},
    {"double-byte to", "shift_jis", Direction::kToEncoding, kMixed},
    {"double-byte from", "shift_jis", Direction::kFromEncoding,
     "\x82\xA0\x82\xA2 \x93\xFA\x96\x7B \x81 \xFF\xFC tail text"},
    {"stream to", "iso-2022-jp", Direction::kToEncoding, kMixed},
    {"stream from", "iso-2022-jp", Direction::kFromEncoding, "a \x1B$B$\"$$\x1B(B b \x1B$B\x7F\x7F\x1B(B c more text"},
    {"euc-jp to", "euc-jp", Direction::kToEncoding, kInvalid},
    {"mixed EBCDIC to", "x-EBCDIC-JapaneseAndKana", Direction::kToEncoding, kMixed},
    {"utf-7 from", "utf-7", Direction::kFromEncoding, "a+ZeVnLIqe- b +2D3eAA- c +AGEAYgBj- more plain text"},
};

std::string Convert(const ConversionCase& c) {
    if (c.direction == Direction::kFromEncoding) {
        return Units(Transcoder::EncodingToUTF16(c.text, c.encoding)) + "| " +
               Transcoder::EncodingToUTF8(c.text, c.encoding);
    }
    const std::wstring utf16 = Transcoder::UTF8ToUTF16(c.text);
    return Transcoder::UTF16ToEncoding(utf16, c.encoding) + "| " + Transcoder::UTF8ToEncoding(c.text, c.encoding);
}

TEST(TranscoderAllocation, CodePageFailuresLeaveNoTrace) {
    for (const ConversionCase& c : kCases) {
        SCOPED_TRACE(c.name);
        if (Transcoder::EncodingToUTF16("A", c.encoding).empty()) continue;  // no such code page here
        const SweepReport report = SweepAllocationFailures(SweepCase<NoObjects>{
            [] { return NoObjects{}; }, [&c](NoObjects&) { return Convert(c); }, NoFields, Keep::kWhole});
        EXPECT_GT(report.failurePoints, 0u) << "the conversion allocates nothing";
        for (const std::string& problem : report.problems) ADD_FAILURE() << problem;
    }
}

// The UTF-8 <-> UTF-16 pair, the platform names and the registry's look-ups.
TEST(TranscoderAllocation, UnicodeFormsAndNames) {
    const struct {
        const char* name;
        std::string (*run)();
    } cases[] = {
        {"UTF16ToUTF8", [] { return Transcoder::UTF16ToUTF8(L"wide text with \u00E9 and \u4E2D and more"); }},
        {"asUTF8", [] { return Transcoder::asUTF8(std::wstring(L"lone \xD800 surrogate and \xDC00 another")); }},
        {"UTF8ToUTF16", [] { return Units(Transcoder::UTF8ToUTF16(kMixed)); }},
        {"asUTF16", [] { return Units(Transcoder::asUTF16(kInvalid)); }},
        {"asFilesystemString", [] { return Transcoder::asFilesystemString(L"a file name with \u00E9 in it"); }},
        {"filesytemToUTF16", [] { return Units(Transcoder::filesytemToUTF16(kMixed)); }},
        {"PlatformEncoding", [] { return Transcoder::PlatformEncoding() + Transcoder::DefaultChannelEncoding(); }},
        {"IsValidEncoding",
         [] {
             return std::to_string(Transcoder::IsValidEncoding("x-windows-949")) +
                    std::to_string(Transcoder::IsValidEncoding("no-such-encoding-at-all"));
         }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const SweepReport report = SweepAllocationFailures(SweepCase<NoObjects>{
            [] { return NoObjects{}; }, [&c](NoObjects&) { return c.run(); }, NoFields, Keep::kWhole});
        for (const std::string& problem : report.problems) ADD_FAILURE() << problem;
    }
}

}  // namespace
}  // namespace tessera_test
