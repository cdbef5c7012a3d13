// The reference conversion: UTF-8 sequences checked against the Unicode Standard's table
// of well-formed byte sequences, one at a time.
#include "unicode/utf8_utf16_reference.h"

namespace tessera::unicode {
namespace {

struct LeadByteRule {
    unsigned char firstLead;
    unsigned char lastLead;
    unsigned char length;
    unsigned char secondLow;
    unsigned char secondHigh;
};

// The well-formed UTF-8 byte sequences, as the Unicode Standard tabulates them: the lead
// bytes, the sequence length and the range of the second byte. Every later byte lies in
// 80..BF. Bytes 80..C1 and F5..FF never begin a sequence.
constexpr LeadByteRule kLeadByteRules[] = {
    // lead bytes    length  second byte
    {0xC2, 0xDF, 2, 0x80, 0xBF}, {0xE0, 0xE0, 3, 0xA0, 0xBF}, {0xE1, 0xEC, 3, 0x80, 0xBF}, {0xED, 0xED, 3, 0x80, 0x9F},
    {0xEE, 0xEF, 3, 0x80, 0xBF}, {0xF0, 0xF0, 4, 0x90, 0xBF}, {0xF1, 0xF3, 4, 0x80, 0xBF}, {0xF4, 0xF4, 4, 0x80, 0x8F},
};

const LeadByteRule* FindLeadByteRule(unsigned char lead) {
    for (const LeadByteRule& rule : kLeadByteRules) {
        if (lead >= rule.firstLead && lead <= rule.lastLead) return &rule;
    }
    return nullptr;
}

}  // namespace

Utf8Sequence DecodeUtf8Sequence(const unsigned char* p, const unsigned char* end) {
    const unsigned char lead = p[0];
    if (lead < 0x80) return {lead, 1};
    const LeadByteRule* rule = FindLeadByteRule(lead);
    if (rule == nullptr) return {kReplacementCharacter, 1};

    char32_t codePoint = lead & (0x7Fu >> rule->length);
    unsigned char low = rule->secondLow;
    unsigned char high = rule->secondHigh;
    for (std::size_t i = 1; i < rule->length; ++i) {
        if (p + i == end || p[i] < low || p[i] > high) return {kReplacementCharacter, i};
        codePoint = (codePoint << 6) | (p[i] & 0x3Fu);
        low = 0x80;
        high = 0xBF;
    }
    return {codePoint, rule->length};
}

std::size_t EncodeUtf16(char32_t codePoint, wchar_t* out) {
    if (codePoint < 0x10000) {
        out[0] = static_cast<wchar_t>(codePoint);
        return 1;
    }
    const char32_t offset = codePoint - 0x10000;
    out[0] = static_cast<wchar_t>(0xD800 + (offset >> 10));
    out[1] = static_cast<wchar_t>(0xDC00 + (offset & 0x3FF));
    return 2;
}

std::size_t EncodeUtf8(char32_t codePoint, char* out) {
    if (codePoint < 0x80) {
        out[0] = static_cast<char>(codePoint);
        return 1;
    }
    if (codePoint < 0x800) {
        out[0] = static_cast<char>(0xC0 | (codePoint >> 6));
        out[1] = static_cast<char>(0x80 | (codePoint & 0x3F));
        return 2;
    }
    if (codePoint < 0x10000) {
        out[0] = static_cast<char>(0xE0 | (codePoint >> 12));
        out[1] = static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
        out[2] = static_cast<char>(0x80 | (codePoint & 0x3F));
        return 3;
    }
    out[0] = static_cast<char>(0xF0 | (codePoint >> 18));
    out[1] = static_cast<char>(0x80 | ((codePoint >> 12) & 0x3F));
    out[2] = static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
    out[3] = static_cast<char>(0x80 | (codePoint & 0x3F));
    return 4;
}

Utf16Sequence DecodeUtf16Sequence(const wchar_t* p, const wchar_t* end) {
    const Utf16Sequence sequence = ReadUtf16Sequence(p, end);
    if (sequence.length == 1 &&
        (sequence.codePoint > 0xFFFF || IsHighSurrogate(sequence.codePoint) || IsLowSurrogate(sequence.codePoint))) {
        return {kReplacementCharacter, 1};
    }
    return sequence;
}

std::wstring ReferenceUtf8ToUtf16(const char* data, std::size_t size) {
    std::wstring out;
    out.reserve(size);
    const auto* p = reinterpret_cast<const unsigned char*>(data);
    const unsigned char* const end = p + size;
    wchar_t units[2];
    while (p != end) {
        const Utf8Sequence sequence = DecodeUtf8Sequence(p, end);
        out.append(units, EncodeUtf16(sequence.codePoint, units));
        p += sequence.length;
    }
    return out;
}

std::string ReferenceUtf16ToUtf8(const wchar_t* data, std::size_t size) {
    std::string out;
    out.reserve(size);
    const wchar_t* p = data;
    const wchar_t* const end = data + size;
    char bytes[4];
    while (p != end) {
        const Utf16Sequence sequence = DecodeUtf16Sequence(p, end);
        out.append(bytes, EncodeUtf8(sequence.codePoint, bytes));
        p += sequence.length;
    }
    return out;
}

}  // namespace tessera::unicode
