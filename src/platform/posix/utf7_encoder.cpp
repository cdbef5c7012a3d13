// UTF-7 written a unit at a time, run twice: once to size the result, once to fill it.
#include "platform/posix/utf7.h"

#include <array>
#include <cstdint>
#include <initializer_list>

#include "unicode/utf8_utf16.h"

namespace tessera::platform::posix {
namespace {

constexpr char kBase64Digits[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

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
                m_put(kBase64Digits[(m_bits >> m_count) & 0x3F]);
            }
            m_bits &= (1u << m_count) - 1;
        }
    }

    void Finish() { EndRun(); }

private:
    void EndRun() {
        if (!m_inRun) return;
        if (m_count > 0) m_put(kBase64Digits[(m_bits << (6 - m_count)) & 0x3F]);
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

// Calls `each(unit)` for every UTF-16 unit of [data, data + size).
template <typename Each>
void ForEachUnit(const wchar_t* data, std::size_t size, Each each) {
    for (std::size_t i = 0; i < size; ++i) each(static_cast<char16_t>(data[i] & 0xFFFF));
}

// The same for the UTF-16 form of UTF-8 text, converted a window at a time.
template <typename Each>
void ForEachUnit(const char* data, std::size_t size, Each each) {
    constexpr std::size_t kWindow = 512;
    wchar_t window[kWindow];
    const auto* p = reinterpret_cast<const unsigned char*>(data);
    const unsigned char* const end = p + size;
    while (p != end) {
        const wchar_t* const last = unicode::Utf8ToUtf16Window(p, end, window, window + kWindow);
        for (const wchar_t* unit = window; unit != last; ++unit) each(static_cast<char16_t>(*unit));
    }
}

template <typename Input>
std::string Encode(const Input* data, std::size_t size) {
    std::size_t length = 0;
    Utf7Writer count([&](char) { ++length; });
    ForEachUnit(data, size, [&](char16_t unit) { count(unit); });
    count.Finish();
    std::string result(length, '\0');
    char* out = &result[0];
    Utf7Writer write([&](char byte) { *out++ = byte; });
    ForEachUnit(data, size, [&](char16_t unit) { write(unit); });
    write.Finish();
    return result;
}

}  // namespace

std::string EncodeUtf7(const wchar_t* data, std::size_t size) { return Encode(data, size); }

std::string EncodeUtf8AsUtf7(const char* data, std::size_t size) { return Encode(data, size); }

}  // namespace tessera::platform::posix
