// Double-byte code pages as tables: built once from iconv, one character at a time, then
// converted without it.
#include "platform/posix/double_byte_code_page.h"

#include <cstring>

#include "platform/posix/iconv_descriptor.h"

namespace tessera::platform::posix {

std::unique_ptr<DoubleByteCodePage> DoubleByteCodePage::Build(const CodePageCharset& charset, const LeadBytes& leads) {
    if (charset.charset == nullptr) return nullptr;
    IconvDescriptor decoder(kIconvUtf16, charset.charset);
    IconvDescriptor encoder(charset.charset, kIconvUtf16);
    if (!decoder.valid() || !encoder.valid()) return nullptr;

    std::unique_ptr<DoubleByteCodePage> page(new DoubleByteCodePage);
    page->m_defaultUnicode = charset.defaultUnicode;
    page->m_defaultBytes = charset.defaultBytes;
    page->m_encode.assign(0x10000, kUnmapped);
    std::vector<std::uint8_t> claims(0x10000, 0);  // how many sequences decode to each unit

    // Decodes one sequence, corrected; an unmapped sequence gives the default character.
    auto decode = [&](const unsigned char* bytes, std::size_t size) {
        char16_t unit = 0;
        bool mapped = DecodeSequence(decoder, bytes, size, &unit);
        const DecodeCorrection correction = FindDecodeCorrection(charset.codePage, bytes, size);
        if (correction.length == size) {
            unit = correction.unit;
            mapped = true;
        }
        if (!mapped) return charset.defaultUnicode;
        // The first sequence (in byte order) that decodes to a unit is the one that encodes it.
        const auto code = static_cast<std::uint16_t>(size == 1 ? bytes[0] : bytes[0] << 8 | bytes[1]);
        if (page->m_encode[unit] == kUnmapped) page->m_encode[unit] = code;
        if (claims[unit] < 2) ++claims[unit];
        return unit;
    };

    std::int16_t rows = 0;
    for (int value = 0; value < 256; ++value) {
        const auto byte = static_cast<unsigned char>(value);
        if (InByteRanges(leads.ranges, byte)) {
            page->m_leadIndex[byte] = rows++;
            page->m_singles[byte] = charset.defaultUnicode;  // a lead byte that ends the input
        } else {
            page->m_leadIndex[byte] = -1;
            page->m_singles[byte] = decode(&byte, 1);
        }
    }
    page->m_pairs.resize(static_cast<std::size_t>(rows) * 256);
    for (int lead = 0; lead < 256; ++lead) {
        if (page->m_leadIndex[lead] < 0) continue;
        for (int trail = 0; trail < 256; ++trail) {
            const unsigned char pair[2] = {static_cast<unsigned char>(lead), static_cast<unsigned char>(trail)};
            page->m_pairs[static_cast<std::size_t>(page->m_leadIndex[lead]) * 256 + trail] = decode(pair, 2);
        }
    }
    // Where several sequences decode to one unit, the charset's encoder knows which one
    // the code page writes.
    for (std::size_t unit = 0; unit < claims.size(); ++unit) {
        if (claims[unit] < 2) continue;
        const std::string bytes = EncodeUnit(encoder, static_cast<char16_t>(unit));
        if (bytes.size() == 1) page->m_encode[unit] = static_cast<unsigned char>(bytes[0]);
        if (bytes.size() == 2) {
            page->m_encode[unit] = static_cast<std::uint16_t>(static_cast<unsigned char>(bytes[0]) << 8 |
                                                              static_cast<unsigned char>(bytes[1]));
        }
    }
    for (const EncodeOverride& row : EncodeOverridesFor(charset.codePage)) {
        if (row.codePoint >= 0x10000) continue;
        const std::size_t n = std::strlen(row.bytes);
        const auto first = static_cast<unsigned char>(row.bytes[0]);
        page->m_encode[row.codePoint] =
            n == 1 ? first : static_cast<std::uint16_t>(first << 8 | static_cast<unsigned char>(row.bytes[1]));
    }
    return page;
}

std::wstring DoubleByteCodePage::Decode(const char* data, std::size_t size) const {
    std::wstring result;
    result.reserve(size);
    const auto* p = reinterpret_cast<const unsigned char*>(data);
    for (std::size_t i = 0; i < size;) {
        const std::int16_t row = m_leadIndex[p[i]];
        // A lead byte is a character of its own at the end of the input or before a NUL.
        if (row < 0 || i + 1 == size || p[i + 1] == 0) {
            result.push_back(static_cast<wchar_t>(m_singles[p[i]]));
            ++i;
        } else {
            result.push_back(static_cast<wchar_t>(m_pairs[static_cast<std::size_t>(row) * 256 + p[i + 1]]));
            i += 2;
        }
    }
    return result;
}

std::string DoubleByteCodePage::Encode(const wchar_t* data, std::size_t size) const {
    // One character per UTF-16 unit: a surrogate pair becomes two default characters.
    std::string result;
    result.reserve(size * 2);
    for (std::size_t i = 0; i < size; ++i) {
        const std::uint16_t code = m_encode[static_cast<std::size_t>(data[i] & 0xFFFF)];
        if (code == kUnmapped) {
            result += m_defaultBytes;
        } else if (code > 0xFF) {
            result.push_back(static_cast<char>(code >> 8));
            result.push_back(static_cast<char>(code & 0xFF));
        } else {
            result.push_back(static_cast<char>(code));
        }
    }
    return result;
}

}  // namespace tessera::platform::posix
