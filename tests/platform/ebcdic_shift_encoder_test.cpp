// The mixed EBCDIC encoder, judged by the stream conversion through iconv that it stands in
// for: every BMP character between single-byte and double-byte neighbours, and the edges
// of the text (surrogates, tag characters, the shift state at its end), for each of the
// pages. Its UTF-8 route on ill-formed input is judged by the route through UTF-16, with
// every code page's (codepage_test.cpp).
#ifndef _WIN32

#include "platform/posix/ebcdic_shift_encoder.h"

#include <gtest/gtest.h>

#include <ios>
#include <map>
#include <memory>
#include <string>

#include "platform/posix/codepage_data.h"
#include "platform/posix/stream_code_page.h"
#include "unicode/utf8_utf16.h"

namespace {

using tessera::platform::posix::CodePageCharset;
using tessera::platform::posix::EbcdicShiftEncoder;
using tessera::platform::posix::FindCodePageCharset;
using tessera::platform::posix::StreamCodePage;

constexpr std::int32_t kPages[] = {50930, 50933, 50935, 50937, 50939};

// A page's encoder beside the stream conversion; built once per page (learning takes a while).
struct Pair {
    std::unique_ptr<EbcdicShiftEncoder> encoder;
    std::unique_ptr<StreamCodePage> stream;

    void ExpectSame(const std::wstring& text) const {
        ASSERT_EQ(encoder->Encode(text.data(), text.size()), stream->Encode(text.data(), text.size()));
        const std::string utf8 = tessera::unicode::Utf16ToUtf8(text.data(), text.size());
        ASSERT_EQ(encoder->EncodeUtf8(utf8.data(), utf8.size()), stream->EncodeUtf8(utf8.data(), utf8.size()));
    }
};

// Runs the test body for each page iconv can write; a page it lacks is left to the stream.
template <typename Body>
void ForEachPage(Body body) {
    static std::map<std::int32_t, Pair> g_pairs;
    for (const std::int32_t codePage : kPages) {
        SCOPED_TRACE(codePage);
        Pair& pair = g_pairs[codePage];
        if (!pair.stream) {
            const CodePageCharset& charset = *FindCodePageCharset(codePage);
            pair.encoder = EbcdicShiftEncoder::Build(charset);
            pair.stream = std::make_unique<StreamCodePage>(charset);
        }
        ASSERT_EQ(pair.encoder != nullptr, pair.stream->canEncode());
        if (pair.encoder) body(static_cast<const Pair&>(pair));
    }
}

// Each block of 16 starts the text with its first character and ends it with its last.
TEST(EbcdicShiftEncoder, EveryBmpCharacterBetweenNeighbours) {
    ForEachPage([](const Pair& pair) {
        for (wchar_t first = 0; first < 0x10000; first += 16) {
            std::wstring block;
            for (wchar_t unit = first; unit < first + 16; ++unit) {
                // After a single byte, after a pair, and twice running.
                block += {unit, L'A', unit, L'\x3000', unit, unit};
            }
            SCOPED_TRACE(testing::Message() << "16 characters from U+" << std::hex << first);
            pair.ExpectSame(block);
        }
    });
}

TEST(EbcdicShiftEncoder, EdgesOfTheText) {
    struct Case {
        const char* name;
        std::wstring text;
    };
    const Case cases[] = {
        {"ends in the double-byte state", L"A\x3000"},
        {"a lacking character after a pair", L"\x3000\x0915\x3000"},
        {"tag characters write nothing, in either state", L"\xDB40\xDC01\x0041\x3000\xDB40\xDC7F\x3000"},
        {"a character beyond the BMP after a pair", L"\x3000\xD83D\xDE00\x0041"},
        {"characters beyond the BMP after a single byte, and running", L"A\xD800\xDC00\xDB40\xDC00A"},
        {"lone surrogates", L"\xDC00\x3000\xD800\x0041\xD800"},
        {"units above 0xFFFF are read as their low 16 bits", L"\x13000\x10041\x3000"},
    };
    ForEachPage([&](const Pair& pair) {
        for (const Case& c : cases) {
            SCOPED_TRACE(c.name);
            pair.ExpectSame(c.text);
        }
    });
}

TEST(EbcdicShiftEncoder, NoTableWithoutTheCharset) {
    const CodePageCharset missing = {
        50930, tessera::platform::posix::CodePageForm::kStream, "NO-SUCH-CHARSET", nullptr, "\x6F", u'?'};
    EXPECT_EQ(EbcdicShiftEncoder::Build(missing), nullptr);
}

}  // namespace

#endif  // _WIN32
