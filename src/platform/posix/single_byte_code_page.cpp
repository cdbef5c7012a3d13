// Single-byte code pages as tables: built once from iconv for all 256 bytes, then
// converted without it, from and to UTF-16 or UTF-8.
#include "platform/posix/single_byte_code_page.h"

#include <algorithm>

#include "platform/posix/iconv_descriptor.h"
#include "unicode/utf8_utf16.h"
#include "unicode/utf8_utf16_reference.h"

namespace tessera::platform::posix {

std::unique_ptr<SingleByteCodePage> SingleByteCodePage::Build(const CodePageCharset& charset) {
    if (charset.charset == nullptr) return nullptr;
    IconvDescriptor decoder(kIconvUtf16, charset.charset);
    if (!decoder.valid()) return nullptr;

    std::unique_ptr<SingleByteCodePage> page(new SingleByteCodePage);
    std::vector<int> byteOfUnit(0x10000, -1);
    for (int value = 0; value < 256; ++value) {
        const auto byte = static_cast<unsigned char>(value);
        char16_t& unit = page->m_toUnicode[byte];
        bool mapped = DecodeSequence(decoder, &byte, 1, &unit);
        const DecodeCorrection correction = FindDecodeCorrection(charset.codePage, &byte, 1);
        if (correction.length == 1) {
            unit = correction.unit;
            mapped = true;
        }
        if (!mapped) unit = charset.defaultUnicode;
        // The first byte that decodes to a character is the one that encodes it ...
        if (mapped && byteOfUnit[unit] < 0) byteOfUnit[unit] = byte;
        if (unicode::IsHighSurrogate(unit) || unicode::IsLowSurrogate(unit)) {
            page->m_decodesSurrogates = true;
        } else {
            page->m_toUtf8[byte] = Utf8BytesOf(unit);
        }
    }
    // ... unless a correction says otherwise.
    for (const EncodeOverride& row : EncodeOverridesFor(charset.codePage)) {
        if (row.codePoint < 0x10000) byteOfUnit[row.codePoint] = static_cast<unsigned char>(row.bytes[0]);
    }
    page->m_asciiIsAscii = true;
    for (int byte = 0; byte < 0x80; ++byte) {
        page->m_asciiIsAscii &= page->m_toUnicode[byte] == byte && byteOfUnit[static_cast<std::size_t>(byte)] == byte;
    }
    page->BuildEncodeTable(byteOfUnit, static_cast<unsigned char>(charset.defaultBytes[0]));
    return page;
}

void SingleByteCodePage::BuildEncodeTable(const std::vector<int>& byteOfUnit, unsigned char defaultByte) {
    m_encodeBlocks.assign(256, defaultByte);  // block 0: no unit of it is in the page
    for (std::size_t block = 0; block < 256; ++block) {
        const auto first = byteOfUnit.begin() + static_cast<std::ptrdiff_t>(block * 256);
        if (std::all_of(first, first + 256, [](int byte) { return byte < 0; })) continue;
        m_encodeBlockOf[block] = static_cast<std::uint16_t>(m_encodeBlocks.size() / 256);
        for (auto it = first; it != first + 256; ++it) {
            m_encodeBlocks.push_back(*it < 0 ? defaultByte : static_cast<unsigned char>(*it));
        }
    }
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
        result[i] = static_cast<char>(ByteOf(static_cast<char16_t>(data[i] & 0xFFFF)));
    }
    return result;
}

std::string SingleByteCodePage::DecodeToUtf8(const char* data, std::size_t size) const {
    if (m_decodesSurrogates) {
        const std::wstring units = Decode(data, size);
        return unicode::Utf16ToUtf8(units.data(), units.size());
    }
    const auto* begin = reinterpret_cast<const unsigned char*>(data);
    return DecodeTextToUtf8(begin, begin + size, m_asciiIsAscii,
                            [this](const unsigned char*& p) -> const Utf8Bytes& { return m_toUtf8[*p++]; });
}

std::string SingleByteCodePage::EncodeUtf8(const char* data, std::size_t size) const {
    // A character takes at least as many bytes of UTF-8 as it gives: one, or two for a
    // supplementary character (two default characters, one per UTF-16 unit).
    std::string result(size, '\0');
    auto* const out = reinterpret_cast<unsigned char*>(&result[0]);
    const auto* in = reinterpret_cast<const unsigned char*>(data);
    const unsigned char* const end =
        EncodeUtf8Text(in, in + size, out, m_asciiIsAscii, [this](unsigned char* at, char16_t unit) {
            *at = ByteOf(unit);
            return at + 1;
        });
    FitToSize(result, static_cast<std::size_t>(end - out));
    return result;
}

}  // namespace tessera::platform::posix
