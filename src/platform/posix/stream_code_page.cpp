// Streaming conversion through iconv, with the bytes and characters iconv rejects
// replaced as Windows replaces them, asking iconv no more often than the text needs.
#include "platform/posix/stream_code_page.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "unicode/utf8_utf16_reference.h"

namespace tessera::platform::posix {
namespace {

constexpr std::size_t kStop = static_cast<std::size_t>(-1);
constexpr std::size_t kLongestPiece = 1 << 14;        // UTF-16 units handed to the encoder at most
constexpr std::size_t kUnwritableOthersLimit = 1024;  // supplementary characters remembered at most

// Room for at least `extra` more bytes after `used`.
void Reserve(std::string& out, std::size_t used, std::size_t extra) {
    if (out.size() - used < extra) out.resize(std::max(out.size() * 2, used + extra));
}

void AppendUnit(std::string& out, std::size_t& used, char16_t unit) {
    Reserve(out, used, 2);
    out[used++] = static_cast<char>(unit & 0xFF);
    out[used++] = static_cast<char>(unit >> 8);
}

void AppendBytes(std::string& out, std::size_t& used, const char* bytes, std::size_t size) {
    Reserve(out, used, size);
    std::memcpy(&out[used], bytes, size);
    used += size;
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

// Calls the encoder once on `units` (no unit a surrogate); false when it stops. With
// `units` null it writes the return to the initial shift state.
bool WriteOnce(IconvDescriptor& encoder, const std::u16string* units, std::string& out) {
    std::string in;
    if (units) {
        for (const char16_t unit : *units) in += {static_cast<char>(unit & 0xFF), static_cast<char>(unit >> 8)};
    }
    char buffer[32];
    char* inPtr = in.data();
    std::size_t inLeft = in.size();
    char* outPtr = buffer;
    std::size_t outLeft = sizeof buffer;
    const std::size_t r =
        units ? encoder.Convert(&inPtr, &inLeft, &outPtr, &outLeft) : encoder.Flush(&outPtr, &outLeft);
    out.assign(buffer, static_cast<std::size_t>(outPtr - buffer));
    return r != kStop;
}

}  // namespace

StreamCodePage::StreamCodePage(const CodePageCharset& charset)
    : m_charset(charset),
      m_decoder(kIconvUtf16, charset.charset),
      m_encoder(charset.encodeCharset ? charset.encodeCharset : charset.charset, kIconvUtf16),
      m_sevenBit(IsSevenBitCode(charset.codePage)),
      m_encodePiece(kLongestPiece) {
    if (m_encoder.valid()) LearnSettledState();
}

void StreamCodePage::LearnSettledState() {
    // Settled: after a return to the initial shift state. Some encoders write something at
    // every such return (ISO-2022-KR its designation); then every replacement takes one.
    std::string written;
    m_encoder.Reset();
    WriteOnce(m_encoder, nullptr, written);
    m_flushIsIdle = WriteOnce(m_encoder, nullptr, written) && written.empty();
    if (!m_flushIsIdle) return;
    // An ASCII character that writes the same bytes twice running from there, with
    // nothing to write to return, leaves the settled state as it was.
    for (char16_t unit = 0; unit < 0x80; ++unit) {
        const std::u16string text(1, unit);
        std::string first, second, rest;
        m_encoder.Reset();
        WriteOnce(m_encoder, nullptr, rest);
        if (!WriteOnce(m_encoder, &text, first) || !WriteOnce(m_encoder, &text, second) ||
            !WriteOnce(m_encoder, nullptr, rest)) {
            continue;
        }
        Standalone& standalone = m_standalone[unit];
        if (first == second && rest.empty() && !first.empty() && first.size() <= sizeof standalone.bytes) {
            std::memcpy(standalone.bytes, first.data(), first.size());
            standalone.length = static_cast<unsigned char>(first.size());
        }
    }
    m_encoder.Reset();
}

bool StreamCodePage::IsKnownUnwritable(char32_t codePoint, std::size_t units) const {
    if (codePoint < 0x10000) return units == 1 && m_unwritable[codePoint];
    return !m_unwritableOthers.empty() && m_unwritableOthers.count(codePoint) != 0;
}

void StreamCodePage::LearnUnwritable(char32_t codePoint, std::size_t units) {
    // Whether a character can be written does not depend on what stands around it.
    if (codePoint < 0x10000) {
        if (units == 1) m_unwritable[codePoint] = true;
    } else if (m_unwritableOthers.size() < kUnwritableOthersLimit) {
        m_unwritableOthers.insert(codePoint);
    }
}

void StreamCodePage::ReplaceUnwritable(char32_t codePoint, std::size_t units, std::string& out,
                                       std::size_t& used) const {
    const char* replacement = nullptr;
    for (const EncodeOverride& row : EncodeOverridesFor(m_charset.codePage)) {
        if (row.codePoint == codePoint) replacement = row.bytes;
    }
    if (replacement != nullptr) {
        AppendBytes(out, used, replacement, std::strlen(replacement));
        return;
    }
    // One default character per UTF-16 unit, as on Windows.
    for (std::size_t i = 0; i < units; ++i) {
        AppendBytes(out, used, m_charset.defaultBytes, std::strlen(m_charset.defaultBytes));
    }
}

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
    // Replaces the sequence at `in` that iconv rejected.
    const auto replace = [&] {
        const std::size_t skip = ReplaceInvalid(reinterpret_cast<unsigned char*>(in), inLeft, out, used);
        in += skip;
        inLeft -= skip;
    };
    while (inLeft > 0 && Pump(m_decoder, &in, &inLeft, out, used) == kStop) {
        if (errno == EINVAL) {  // an incomplete sequence ends the input
            AppendUnit(out, used, m_charset.defaultUnicode);
            break;
        }
        const bool high = static_cast<unsigned char>(*in) >= 0x80;
        replace();
        // In a 7-bit code the bytes 80-FF after a rejected one are rejected as well.
        while (high && m_sevenBit && inLeft > 0 && static_cast<unsigned char>(*in) >= 0x80) replace();
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
    // Settled: the encoder has returned to the initial shift state, and any character
    // written since then left it there.
    bool settled = false;
    // Replacements are written in the initial state.
    const auto replace = [&](const unicode::Utf16Sequence& character) {
        if (!settled) Pump(m_encoder, nullptr, nullptr, out, used);
        settled = m_flushIsIdle;
        ReplaceUnwritable(character.codePoint, character.length, out, used);
    };
    for (std::size_t at = 0; at < size;) {
        const unicode::Utf16Sequence character = CharacterAt(data, size, at);
        if (IsKnownUnwritable(character.codePoint, character.length)) {
            replace(character);
            at += character.length;
            continue;
        }
        if (settled && character.codePoint < 0x80 && m_standalone[character.codePoint].length > 0) {
            const Standalone& standalone = m_standalone[character.codePoint];
            AppendBytes(out, used, standalone.bytes, standalone.length);
            ++at;
            continue;
        }
        // A piece up to the next character known to be unwritable.
        std::size_t pieceEnd = at + character.length;
        while (pieceEnd < size && pieceEnd - at < m_encodePiece) {
            const unicode::Utf16Sequence next = CharacterAt(data, size, pieceEnd);
            if (IsKnownUnwritable(next.codePoint, next.length)) break;
            pieceEnd += next.length;
        }
        char* in = &source[2 * at];
        std::size_t inLeft = 2 * (pieceEnd - at);
        const std::size_t r = Pump(m_encoder, &in, &inLeft, out, used);
        settled = false;
        at = static_cast<std::size_t>(in - source.data()) / 2;
        if (r != kStop) {
            m_encodePiece = std::min(m_encodePiece * 2, kLongestPiece);
            continue;
        }
        // iconv stopped at a character it cannot write (or an unpaired surrogate).
        const unicode::Utf16Sequence stopped = CharacterAt(data, size, at);
        LearnUnwritable(stopped.codePoint, stopped.length);
        replace(stopped);
        at += stopped.length;
        m_encodePiece = 1;
    }
    if (!settled) Pump(m_encoder, nullptr, nullptr, out, used);
    out.resize(used);
    return out;
}

}  // namespace tessera::platform::posix
