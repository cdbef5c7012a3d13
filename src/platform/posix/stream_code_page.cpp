// Streaming conversion through iconv, with the bytes and characters iconv rejects
// replaced as Windows replaces them.
#include "platform/posix/stream_code_page.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "unicode/utf8_utf16_reference.h"

namespace tessera::platform::posix {
namespace {

constexpr std::size_t kStop = static_cast<std::size_t>(-1);

// Room for at least `extra` more bytes after `used`.
void Reserve(std::string& out, std::size_t used, std::size_t extra) {
    if (out.size() - used < extra) out.resize(std::max(out.size() * 2, used + extra));
}

void AppendUnit(std::string& out, std::size_t& used, char16_t unit) {
    Reserve(out, used, 2);
    out[used++] = static_cast<char>(unit & 0xFF);
    out[used++] = static_cast<char>(unit >> 8);
}

void AppendBytes(std::string& out, std::size_t& used, const char* bytes) {
    const std::size_t n = std::strlen(bytes);
    Reserve(out, used, n);
    std::memcpy(&out[used], bytes, n);
    used += n;
}

// Calls the descriptor until it has taken all input (or stopped on bad input), growing the
// output as needed. With `in` null it writes the return to the initial shift state.
std::size_t Pump(IconvDescriptor& cd, char** in, std::size_t* inLeft, std::string& out, std::size_t& used) {
    for (;;) {
        Reserve(out, used, 16);
        char* outPtr = &out[used];
        std::size_t outLeft = out.size() - used;
        const std::size_t r = in ? cd.Convert(in, inLeft, &outPtr, &outLeft) : cd.Flush(&outPtr, &outLeft);
        used = static_cast<std::size_t>(outPtr - out.data());
        if (r != kStop || errno != E2BIG) return r;
        out.resize(out.size() * 2);
    }
}

// The character at `at`, read from the low 16 bits of each element, as iconv was given them.
unicode::Utf16Sequence CharacterAt(const wchar_t* data, std::size_t size, std::size_t at) {
    wchar_t units[2] = {};
    const std::size_t count = std::min<std::size_t>(2, size - at);
    for (std::size_t i = 0; i < count; ++i) units[i] = static_cast<wchar_t>(data[at + i] & 0xFFFF);
    return unicode::ReadUtf16Sequence(units, units + count);
}

}  // namespace

StreamCodePage::StreamCodePage(const CodePageCharset& charset)
    : m_charset(charset),
      m_decoder(kIconvUtf16, charset.charset),
      m_encoder(charset.encodeCharset ? charset.encodeCharset : charset.charset, kIconvUtf16) {}

std::size_t StreamCodePage::ReplaceInvalid(const unsigned char* in, std::size_t inLeft, std::string& out,
                                           std::size_t& used) const {
    // NUL is U+0000 in every code page (glibc's UTF-7 rejects it); rows cannot hold it.
    if (in[0] == 0) {
        AppendUnit(out, used, u'\0');
        return 1;
    }
    const DecodeCorrection correction = FindDecodeCorrection(m_charset.codePage, in, inLeft);
    if (correction.length > 0) {
        AppendUnit(out, used, correction.unit);
        return correction.length;
    }
    AppendUnit(out, used, m_charset.defaultUnicode);
    return 1;
}

std::wstring StreamCodePage::Decode(const char* data, std::size_t size) {
    if (!m_decoder.valid()) return {};
    m_decoder.Reset();
    std::string out(size * 2 + 16, '\0');  // UTF-16LE bytes
    std::size_t used = 0;
    char* in = const_cast<char*>(data);  // iconv does not write through it
    std::size_t inLeft = size;
    while (inLeft > 0 && Pump(m_decoder, &in, &inLeft, out, used) == kStop) {
        if (errno == EINVAL) {  // an incomplete sequence ends the input
            AppendUnit(out, used, m_charset.defaultUnicode);
            break;
        }
        const std::size_t skip = ReplaceInvalid(reinterpret_cast<unsigned char*>(in), inLeft, out, used);
        in += skip;
        inLeft -= skip;
    }
    Pump(m_decoder, nullptr, nullptr, out, used);

    std::wstring result(used / 2, L'\0');
    for (std::size_t i = 0; i < result.size(); ++i) {
        result[i] = static_cast<wchar_t>(static_cast<unsigned char>(out[2 * i]) |
                                         static_cast<unsigned char>(out[2 * i + 1]) << 8);
    }
    return result;
}

std::string StreamCodePage::Encode(const wchar_t* data, std::size_t size) {
    if (!m_encoder.valid()) return {};
    m_encoder.Reset();
    std::string source(size * 2, '\0');  // UTF-16LE bytes
    for (std::size_t i = 0; i < size; ++i) {
        source[2 * i] = static_cast<char>(data[i] & 0xFF);
        source[2 * i + 1] = static_cast<char>((data[i] >> 8) & 0xFF);
    }
    std::string out(size * 2 + 16, '\0');
    std::size_t used = 0;
    char* in = source.data();
    std::size_t inLeft = source.size();
    while (inLeft > 0 && Pump(m_encoder, &in, &inLeft, out, used) == kStop) {
        // iconv stopped at a character it cannot write (or an unpaired surrogate).
        const std::size_t at = static_cast<std::size_t>(in - source.data()) / 2;
        const unicode::Utf16Sequence c = CharacterAt(data, size, at);
        const char* replacement = nullptr;
        for (const EncodeOverride& row : EncodeOverridesFor(m_charset.codePage)) {
            if (row.codePoint == c.codePoint) replacement = row.bytes;
        }
        Pump(m_encoder, nullptr, nullptr, out, used);  // replacements are written in the initial state
        if (replacement != nullptr) {
            AppendBytes(out, used, replacement);
        } else {
            // One default character per UTF-16 unit, as on Windows.
            for (std::size_t i = 0; i < c.length; ++i) AppendBytes(out, used, m_charset.defaultBytes);
        }
        in += 2 * c.length;
        inLeft -= 2 * c.length;
    }
    Pump(m_encoder, nullptr, nullptr, out, used);
    out.resize(used);
    return out;
}

}  // namespace tessera::platform::posix
