// UTF-7 read by a small state machine, run twice: once to size the result, once to fill it.
#include "platform/posix/utf7.h"

#include <array>

#include "unicode/utf8_utf16_reference.h"

namespace tessera::platform::posix {
namespace {

// The six bits of a base64 character, or -1 for any other byte.
constexpr std::array<signed char, 256> kBase64Values = [] {
    std::array<signed char, 256> values{};
    for (signed char& value : values) value = -1;
    const char alphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    for (int i = 0; i < 64; ++i) values[static_cast<unsigned char>(alphabet[i])] = static_cast<signed char>(i);
    return values;
}();

// Calls `put(unit)` for every UTF-16 unit of the UTF-7 text [p, end).
template <typename Put>
void ForEachUnit(const unsigned char* p, const unsigned char* const end, Put put) {
    std::uint32_t bits = 0;  // the last `count` bits are read and not yet written
    unsigned count = 0;
    while (p != end) {
        const unsigned char byte = *p++;
        if (byte != '+') {
            put(byte);
            continue;
        }
        if (p != end && *p == '-') {
            put(u'+');
            ++p;
            continue;
        }
        for (; p != end && kBase64Values[*p] >= 0; ++p) {
            bits = bits << 6 | static_cast<std::uint32_t>(kBase64Values[*p]);
            count += 6;
            if (count >= 16) {
                count -= 16;
                put(static_cast<char16_t>(bits >> count));
                bits &= (1u << count) - 1;
            }
        }
        if (p == end) break;
        const unsigned char ender = *p++;
        if (ender >= 0x80) {
            put(ender);  // the bits left over wait for the next run
            continue;
        }
        bits = 0;
        count = 0;
        if (ender != '-') put(ender);
    }
}

// Takes UTF-16 units one at a time and hands `write` the code points they stand for: a
// surrogate pair as one, an unpaired surrogate as U+FFFD. `Finish` ends the text.
template <typename Write>
class CodePointsOfUnits {
public:
    explicit CodePointsOfUnits(Write write) : m_write(write) {}

    void operator()(char16_t unit) {
        if (m_high != 0) {
            const char16_t high = m_high;
            m_high = 0;
            if (unicode::IsLowSurrogate(unit)) {
                m_write(unicode::CodePointOfPair(high, unit));
                return;
            }
            m_write(unicode::kReplacementCharacter);
        }
        if (unicode::IsHighSurrogate(unit)) {
            m_high = unit;
        } else {
            m_write(unicode::IsLowSurrogate(unit) ? unicode::kReplacementCharacter : char32_t{unit});
        }
    }

    void Finish() {
        if (m_high != 0) m_write(unicode::kReplacementCharacter);
        m_high = 0;
    }

private:
    Write m_write;
    char16_t m_high = 0;  // a high surrogate waiting for its low one
};

}  // namespace

std::wstring DecodeUtf7(const char* data, std::size_t size) {
    const auto* const begin = reinterpret_cast<const unsigned char*>(data);
    std::size_t length = 0;
    ForEachUnit(begin, begin + size, [&](char16_t) { ++length; });
    std::wstring result(length, L'\0');
    wchar_t* out = &result[0];
    ForEachUnit(begin, begin + size, [&](char16_t unit) { *out++ = static_cast<wchar_t>(unit); });
    return result;
}

std::string DecodeUtf7ToUtf8(const char* data, std::size_t size) {
    const auto* const begin = reinterpret_cast<const unsigned char*>(data);
    std::size_t length = 0;
    CodePointsOfUnits count([&](char32_t codePoint) {
        length += codePoint < 0x80 ? 1 : codePoint < 0x800 ? 2 : codePoint < 0x10000 ? 3 : 4;
    });
    ForEachUnit(begin, begin + size, [&](char16_t unit) { count(unit); });
    count.Finish();
    std::string result(length, '\0');
    char* out = &result[0];
    CodePointsOfUnits write([&](char32_t codePoint) { out += unicode::EncodeUtf8(codePoint, out); });
    ForEachUnit(begin, begin + size, [&](char16_t unit) { write(unit); });
    write.Finish();
    return result;
}

}  // namespace tessera::platform::posix
