// UTF-7 read by a small state machine, in one pass, into a result sized from an estimate.
#include "platform/posix/utf7.h"

#include <algorithm>
#include <array>
#include <cstdint>

#include "unicode/sized_conversion.h"
#include "unicode/utf8_utf16_reference.h"

namespace tessera::platform::posix {
namespace {

// The six bits of a base64 character, or -1 for any other byte.
constexpr std::array<signed char, 256> kBase64Values = [] {
    std::array<signed char, 256> values{};
    for (signed char& value : values) value = -1;
    for (int i = 0; i < 64; ++i) {
        values[static_cast<unsigned char>(kUtf7Base64Digits[i])] = static_cast<signed char>(i);
    }
    return values;
}();

// Reads UTF-7 and hands `put` its UTF-16 units, at most one per byte, keeping where it
// stands between calls.
class Utf7Reader {
public:
    // Reads from `p` up to `stop` (past it by one for the "-" of "+-"); `end` ends the text.
    template <typename Put>
    void Read(const unsigned char*& p, const unsigned char* stop, const unsigned char* end, Put put) {
        while (p < stop) {
            if (m_inRun) {
                ReadInRun(*p++, put);
            } else {
                ReadOutsideRuns(p, stop, end, put);
            }
        }
    }

private:
    // Bytes that stand for themselves, up to a "+": "+-" stands for "+", another starts a run.
    template <typename Put>
    void ReadOutsideRuns(const unsigned char*& p, const unsigned char* stop, const unsigned char* end, Put put) {
        for (; p < stop && *p != '+'; ++p) put(*p);
        if (p == stop) return;
        if (++p != end && *p == '-') {
            put(u'+');
            ++p;
        } else {
            m_inRun = true;
        }
    }

    // A base64 character adds six bits, and every sixteen make a unit; any other byte ends
    // the run.
    template <typename Put>
    void ReadInRun(unsigned char byte, Put put) {
        const int value = kBase64Values[byte];
        if (value >= 0) {
            m_bits = m_bits << 6 | static_cast<std::uint32_t>(value);
            m_count += 6;
            if (m_count >= 16) {
                m_count -= 16;
                put(static_cast<char16_t>(m_bits >> m_count));
                m_bits &= (1u << m_count) - 1;
            }
            return;
        }
        m_inRun = false;
        if (byte >= 0x80) {
            put(byte);  // the bits left over wait for the next run
            return;
        }
        m_bits = 0;
        m_count = 0;
        if (byte != '-') put(byte);
    }

    bool m_inRun = false;
    std::uint32_t m_bits = 0;  // the last `m_count` bits are read and not yet written
    unsigned m_count = 0;
};

// How many UTF-16 units [p, end) gives, read on its own.
std::size_t CountUnits(const unsigned char* p, const unsigned char* end) {
    std::size_t count = 0;
    Utf7Reader().Read(p, end, end, [&](char16_t) { ++count; });
    return count;
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
    Utf7Reader reader;
    const auto convert = [&](const unsigned char*& p, const unsigned char* end, wchar_t* out, const wchar_t* outEnd) {
        const auto room = std::min(end - p, outEnd - out);
        reader.Read(p, p + room, end, [&](char16_t unit) { *out++ = static_cast<wchar_t>(unit); });
        return out;
    };
    return unicode::ConvertIntoString<std::wstring>(begin, begin + size, convert, CountUnits);
}

std::string DecodeUtf7ToUtf8(const char* data, std::size_t size) {
    const auto* const begin = reinterpret_cast<const unsigned char*>(data);
    Utf7Reader reader;
    char* out = nullptr;
    CodePointsOfUnits toUtf8([&](char32_t codePoint) { out += unicode::EncodeUtf8(codePoint, out); });
    const auto convert = [&](const unsigned char*& p, const unsigned char* end, char* chunk, const char* chunkEnd) {
        out = chunk;
        // Three bytes a unit at most, and six for the first where a high surrogate waits.
        const auto room = std::min(end - p, (chunkEnd - chunk - 6) / 3);
        reader.Read(p, p + room, end, [&](char16_t unit) { toUtf8(unit); });
        if (p == end) toUtf8.Finish();
        return out;
    };
    // The length of the UTF-8 of [p, end), read on its own.
    const auto count = [](const unsigned char* p, const unsigned char* end) {
        std::size_t length = 0;
        CodePointsOfUnits counter([&](char32_t codePoint) {
            length += codePoint < 0x80 ? 1 : codePoint < 0x800 ? 2 : codePoint < 0x10000 ? 3 : 4;
        });
        Utf7Reader().Read(p, end, end, [&](char16_t unit) { counter(unit); });
        counter.Finish();
        return length;
    };
    return unicode::ConvertIntoString<std::string>(begin, begin + size, convert, count);
}

}  // namespace tessera::platform::posix
