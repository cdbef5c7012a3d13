// Stream code pages (POSIX), judged by the plain way of converting them: the whole text
// handed to iconv at once, and at each stop the replacement written (after a return to
// the initial shift state, when writing) before going on. Texts mix what the pages hold,
// what they lack, shift sequences and invalid input, and run through one converter one
// after another, so that what it learns from one text meets the next.
#ifndef _WIN32

#include "platform/posix/stream_code_page.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "platform/posix/codepage_data.h"
#include "platform/posix/iconv_descriptor.h"
#include "unicode/utf8_utf16_reference.h"
#include "unicode_text.h"

namespace {

using tessera::platform::posix::CodePageCharset;
using tessera::platform::posix::CodePageForm;
using tessera::platform::posix::IconvDescriptor;
using tessera::platform::posix::StreamCodePage;
using tessera_test::SameText;

constexpr std::size_t kStop = static_cast<std::size_t>(-1);

// One iconv call over all that is left, the output growing as needed; returns iconv's result.
std::size_t ConvertRest(IconvDescriptor& cd, const char*& in, std::size_t& inLeft, std::string& out) {
    for (;;) {
        char buffer[4096];
        char* inPtr = const_cast<char*>(in);
        char* outPtr = buffer;
        std::size_t outLeft = sizeof buffer;
        const std::size_t r = in ? cd.Convert(&inPtr, &inLeft, &outPtr, &outLeft) : cd.Flush(&outPtr, &outLeft);
        out.append(buffer, static_cast<std::size_t>(outPtr - buffer));
        if (in) in = inPtr;
        if (r != kStop || errno != E2BIG) return r;
    }
}

void AppendUnit(std::string& out, char16_t unit) {
    out += {static_cast<char>(unit & 0xFF), static_cast<char>(unit >> 8)};
}

std::wstring ReferenceDecode(IconvDescriptor& decoder, const CodePageCharset& charset, const std::string& text) {
    decoder.Reset();
    std::string out;  // UTF-16LE
    const char* in = text.data();
    std::size_t inLeft = text.size();
    while (inLeft > 0 && ConvertRest(decoder, in, inLeft, out) == kStop) {
        if (errno == EINVAL) {
            AppendUnit(out, charset.defaultUnicode);
            break;
        }
        const auto* at = reinterpret_cast<const unsigned char*>(in);
        std::size_t skip = 1;
        if (at[0] == 0) {
            AppendUnit(out, u'\0');
        } else {
            const auto correction = tessera::platform::posix::FindDecodeCorrection(charset.codePage, at, inLeft);
            AppendUnit(out, correction.length > 0 ? correction.unit : charset.defaultUnicode);
            skip = std::max<std::size_t>(1, correction.length);
        }
        in += skip;
        inLeft -= skip;
    }
    const char* none = nullptr;
    std::size_t zero = 0;
    ConvertRest(decoder, none, zero, out);
    std::wstring units;
    for (std::size_t i = 0; i + 1 < out.size(); i += 2) {
        units += static_cast<wchar_t>(static_cast<unsigned char>(out[i]) | static_cast<unsigned char>(out[i + 1]) << 8);
    }
    return units;
}

std::string ReferenceEncode(IconvDescriptor& encoder, const CodePageCharset& charset, const std::wstring& text) {
    encoder.Reset();
    std::string source;
    for (const wchar_t unit : text) AppendUnit(source, static_cast<char16_t>(unit & 0xFFFF));
    std::string out;
    const char* in = source.data();
    std::size_t inLeft = source.size();
    const char* none = nullptr;
    std::size_t zero = 0;
    while (inLeft > 0 && ConvertRest(encoder, in, inLeft, out) == kStop) {
        const auto at = static_cast<std::size_t>(in - source.data()) / 2;
        const auto character = tessera::unicode::ReadUtf16Sequence(text.data() + at, text.data() + text.size());
        const char* replacement = nullptr;
        for (const auto& row : tessera::platform::posix::EncodeOverridesFor(charset.codePage)) {
            if (row.codePoint == character.codePoint) replacement = row.bytes;
        }
        ConvertRest(encoder, none, zero, out);
        if (replacement != nullptr) {
            out += replacement;
        } else {
            for (std::size_t i = 0; i < character.length; ++i) out += charset.defaultBytes;
        }
        in += 2 * character.length;
        inLeft -= 2 * character.length;
    }
    ConvertRest(encoder, none, zero, out);
    return out;
}

// Characters the pages hold, lack or treat specially: ASCII with the shift and escape
// bytes, '+' and '-' of UTF-7, Latin-1, Cyrillic, kana, kanji, hangul, half-width
// katakana, private use, Devanagari (in none of them), U+FFFD, an emoji's surrogate pair,
// and lone surrogates.
const std::vector<std::wstring> kPalette = {
    L"a",      L"Z",      L"0",      L" ",      L"\n",           L"+",      L"-",      L"~",      L"\\",     L"{",
    L"\x1B",   L"\x0E",   L"\x0F",   {L'\0'},   L"\x00E9",       L"\x0416", L"\x3042", L"\x65E5", L"\x672C", L"\xD55C",
    L"\xAC00", L"\x4E2D", L"\xFF71", L"\xE000", L"\x0915",       L"\x093F", L"\xFFFD", L"\x20AC", L"\x2460", L"\x9DD7",
    L"\x00A5", L"\x203E", L"\x301C", L"\xFF5E", L"\xD83D\xDE00", L"\xD800", L"\xDC00",
};

// Every UTF-16 unit, in blocks of 256; then random texts of the palette's characters.
std::vector<std::wstring> TextsToWrite() {
    std::vector<std::wstring> texts;
    for (unsigned block = 0; block < 0x10000; block += 0x100) {
        std::wstring units;
        for (unsigned unit = block; unit < block + 0x100; ++unit) units += static_cast<wchar_t>(unit);
        texts.push_back(units);
    }
    // After a replacement, ASCII running across the boundary of the 4096 units written at
    // a time, then characters the encoder writes after it.
    for (const wchar_t* after : {L"\x0915"
                                 L"bcdef\xD55C",
                                 L"\x0915"
                                 L"bcdef\x3042",
                                 L"\xFFFD"
                                 L"bcdef\x00E9\x0416"}) {
        texts.push_back(std::wstring(4093, L'a') + after);
    }
    std::mt19937 generator(15);
    for (int i = 0; i < 400; ++i) {
        std::wstring text;
        const std::size_t length = generator() % 40;
        // Runs of one palette entry now and then, as real text repeats itself.
        for (std::size_t j = 0; j < length; ++j) {
            const std::wstring& piece = kPalette[generator() % kPalette.size()];
            for (unsigned repeat = generator() % 4 == 0 ? generator() % 5 : 1; repeat > 0; --repeat) text += piece;
        }
        texts.push_back(text);
    }
    return texts;
}

// Bytes that start, shift or end sequences in the stream pages, and any byte.
std::vector<std::string> TextsToRead(const std::vector<std::string>& written) {
    // NUL bytes come among the random bytes and in what the pages wrote.
    const char* const palette[] = {"a",      "A",      "+",      "-",      "~",       "{",      "}",
                                   "\x1B$B", "\x1B(B", "\x1B(J", "\x1B(I", "\x1B$)C", "\x1B$A", "\x0E",
                                   "\x0F",   "\n",     "$",      "B",      "AGE",     "2D3e",   "\x8E\xB1",
                                   "\x8F",   "\xA1",   "\xFE",   "\x81",   "0",       "9",      "\x30\x21"};
    std::vector<std::string> texts;
    std::mt19937 generator(18);
    for (int i = 0; i < 400; ++i) {
        std::string text;
        const std::size_t length = generator() % 40;
        for (std::size_t j = 0; j < length; ++j) {
            text += generator() % 3 == 0 ? std::string(1, static_cast<char>(generator() & 0xFF))
                                         : palette[generator() % std::size(palette)];
        }
        texts.push_back(text);
    }
    // What the page writes, as it is and with a few bytes changed.
    for (const std::string& text : written) {
        texts.push_back(text);
        std::string damaged = text;
        for (int k = 0; k < 3 && !damaged.empty(); ++k) damaged[generator() % damaged.size()] ^= 0x80;
        texts.push_back(damaged);
    }
    return texts;
}

TEST(StreamCodePage, WritesAndReadsAsIconvGivenTheWholeText) {
    const std::vector<std::wstring> toWrite = TextsToWrite();
    for (const CodePageCharset& charset : tessera::platform::posix::AllCodePageCharsets()) {
        if (charset.form != CodePageForm::kStream || charset.charset == nullptr) continue;
        SCOPED_TRACE("code page " + std::to_string(charset.codePage));
        StreamCodePage page(charset);
        IconvDescriptor encoder(charset.encodeCharset ? charset.encodeCharset : charset.charset,
                                tessera::platform::posix::kIconvUtf16);
        IconvDescriptor decoder(tessera::platform::posix::kIconvUtf16, charset.charset);
        ASSERT_TRUE(page.canEncode() && page.canDecode() && encoder.valid() && decoder.valid());
        std::vector<std::string> written;
        for (const std::wstring& text : toWrite) {
            written.push_back(ReferenceEncode(encoder, charset, text));
            EXPECT_TRUE(SameText(page.Encode(text.data(), text.size()), written.back()))
                << "writing " << testing::PrintToString(text.substr(0, 100));
        }
        for (const std::string& text : TextsToRead(written)) {
            EXPECT_TRUE(SameText(page.Decode(text.data(), text.size()), ReferenceDecode(decoder, charset, text)))
                << "reading " << testing::PrintToString(text.substr(0, 200));
        }
    }
}

}  // namespace

#endif  // _WIN32
