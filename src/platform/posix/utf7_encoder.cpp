// UTF-7 written a unit at a time, in one pass, into a result sized from an estimate.
#include "platform/posix/utf7.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <initializer_list>

#include "unicode/sized_conversion.h"
#include "unicode/utf8_utf16.h"

namespace tessera::platform::posix {
namespace {

// The characters written as themselves.
constexpr std::array<bool, 128> kDirect = [] {
    std::array<bool, 128> direct{};
    direct[0] = true;  // NUL
    for (const char c : {'\t', '\n', '\r', ' ', '\'', '(', ')', ',', '-', '.', '/', ':', '?'}) {
        direct[static_cast<unsigned char>(c)] = true;
    }
    for (char c = '0'; c <= '9'; ++c) direct[static_cast<unsigned char>(c)] = true;
    for (char c = 'A'; c <= 'Z'; ++c) direct[static_cast<unsigned char>(c)] = true;
    for (char c = 'a'; c <= 'z'; ++c) direct[static_cast<unsigned char>(c)] = true;
    return direct;
}();

// Takes UTF-16 units one at a time and hands `put` the bytes of their UTF-7 form;
// `Finish` ends the text.
template <typename Put>
class Utf7Writer {
public:
    explicit Utf7Writer(Put put) : m_put(put) {}

    void operator()(char16_t unit) {
        if (unit < 0x80 && kDirect[unit]) {
            EndRun();
            m_put(static_cast<char>(unit));
        } else if (unit == u'+') {
            EndRun();
            m_put('+');
            m_put('-');
        } else {
            if (!m_inRun) m_put('+');
            m_inRun = true;
            m_bits = m_bits << 16 | unit;
            for (m_count += 16; m_count >= 6;) {
                m_count -= 6;
                m_put(kUtf7Base64Digits[(m_bits >> m_count) & 0x3F]);
            }
            m_bits &= (1u << m_count) - 1;
        }
    }

    void Finish() { EndRun(); }

private:
    void EndRun() {
        if (!m_inRun) return;
        if (m_count > 0) m_put(kUtf7Base64Digits[(m_bits << (6 - m_count)) & 0x3F]);
        m_put('-');
        m_inRun = false;
        m_bits = 0;
        m_count = 0;
    }

    Put m_put;
    bool m_inRun = false;
    std::uint32_t m_bits = 0;  // the last `m_count` (under 6) bits are not written yet
    unsigned m_count = 0;
};

// UTF-16 units converted a window at a time: at most this many at once, each of which
// adds at most four bytes ("-+-" and a last base64 digit for "+" after a run).
constexpr std::size_t kWindowUnits = 512;
constexpr std::size_t kMostBytesPerUnit = 4;

// Calls `each(unit)` for the units of the window that starts at `p`, and moves `p` past it.
template <typename Each>
void ForWindow(const wchar_t*& p, const wchar_t* end, Each each) {
    const wchar_t* const last = p + std::min<std::size_t>(static_cast<std::size_t>(end - p), kWindowUnits);
    for (; p != last; ++p) each(static_cast<char16_t>(*p & 0xFFFF));
}

// The same for the UTF-16 form of UTF-8 text.
template <typename Each>
void ForWindow(const char*& p, const char* end, Each each) {
    wchar_t window[kWindowUnits];
    const auto* bytes = reinterpret_cast<const unsigned char*>(p);
    const wchar_t* const last =
        unicode::Utf8ToUtf16Window(bytes, reinterpret_cast<const unsigned char*>(end), window, window + kWindowUnits);
    p = reinterpret_cast<const char*>(bytes);
    for (const wchar_t* unit = window; unit != last; ++unit) each(static_cast<char16_t>(*unit));
}

// Converts [data, data + size) in one pass, a window at a time, into a result sized from
// an estimate (see ConvertIntoString).
template <typename Input>
std::string Encode(const Input* data, std::size_t size) {
    char* out = nullptr;
    Utf7Writer writer([&](char byte) { *out++ = byte; });
    const auto convert = [&](const Input*& p, const Input* end, char* chunk, const char* chunkEnd) {
        out = chunk;
        while (p != end && static_cast<std::size_t>(chunkEnd - out) >= kWindowUnits * kMostBytesPerUnit + 2) {
            ForWindow(p, end, [&](char16_t unit) { writer(unit); });
        }
        if (p == end) writer.Finish();
        return out;
    };
    const auto count = [](const Input* p, const Input* end) {
        std::size_t length = 0;
        Utf7Writer counter([&](char) { ++length; });
        while (p != end) ForWindow(p, end, [&](char16_t unit) { counter(unit); });
        counter.Finish();
        return length;
    };
    return unicode::ConvertIntoString<std::string>(data, data + size, convert, count);
}

}  // namespace

std::string EncodeUtf7(const wchar_t* data, std::size_t size) { return Encode(data, size); }

std::string EncodeUtf8AsUtf7(const char* data, std::size_t size) { return Encode(data, size); }

}  // namespace tessera::platform::posix
