#include "single_byte_code_page.h"

#include <algorithm>
#include <map>

#include "iconv_descriptor.h"
#include "utf16_units.h"

namespace tessera::platform::posix {
namespace {

// What iconv decodes one byte to: a single UTF-16 unit, or nothing.
bool DecodeOneByte(IconvDescriptor& decoder, unsigned char byte, char16_t* unit) {
    char in[1] = {static_cast<char>(byte)};
    char out[16];
    char* inPtr = in;
    char* outPtr = out;
    std::size_t inLeft = 1;
    std::size_t outLeft = sizeof out;
    decoder.Reset();
    if (decoder.Convert(&inPtr, &inLeft, &outPtr, &outLeft) == static_cast<std::size_t>(-1)) return false;
    // Some decoders hold a character back to combine it with the next one.
    if (decoder.Flush(&outPtr, &outLeft) == static_cast<std::size_t>(-1)) return false;
    if (outPtr - out != 2) return false;
    *unit = static_cast<char16_t>(static_cast<unsigned char>(out[0]) |
                                  static_cast<unsigned char>(out[1]) << 8);
    return true;
}

}  // namespace

std::unique_ptr<SingleByteCodePage> SingleByteCodePage::Build(const CodePageCharset& charset) {
    if (charset.charset == nullptr) return nullptr;
    IconvDescriptor decoder(kIconvUtf16, charset.charset);
    if (!decoder.valid()) return nullptr;

    std::unique_ptr<SingleByteCodePage> page(new SingleByteCodePage);
    page->m_defaultByte = charset.defaultBytes[0];
    bool mapped[256] = {};
    for (int byte = 0; byte < 256; ++byte) {
        mapped[byte] = DecodeOneByte(decoder, static_cast<unsigned char>(byte), &page->m_toUnicode[byte]);
        if (!mapped[byte]) page->m_toUnicode[byte] = charset.defaultUnicode;
    }
    for (const DecodeOverride& row : DecodeOverridesFor(charset.codePage)) {
        const auto byte = static_cast<unsigned char>(row.bytes[0]);
        page->m_toUnicode[byte] = row.unit;
        mapped[byte] = true;
    }

    std::fill(std::begin(page->m_fromLatin1), std::end(page->m_fromLatin1), std::int16_t{-1});
    std::map<char32_t, unsigned char> other;
    // The first byte that decodes to a character is the one that encodes it ...
    for (int byte = 0; byte < 256; ++byte) {
        if (!mapped[byte]) continue;
        const char32_t codePoint = page->m_toUnicode[byte];
        if (codePoint < 0x100) {
            if (page->m_fromLatin1[codePoint] < 0) page->m_fromLatin1[codePoint] = static_cast<std::int16_t>(byte);
        } else {
            other.emplace(codePoint, static_cast<unsigned char>(byte));
        }
    }
    // ... unless a correction says otherwise.
    for (const EncodeOverride& row : EncodeOverridesFor(charset.codePage)) {
        const auto byte = static_cast<unsigned char>(row.bytes[0]);
        if (row.codePoint < 0x100) {
            page->m_fromLatin1[row.codePoint] = byte;
        } else {
            other[row.codePoint] = byte;
        }
    }
    page->m_fromOther.assign(other.begin(), other.end());
    return page;
}

int SingleByteCodePage::ByteFor(char32_t codePoint) const {
    if (codePoint < 0x100) return m_fromLatin1[codePoint];
    auto it = std::lower_bound(m_fromOther.begin(), m_fromOther.end(), codePoint,
                               [](const auto& row, char32_t cp) { return row.first < cp; });
    return it != m_fromOther.end() && it->first == codePoint ? it->second : -1;
}

std::wstring SingleByteCodePage::Decode(const char* data, std::size_t size) const {
    std::wstring result(size, L'\0');
    for (std::size_t i = 0; i < size; ++i) {
        result[i] = static_cast<wchar_t>(m_toUnicode[static_cast<unsigned char>(data[i])]);
    }
    return result;
}

std::string SingleByteCodePage::Encode(const wchar_t* data, std::size_t size) const {
    std::string result;
    result.reserve(size);
    const wchar_t* end = data + size;
    for (const wchar_t* p = data; p < end;) {
        const Utf16Char c = ReadUtf16Char(p, end);
        const int byte = ByteFor(c.codePoint);
        result.push_back(byte >= 0 ? static_cast<char>(byte) : m_defaultByte);
        p += c.length;
    }
    return result;
}

}  // namespace tessera::platform::posix
