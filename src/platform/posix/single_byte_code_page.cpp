// Single-byte code pages as tables: built once from iconv for all 256 bytes, then
// converted without it.
#include "platform/posix/single_byte_code_page.h"

#include <algorithm>
#include <map>

#include "platform/posix/iconv_descriptor.h"

namespace tessera::platform::posix {

std::unique_ptr<SingleByteCodePage> SingleByteCodePage::Build(const CodePageCharset& charset) {
    if (charset.charset == nullptr) return nullptr;
    IconvDescriptor decoder(kIconvUtf16, charset.charset);
    if (!decoder.valid()) return nullptr;

    std::unique_ptr<SingleByteCodePage> page(new SingleByteCodePage);
    page->m_defaultByte = charset.defaultBytes[0];
    bool mapped[256] = {};
    for (int value = 0; value < 256; ++value) {
        const auto byte = static_cast<unsigned char>(value);
        char16_t& unit = page->m_toUnicode[byte];
        mapped[byte] = DecodeSequence(decoder, &byte, 1, &unit);
        const DecodeCorrection correction = FindDecodeCorrection(charset.codePage, &byte, 1);
        if (correction.length == 1) {
            unit = correction.unit;
            mapped[byte] = true;
        }
        if (!mapped[byte]) unit = charset.defaultUnicode;
    }

    std::fill(std::begin(page->m_fromLatin1), std::end(page->m_fromLatin1), std::int16_t{-1});
    std::map<char16_t, unsigned char> other;
    // The first byte that decodes to a character is the one that encodes it ...
    for (int byte = 0; byte < 256; ++byte) {
        if (!mapped[byte]) continue;
        const char16_t unit = page->m_toUnicode[byte];
        if (unit < 0x100) {
            if (page->m_fromLatin1[unit] < 0) page->m_fromLatin1[unit] = static_cast<std::int16_t>(byte);
        } else {
            other.emplace(unit, static_cast<unsigned char>(byte));
        }
    }
    // ... unless a correction says otherwise.
    for (const EncodeOverride& row : EncodeOverridesFor(charset.codePage)) {
        const auto byte = static_cast<unsigned char>(row.bytes[0]);
        if (row.codePoint < 0x100) {
            page->m_fromLatin1[row.codePoint] = byte;
        } else if (row.codePoint < 0x10000) {
            other[static_cast<char16_t>(row.codePoint)] = byte;
        }
    }
    page->m_fromOther.assign(other.begin(), other.end());
    return page;
}

int SingleByteCodePage::ByteFor(char16_t unit) const {
    if (unit < 0x100) return m_fromLatin1[unit];
    auto it = std::lower_bound(m_fromOther.begin(), m_fromOther.end(), unit,
                               [](const auto& row, char16_t u) { return row.first < u; });
    return it != m_fromOther.end() && it->first == unit ? it->second : -1;
}

std::wstring SingleByteCodePage::Decode(const char* data, std::size_t size) const {
    std::wstring result(size, L'\0');
    for (std::size_t i = 0; i < size; ++i) {
        result[i] = static_cast<wchar_t>(m_toUnicode[static_cast<unsigned char>(data[i])]);
    }
    return result;
}

std::string SingleByteCodePage::Encode(const wchar_t* data, std::size_t size) const {
    // One byte per UTF-16 unit: a surrogate pair, which no single-byte page holds, becomes
    // two default characters, as on Windows.
    std::string result(size, '\0');
    for (std::size_t i = 0; i < size; ++i) {
        const int byte = ByteFor(static_cast<char16_t>(data[i] & 0xFFFF));
        result[i] = byte >= 0 ? static_cast<char>(byte) : m_defaultByte;
    }
    return result;
}

}  // namespace tessera::platform::posix
