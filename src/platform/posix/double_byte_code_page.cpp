// Double-byte code pages as tables: built once from iconv, one character at a time, then
// converted without it, from and to UTF-16 or UTF-8.
#include "platform/posix/double_byte_code_page.h"

#include <algorithm>
#include <cstring>

#include "platform/posix/iconv_descriptor.h"
#include "unicode/utf8_utf16.h"
#include "unicode/utf8_utf16_reference.h"

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
    page->BuildUtf8Tables();
    return page;
}

void DoubleByteCodePage::BuildUtf8Tables() {
    const auto isSurrogate = [](char16_t unit) {
        return unicode::IsHighSurrogate(unit) || unicode::IsLowSurrogate(unit);
    };
    m_decodesSurrogates = std::any_of(std::begin(m_singles), std::end(m_singles), isSurrogate) ||
                          std::any_of(m_pairs.begin(), m_pairs.end(), isSurrogate);
    if (!m_decodesSurrogates) {
        for (std::size_t byte = 0; byte < 256; ++byte) m_singlesUtf8[byte] = Utf8BytesOf(m_singles[byte]);
        m_pairsUtf8.reserve(m_pairs.size());
        for (const char16_t unit : m_pairs) m_pairsUtf8.push_back(Utf8BytesOf(unit));
    }
    m_asciiIsAscii = true;
    for (std::size_t byte = 0; byte < 0x80; ++byte) {
        m_asciiIsAscii &= m_leadIndex[byte] < 0 && m_singles[byte] == byte && m_encode[byte] == byte;
    }
    // One byte of UTF-8 is an ASCII character or an invalid byte (U+FFFD); longer
    // sequences give one unit for two or three bytes, or two for four.
    const auto width = [this](char16_t unit) {
        return m_encode[unit] == kUnmapped ? m_defaultBytes.size() : m_encode[unit] > 0xFF ? 2 : 1;
    };
    std::size_t most = std::max<std::size_t>(2, m_defaultBytes.size());
    if (most == 2 && width(0xFFFD) == 1 &&
        std::all_of(m_encode.begin(), m_encode.begin() + 0x80, [](std::uint16_t code) { return code <= 0xFF; })) {
        most = 1;
    }
    m_bytesPerUtf8Byte = most;
}

std::wstring DoubleByteCodePage::Decode(const char* data, std::size_t size) const {
    const auto* const begin = reinterpret_cast<const unsigned char*>(data);
    const unsigned char* const end = begin + size;
    // Counted first: a text of pairs has half as many characters as bytes, and the result
    // takes no more room than it keeps.
    std::size_t length = 0;
    for (const unsigned char* p = begin; p != end; ++length) p += SequenceLength(p, end);
    std::wstring result(length, L'\0');
    wchar_t* out = &result[0];
    for (const unsigned char* p = begin; p != end;) {
        // A lead byte is a character of its own at the end of the input or before a NUL.
        if (SequenceLength(p, end) == 1) {
            *out++ = static_cast<wchar_t>(m_singles[*p++]);
        } else {
            *out++ = static_cast<wchar_t>(m_pairs[PairIndex(p)]);
            p += 2;
        }
    }
    return result;
}

std::string DoubleByteCodePage::Encode(const wchar_t* data, std::size_t size) const {
    // One character per UTF-16 unit: a surrogate pair becomes two default characters.
    std::string result(size * std::max<std::size_t>(2, m_defaultBytes.size()) + 1, '\0');
    auto* const begin = reinterpret_cast<unsigned char*>(&result[0]);
    unsigned char* out = begin;
    for (std::size_t i = 0; i < size; ++i) out = PutUnit(out, static_cast<char16_t>(data[i] & 0xFFFF));
    FitToSize(result, static_cast<std::size_t>(out - begin));
    return result;
}

