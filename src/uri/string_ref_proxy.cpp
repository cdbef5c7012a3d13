// Writing a result into a caller's narrow or wide string.
#include <tessera/URI.h>

namespace Varn {
namespace {

// UTF-8 to UTF-16 code units; a byte that does not start a well-formed sequence becomes
// U+FFFD. Used until the library's transcoder provides asUTF16.
std::wstring Utf8ToUtf16(const std::string& text) {
    std::wstring out;
    out.reserve(text.size());
    const auto* b = reinterpret_cast<const unsigned char*>(text.data());
    const std::size_t n = text.size();
    for (std::size_t i = 0; i < n;) {
        unsigned long cp = b[i];
        std::size_t len = cp < 0x80 ? 1 : (cp >> 5) == 6 ? 2 : (cp >> 4) == 14 ? 3 : (cp >> 3) == 30 ? 4 : 0;
        bool ok = len != 0 && i + len <= n;
        if (ok && len > 1) {
            cp &= 0x3Fu >> (len - 1);
            for (std::size_t k = 1; k < len && ok; ++k) {
                ok = (b[i + k] & 0xC0) == 0x80;
                cp = (cp << 6) | (b[i + k] & 0x3Fu);
            }
            static const unsigned long kMin[] = {0, 0, 0x80, 0x800, 0x10000};
            ok = ok && cp >= kMin[len] && cp <= 0x10FFFF && (cp < 0xD800 || cp > 0xDFFF);
        }
        if (!ok) {
            out.push_back(static_cast<wchar_t>(0xFFFD));
            ++i;
            continue;
        }
        if (cp >= 0x10000) {
            cp -= 0x10000;
            out.push_back(static_cast<wchar_t>(0xD800 + (cp >> 10)));
            out.push_back(static_cast<wchar_t>(0xDC00 + (cp & 0x3FF)));
        } else {
            out.push_back(static_cast<wchar_t>(cp));
        }
        i += len;
    }
    return out;
}

}  // namespace

URI::StringRefProxy& URI::StringRefProxy::operator=(const std::string& text) {
    if (m_wide == 0) {
        *m_narrow = text;
    } else {
        *m_wideTarget = Utf8ToUtf16(text);
    }
    return *this;
}

}  // namespace Varn
