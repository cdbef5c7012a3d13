// The mixed EBCDIC encoder: its table, asked of iconv once per code page, and the loop
// that writes a text from it with the shift bytes.
#include "platform/posix/ebcdic_shift_encoder.h"

#include <algorithm>
#include <cstring>

#include "platform/posix/iconv_descriptor.h"
#include "platform/posix/utf8_routes.h"
#include "unicode/utf8_utf16.h"
#include "unicode/utf8_utf16_reference.h"

namespace tessera::platform::posix {
namespace {

constexpr unsigned char kShiftOut = 0x0E;  // pairs follow
constexpr unsigned char kShiftIn = 0x0F;   // single bytes follow

// Characters beyond the BMP that the table does not hold: tag characters, which iconv
// drops, and others, which it cannot write. Build checks these against iconv.
constexpr char32_t kTagSamples[] = {0xE0000, 0xE0001, 0xE0041, 0xE007F};
constexpr char32_t kUnwritableSamples[] = {0x10000, 0x1F600, 0x20000, 0x2A6D6, 0x2F800, 0xE0080, 0xF0000, 0x10FFFF};

bool IsTag(char32_t codePoint) { return codePoint >> 7 == 0xE0000 >> 7; }

// What the encoder writes for one character from the initial shift state, the return to
// it included; false when it stops on the character.
bool WriteAlone(IconvDescriptor& encoder, char32_t codePoint, std::string& bytes) {
    char16_t units[2] = {static_cast<char16_t>(codePoint), 0};
    std::size_t inLeft = 2;
    if (codePoint >= 0x10000) {
        units[0] = static_cast<char16_t>(0xD800 + ((codePoint - 0x10000) >> 10));
        units[1] = static_cast<char16_t>(0xDC00 + (codePoint & 0x3FF));
        inLeft = 4;
    }
    char out[16];
    char* in = reinterpret_cast<char*>(units);
    char* outPtr = out;
    std::size_t outLeft = sizeof out;
    encoder.Reset();
    if (encoder.Convert(&in, &inLeft, &outPtr, &outLeft) == static_cast<std::size_t>(-1)) return false;
    if (encoder.Flush(&outPtr, &outLeft) == static_cast<std::size_t>(-1)) return false;
    bytes.assign(out, static_cast<std::size_t>(outPtr - out));
    return true;
}

}  // namespace

std::unique_ptr<EbcdicShiftEncoder> EbcdicShiftEncoder::Build(const CodePageCharset& charset) {
    const TableRange<EncodeOverride> corrections = EncodeOverridesFor(charset.codePage);
    if (charset.charset == nullptr || corrections.begin() != corrections.end()) return nullptr;
    IconvDescriptor encoder(charset.encodeCharset ? charset.encodeCharset : charset.charset, IconvNativeUtf16());
    if (!encoder.valid()) return nullptr;

    std::unique_ptr<EbcdicShiftEncoder> page(new EbcdicShiftEncoder);
    page->m_defaultBytes = charset.defaultBytes;
    page->m_codes.assign(0x10000, kUnwritable);
    // Every unit on its own, the encoder's one-way mappings and its choice among codes
    // that decode alike included: a single byte, or SO, a pair, SI.
    std::string bytes;
    for (char32_t unit = 0; unit < 0x10000; ++unit) {
        if (unicode::IsHighSurrogate(unit) || unicode::IsLowSurrogate(unit)) continue;
        if (!WriteAlone(encoder, unit, bytes)) continue;
        const auto byte = [&bytes](std::size_t i) { return static_cast<unsigned char>(bytes[i]); };
        if (bytes.size() == 1 && byte(0) != kShiftOut && byte(0) != kShiftIn) {
            page->m_codes[unit] = byte(0);
        } else if (bytes.size() == 4 && byte(0) == kShiftOut && byte(3) == kShiftIn && byte(1) != 0 &&
                   byte(1) != 0xFF) {
            page->m_codes[unit] = static_cast<std::uint16_t>(byte(1) << 8 | byte(2));
        } else {
            return nullptr;
        }
    }
    // A byte of UTF-8 is at most one unit (an invalid one U+FFFD, a four-byte sequence two
    // units); SO and a pair are three bytes, SI and a default character one more than it.
    const auto isPair = [](std::uint16_t code) { return code > 0xFF && code != kUnwritable; };
    const std::vector<std::uint16_t>& codes = page->m_codes;
    const bool threeBytes = isPair(codes[0xFFFD]) || std::any_of(codes.begin(), codes.begin() + 0x80, isPair);
    page->m_bytesPerUtf8Byte = std::max<std::size_t>(threeBytes ? 3 : 2, 1 + page->m_defaultBytes.size());
    for (const char32_t tag : kTagSamples) {
        if (!WriteAlone(encoder, tag, bytes) || !bytes.empty()) return nullptr;
    }
    for (const char32_t codePoint : kUnwritableSamples) {
        if (WriteAlone(encoder, codePoint, bytes)) return nullptr;
    }
    return page;
}

std::size_t EbcdicShiftEncoder::BytesPerUnit() const { return std::max<std::size_t>(3, 1 + m_defaultBytes.size()); }

void EbcdicShiftEncoder::PutDefault(std::size_t units, Writing& writing) const {
    if (writing.doubleByte) *writing.out++ = kShiftIn;
    writing.doubleByte = false;
    for (std::size_t i = 0; i < units; ++i) {
        std::memcpy(writing.out, m_defaultBytes.data(), m_defaultBytes.size());
        writing.out += m_defaultBytes.size();
    }
}

template <typename Unit>
void EbcdicShiftEncoder::PutUnits(const Unit* units, std::size_t size, Writing& writing) const {
    const std::uint16_t* const codes = m_codes.data();
    for (std::size_t i = 0; i < size; ++i) {
        const char32_t unit = static_cast<char32_t>(units[i]) & 0xFFFF;
        const std::uint16_t code = codes[unit];
        if (code <= 0xFF) {
            if (writing.doubleByte) *writing.out++ = kShiftIn;
            writing.doubleByte = false;
            *writing.out++ = static_cast<unsigned char>(code);
        } else if (code != kUnwritable) {
            if (!writing.doubleByte) *writing.out++ = kShiftOut;
            writing.doubleByte = true;
            writing.out[0] = static_cast<unsigned char>(code >> 8);
            writing.out[1] = static_cast<unsigned char>(code & 0xFF);
            writing.out += 2;
        } else if (unicode::IsHighSurrogate(unit) && i + 1 < size &&
                   unicode::IsLowSurrogate(static_cast<char32_t>(units[i + 1]) & 0xFFFF)) {
            const char32_t low = static_cast<char32_t>(units[++i]) & 0xFFFF;
            if (!IsTag(unicode::CodePointOfPair(unit, low))) PutDefault(2, writing);
        } else {
            PutDefault(1, writing);
        }
    }
}

std::string EbcdicShiftEncoder::Encode(const wchar_t* data, std::size_t size) const {
    std::string result(size * BytesPerUnit() + 1, '\0');
    auto* const begin = reinterpret_cast<unsigned char*>(&result[0]);
    Writing writing{begin};
    PutUnits(data, size, writing);
    if (writing.doubleByte) *writing.out++ = kShiftIn;
    FitToSize(result, static_cast<std::size_t>(writing.out - begin));
    return result;
}

std::string EbcdicShiftEncoder::EncodeUtf8(const char* data, std::size_t size) const {
    std::string result(size * m_bytesPerUtf8Byte + 1, '\0');
    auto* const begin = reinterpret_cast<unsigned char*>(&result[0]);
    Writing writing{begin};
    const auto* p = reinterpret_cast<const unsigned char*>(data);
    const unsigned char* const end = p + size;
    constexpr std::size_t kWindow = 512;
    wchar_t units[kWindow];
    while (p != end) {
        const wchar_t* const last = unicode::Utf8ToUtf16Window(p, end, units, units + kWindow);
        PutUnits(units, static_cast<std::size_t>(last - units), writing);
    }
    if (writing.doubleByte) *writing.out++ = kShiftIn;
    FitToSize(result, static_cast<std::size_t>(writing.out - begin));
    return result;
}

}  // namespace tessera::platform::posix