std::string DoubleByteCodePage::DecodeToUtf8(const char* data, std::size_t size) const {
    if (m_decodesSurrogates) {
        const std::wstring units = Decode(data, size);
        return unicode::Utf16ToUtf8(units.data(), units.size());
    }
    const auto* const begin = reinterpret_cast<const unsigned char*>(data);
    const unsigned char* const end = begin + size;
    // The UTF-8 form of the sequence at `p`, which then moves past it.
    const auto next = [&](const unsigned char*& p) -> const Utf8Bytes& {
        if (SequenceLength(p, end) == 1) return m_singlesUtf8[*p++];
        const Utf8Bytes& utf8 = m_pairsUtf8[PairIndex(p)];
        p += 2;
        return utf8;
    };
    return DecodeTextToUtf8(begin, end, m_asciiIsAscii, next);
}

namespace {

// Whether every code is a lead/trail pair (kUnmapped, 0xFFFF, is none: no lead byte is 0xFF).
template <std::size_t N>
bool AllPairs(const std::uint16_t (&codes)[N]) {
    bool all = true;
    for (const std::uint16_t code : codes) all &= (code > 0xFF) & (code != 0xFFFF);
    return all;
}

// Stores codes that are all lead/trail pairs, two bytes each; returns the end of them.
template <std::size_t N>
unsigned char* PutPairs(unsigned char* out, const std::uint16_t (&codes)[N]) {
    for (std::size_t i = 0; i < N; ++i) {
        out[2 * i] = static_cast<unsigned char>(codes[i] >> 8);
        out[2 * i + 1] = static_cast<unsigned char>(codes[i] & 0xFF);
    }
    return out + 2 * N;
}

}  // namespace

unsigned char* DoubleByteCodePage::EncodeRunThroughUtf16(const unsigned char*& p, const unsigned char* end,
                                                         unsigned char* out) const {
    constexpr std::size_t kWindow = 512;
    wchar_t units[kWindow];
    const std::uint16_t* const encode = m_encode.data();
    while (p != end) {
        const wchar_t* const last = unicode::Utf8ToUtf16Window(p, end, units, units + kWindow);
        const wchar_t* unit = units;
        // Four characters at a time: two bytes each (most of CJK text) with no test per
        // character, the others one at a time.
        for (; last - unit >= 4; unit += 4) {
            const std::uint16_t codes[4] = {encode[unit[0] & 0xFFFF], encode[unit[1] & 0xFFFF],
                                            encode[unit[2] & 0xFFFF], encode[unit[3] & 0xFFFF]};
            if (!AllPairs(codes)) {
                for (const std::uint16_t code : codes) out = PutCode(out, code);
                continue;
            }
            out = PutPairs(out, codes);
        }
        for (; unit != last; ++unit) out = PutCode(out, encode[*unit & 0xFFFF]);
    }
    return out;
}

std::string DoubleByteCodePage::EncodeUtf8(const char* data, std::size_t size) const {
    std::string result(size * m_bytesPerUtf8Byte + 1, '\0');
    auto* const begin = reinterpret_cast<unsigned char*>(&result[0]);
    unsigned char* out = begin;
    const auto* p = reinterpret_cast<const unsigned char*>(data);
    const unsigned char* const end = p + size;
    const auto putUnit = [this](unsigned char* at, char16_t unit) { return PutUnit(at, unit); };
    // Held here: the bytes stored through `out` could otherwise be the vector's own pointer.
    const std::uint16_t* const encode = m_encode.data();
    while (p != end) {
        if (*p >= 0x80) {
            const std::size_t run = TextRunLength(p, end);
            if (run >= kKernelRun) {
                out = EncodeRunThroughUtf16(p, p + run, out);
                continue;
            }
        }
        // The common case of CJK text two characters at a time: three bytes of UTF-8 each,
        // two bytes of the code page each.
        unsigned units[2] = {};
        while (end - p >= 6 && ReadTwoThreeByteSequences(p, units[0], units[1])) {
            const std::uint16_t codes[2] = {encode[units[0]], encode[units[1]]};
            if (!AllPairs(codes)) break;
            out = PutPairs(out, codes);
            p += 6;
        }
        if (p != end) EncodeUtf8Step(p, end, out, m_asciiIsAscii, putUnit);
    }
    FitToSize(result, static_cast<std::size_t>(out - begin));
    return result;
}

}  // namespace tessera::platform::posix
