// Well-formed UTF-8 sequences of two and three bytes, decoded inline: the common case of
// the fast loops, which leave the rest to the reference decoder.
#ifndef TESSERA_UNICODE_UTF8_SHORT_SEQUENCE_H
#define TESSERA_UNICODE_UTF8_SHORT_SEQUENCE_H

#include <cstddef>
#include <cstdint>

namespace tessera::unicode {

/// If [p, end) begins with a well-formed two- or three-byte sequence, stores its unit in
/// `unit` and returns its length; otherwise returns 0.
inline std::size_t DecodeShortSequence(const unsigned char* p, const unsigned char* end, wchar_t& unit) {
    const auto continues = [](unsigned char byte) { return (byte & 0xC0) == 0x80; };
    const std::uint32_t lead = *p;
    if (lead >= 0xC2 && lead < 0xE0) {
        if (end - p < 2 || !continues(p[1])) return 0;
        unit = static_cast<wchar_t>(((lead & 0x1F) << 6) | (p[1] & 0x3Fu));
        return 2;
    }
    if (lead >= 0xE0 && lead < 0xF0) {
        if (end - p < 3 || !continues(p[1]) || !continues(p[2])) return 0;
        const std::uint32_t codePoint = ((lead & 0x0F) << 12) | ((p[1] & 0x3Fu) << 6) | (p[2] & 0x3Fu);
        if (codePoint < 0x800 || (codePoint >= 0xD800 && codePoint <= 0xDFFF)) return 0;
        unit = static_cast<wchar_t>(codePoint);
        return 3;
    }
    return 0;
}

}  // namespace tessera::unicode

#endif  // TESSERA_UNICODE_UTF8_SHORT_SEQUENCE_H
