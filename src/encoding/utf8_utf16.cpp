// Placeholder: a plain scalar UTF-8 <-> UTF-16 conversion until the fast one lands.
#include "encoding/utf8_utf16.h"

namespace tessera::encoding {
namespace {

constexpr wchar_t kReplacement = 0xFFFD;

bool IsTrail(unsigned char c) { return (c & 0xC0) == 0x80; }

void AppendUtf16(std::wstring& out, char32_t cp) {
    if (cp < 0x10000) {
        out.push_back(static_cast<wchar_t>(cp));
    } else {
        cp -= 0x10000;
        out.push_back(static_cast<wchar_t>(0xD800 + (cp >> 10)));
        out.push_back(static_cast<wchar_t>(0xDC00 + (cp & 0x3FF)));
    }
}

}  // namespace

std::wstring Utf8ToUtf16(const char* data, std::size_t size) {
    const auto* p = reinterpret_cast<const unsigned char*>(data);
    const auto* end = p + size;
    std::wstring out;
    out.reserve(size);
    while (p < end) {
        const unsigned char c = *p;
        if (c < 0x80) {
            out.push_back(static_cast<wchar_t>(c));
            ++p;
            continue;
        }
        // Length and the allowed range of the second byte (maximal-subpart rules).
        std::size_t length = 0;
        unsigned char lo = 0x80, hi = 0xBF;
        if (c >= 0xC2 && c <= 0xDF) {
            length = 2;
        } else if (c >= 0xE0 && c <= 0xEF) {
            length = 3;
            if (c == 0xE0) lo = 0xA0;
            if (c == 0xED) hi = 0x9F;
        } else if (c >= 0xF0 && c <= 0xF4) {
            length = 4;
            if (c == 0xF0) lo = 0x90;
            if (c == 0xF4) hi = 0x8F;
        }
        if (length == 0) {
            out.push_back(kReplacement);
            ++p;
            continue;
        }
        char32_t cp = c & (0xFF >> (length + 1));
        std::size_t taken = 1;
        for (; taken < length && p + taken < end; ++taken) {
            const unsigned char t = p[taken];
            if (taken == 1 ? (t < lo || t > hi) : !IsTrail(t)) break;
            cp = (cp << 6) | (t & 0x3F);
        }
        if (taken == length) {
            AppendUtf16(out, cp);
        } else {
            out.push_back(kReplacement);
        }
        p += taken;
    }
    return out;
}

std::string Utf16ToUtf8(const wchar_t* data, std::size_t size) {
    std::string out;
    out.reserve(size);
    for (std::size_t i = 0; i < size; ++i) {
        char32_t cp = static_cast<char32_t>(data[i]) & 0xFFFF;
        if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < size) {
            const char32_t next = static_cast<char32_t>(data[i + 1]) & 0xFFFF;
            if (next >= 0xDC00 && next <= 0xDFFF) {
                cp = 0x10000 + ((cp - 0xD800) << 10) + (next - 0xDC00);
                ++i;
            }
        }
        if (cp >= 0xD800 && cp <= 0xDFFF) cp = 0xFFFD;
        if (cp < 0x80) {
            out.push_back(static_cast<char>(cp));
        } else if (cp < 0x800) {
            out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        } else if (cp < 0x10000) {
            out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        } else {
            out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        }
    }
    return out;
}

}  // namespace tessera::encoding
