// Corrections that make the conversions agree with Windows, found by comparing each code
// page with Windows' conversion calls. Rows of one code page stand together, in code-page
// order. When a conversion is found to differ from Windows, add a row here, not code.
#include <algorithm>
#include <cstring>
#include <iterator>

#include "codepage_data.h"

namespace tessera::platform::posix {
namespace {

// clang-format off
// code page  first   last   Unicode of first
constexpr DecodeOverride kDecodeOverrides[] = {
    {708, "\x80", "\x80", 0x2502}, {708, "\x81", "\x81", 0x2524}, {708, "\x82", "\x82", 0x00E9},
    {708, "\x83", "\x83", 0x00E2}, {708, "\x84", "\x84", 0x2561}, {708, "\x85", "\x85", 0x00E0},
    {708, "\x86", "\x86", 0x2562}, {708, "\x87", "\x87", 0x00E7}, {708, "\x88", "\x89", 0x00EA},
    {708, "\x8A", "\x8A", 0x00E8}, {708, "\x8B", "\x8B", 0x00EF}, {708, "\x8C", "\x8C", 0x00EE},
    {708, "\x8D", "\x8D", 0x2556}, {708, "\x8E", "\x8E", 0x2555}, {708, "\x8F", "\x8F", 0x2563},
    {708, "\x90", "\x90", 0x2551}, {708, "\x91", "\x91", 0x2557}, {708, "\x92", "\x92", 0x255D},
    {708, "\x93", "\x93", 0x00F4}, {708, "\x94", "\x94", 0x255C}, {708, "\x95", "\x95", 0x255B},
    {708, "\x96", "\x96", 0x00FB}, {708, "\x97", "\x97", 0x00F9}, {708, "\x98", "\x98", 0x2510},
    {708, "\x99", "\x99", 0x2514}, {708, "\xA0", "\xA0", 0xF8C1}, {708, "\xA1", "\xA1", 0x2534},
    {708, "\xA2", "\xA2", 0x252C}, {708, "\xA3", "\xA3", 0x251C}, {708, "\xA5", "\xA5", 0x2500},
    {708, "\xA6", "\xA6", 0x253C}, {708, "\xA7", "\xA8", 0x255E}, {708, "\xA9", "\xA9", 0x255A},
    {708, "\xAA", "\xAA", 0x2554}, {708, "\xAB", "\xAB", 0x2569}, {708, "\xAD", "\xAD", 0x2566},
    {708, "\xAE", "\xAE", 0x00AB}, {708, "\xAF", "\xAF", 0x00BB}, {708, "\xB0", "\xB2", 0x2591},
    {708, "\xB3", "\xB3", 0x2560}, {708, "\xB4", "\xB4", 0x2550}, {708, "\xB5", "\xB5", 0x256C},
    {708, "\xB6", "\xB7", 0x2567}, {708, "\xB8", "\xB9", 0x2564}, {708, "\xBA", "\xBA", 0x2559},
    {708, "\xBC", "\xBC", 0x2558}, {708, "\xBD", "\xBE", 0x2552}, {708, "\xC0", "\xC0", 0x256B},
    {708, "\xDB", "\xDB", 0x2588}, {708, "\xDC", "\xDC", 0x2584}, {708, "\xDD", "\xDD", 0x258C},
    {708, "\xDE", "\xDE", 0x2590}, {708, "\xDF", "\xDF", 0x2580}, {708, "\xF3", "\xF8", 0xF8C2},
    {708, "\xF9", "\xF9", 0x256A}, {708, "\xFA", "\xFA", 0x2518}, {708, "\xFB", "\xFB", 0x250C},
    {708, "\xFC", "\xFC", 0x00B5}, {708, "\xFD", "\xFD", 0x00A3}, {708, "\xFE", "\xFE", 0x25A0},
    {708, "\xFF", "\xFF", 0x00A0},
    {857, "\xD5", "\xD5", 0xF8BB}, {857, "\xE7", "\xE7", 0xF8BC}, {857, "\xF2", "\xF2", 0xF8BD},
    {864, "\x25", "\x25", 0x0025}, {864, "\x9B", "\x9C", 0x009B}, {864, "\x9F", "\x9F", 0x009F},
    {864, "\xA6", "\xA7", 0xF8BE}, {864, "\xFF", "\xFF", 0xF8C0},
    {869, "\x80", "\x85", 0x0080}, {869, "\x87", "\x87", 0x0087}, {869, "\x93", "\x94", 0x0093},
    {874, "\x81", "\x84", 0x0081}, {874, "\x86", "\x90", 0x0086}, {874, "\x98", "\x9F", 0x0098},
    {874, "\xDB", "\xDE", 0xF8C1}, {874, "\xFC", "\xFF", 0xF8C5},
    {875, "\x6A", "\x6A", 0x007C}, {875, "\x74", "\x74", 0x00A0}, {875, "\xDC", "\xDC", 0x001A},
    {875, "\xDD", "\xDD", 0x0387}, {875, "\xE1", "\xE1", 0x001A}, {875, "\xEC", "\xEC", 0x001A},
    {875, "\xED", "\xED", 0x001A}, {875, "\xFC", "\xFC", 0x001A}, {875, "\xFD", "\xFD", 0x001A},
    {932, "\x80", "\x80", 0x0080}, {932, "\xA0", "\xA0", 0xF8F0}, {932, "\xFD", "\xFF", 0xF8F1},
    {936, "\xFF", "\xFF", 0xF8F5},
    {949, "\x80", "\x80", 0x0080}, {949, "\xC9\xA1", "\xC9\xFE", 0xE000},
    {949, "\xFE\xA1", "\xFE\xFE", 0xE05E}, {949, "\xFF", "\xFF", 0xF8F7},
    {950, "\xFF", "\xFF", 0xF8F8},
    {1026, "\x9D", "\x9D", 0x00B8}, {1026, "\xBC", "\xBC", 0x00AF},
    {1250, "\x81", "\x81", 0x0081}, {1250, "\x83", "\x83", 0x0083}, {1250, "\x88", "\x88", 0x0088},
    {1250, "\x90", "\x90", 0x0090}, {1250, "\x98", "\x98", 0x0098},
    {1251, "\x98", "\x98", 0x0098},
    {1252, "\x81", "\x81", 0x0081}, {1252, "\x8D", "\x8D", 0x008D}, {1252, "\x8F", "\x90", 0x008F},
    {1252, "\x9D", "\x9D", 0x009D},
    {1253, "\x81", "\x81", 0x0081}, {1253, "\x88", "\x88", 0x0088}, {1253, "\x8A", "\x8A", 0x008A},
    {1253, "\x8C", "\x90", 0x008C}, {1253, "\x98", "\x98", 0x0098}, {1253, "\x9A", "\x9A", 0x009A},
    {1253, "\x9C", "\x9F", 0x009C}, {1253, "\xAA", "\xAA", 0xF8F9}, {1253, "\xD2", "\xD2", 0xF8FA},
    {1253, "\xFF", "\xFF", 0xF8FB},
    {1254, "\x81", "\x81", 0x0081}, {1254, "\x8D", "\x90", 0x008D}, {1254, "\x9D", "\x9E", 0x009D},
    {1255, "\x81", "\x81", 0x0081}, {1255, "\x8A", "\x8A", 0x008A}, {1255, "\x8C", "\x90", 0x008C},
    {1255, "\x9A", "\x9A", 0x009A}, {1255, "\x9C", "\x9F", 0x009C}, {1255, "\xCA", "\xCA", 0x05BA},
    {1255, "\xD9", "\xDF", 0xF88D}, {1255, "\xFB", "\xFC", 0xF894}, {1255, "\xFF", "\xFF", 0xF896},
    {1257, "\x81", "\x81", 0x0081}, {1257, "\x83", "\x83", 0x0083}, {1257, "\x88", "\x88", 0x0088},
    {1257, "\x8A", "\x8A", 0x008A}, {1257, "\x8C", "\x8C", 0x008C}, {1257, "\x90", "\x90", 0x0090},
    {1257, "\x98", "\x98", 0x0098}, {1257, "\x9A", "\x9A", 0x009A}, {1257, "\x9C", "\x9C", 0x009C},
    {1257, "\x9F", "\x9F", 0x009F}, {1257, "\xA1", "\xA1", 0xF8FC}, {1257, "\xA5", "\xA5", 0xF8FD},
    {1258, "\x81", "\x81", 0x0081}, {1258, "\x8A", "\x8A", 0x008A}, {1258, "\x8D", "\x90", 0x008D},
    {1258, "\x9A", "\x9A", 0x009A}, {1258, "\x9D", "\x9E", 0x009D},
    {1361, "\x5C", "\x5C", 0x005C}, {1361, "\x80", "\x83", 0x0080}, {1361, "\xD4", "\xD7", 0xF8EC},
    {1361, "\xDF", "\xDF", 0xF8F0}, {1361, "\xFA", "\xFF", 0xF8F1},
    {10000, "\xBD", "\xBD", 0x2126}, {10000, "\xC6", "\xC6", 0x2206},
    {10000, "\xF0", "\xF0", 0xF8FF},
    {10007, "\xA2", "\xA2", 0x00A2}, {10007, "\xB6", "\xB6", 0x2202},
    {10079, "\xA0", "\xA0", 0x00DD}, {10079, "\xBD", "\xBD", 0x2126},
    {10079, "\xC6", "\xC6", 0x2206}, {10079, "\xD0", "\xD1", 0x2013},
    {10079, "\xD7", "\xD7", 0x25CA}, {10079, "\xDC", "\xDC", 0x00D0},
    {10079, "\xDD", "\xDD", 0x00F0}, {10079, "\xE0", "\xE0", 0x00FD},
    {10079, "\xF0", "\xF0", 0xF8FF}, {10079, "\xF6", "\xF6", 0x02C6},
    {10079, "\xF7", "\xF7", 0x02DC},
    {20127, "\x80", "\xFF", 0x0000},
    {21866, "\xAE", "\xAE", 0x045E}, {21866, "\xBE", "\xBE", 0x040E},
    {28593, "\xA5", "\xA5", 0xF7F5}, {28593, "\xAE", "\xAE", 0xF7F6},
    {28593, "\xBE", "\xBE", 0xF7F7}, {28593, "\xC3", "\xC3", 0xF7F8},
    {28593, "\xD0", "\xD0", 0xF7F9}, {28593, "\xE3", "\xE3", 0xF7FA},
    {28593, "\xF0", "\xF0", 0xF7FB},
    {28596, "\xA1", "\xA3", 0xF7C8}, {28596, "\xA5", "\xAB", 0xF7CB},
    {28596, "\xAE", "\xBA", 0xF7D2}, {28596, "\xBC", "\xBE", 0xF7DF},
    {28596, "\xC0", "\xC0", 0xF7E2}, {28596, "\xDB", "\xDF", 0xF7E3},
    {28596, "\xF3", "\xFF", 0xF7E8},
    {28597, "\xA1", "\xA1", 0x02BD}, {28597, "\xA2", "\xA2", 0x02BC},
    {28597, "\xA4", "\xA5", 0xF7C2}, {28597, "\xAA", "\xAA", 0xF7C4},
    {28597, "\xAE", "\xAE", 0xF7C5}, {28597, "\xD2", "\xD2", 0xF7C6},
    {28597, "\xFF", "\xFF", 0xF7C7},
    {28598, "\xA1", "\xA1", 0xF79C}, {28598, "\xAF", "\xAF", 0x203E},
    {28598, "\xBF", "\xDE", 0xF79D}, {28598, "\xFB", "\xFF", 0xF7BD},
    {65000, "\x80", "\xFF", 0x0080},
};

// code page  code point  bytes
constexpr EncodeOverride kEncodeOverrides[] = {
    // Windows-1252 writes Latin letters with diacritics it lacks as the bare letter.
    {1252, U'\u0100', "A"}, {1252, U'\u0101', "a"}, {1252, U'\u0102', "A"}, {1252, U'\u0103', "a"},
    {1252, U'\u0104', "A"}, {1252, U'\u0105', "a"}, {1252, U'\u0106', "C"}, {1252, U'\u0107', "c"},
};
// clang-format on

template <typename T, std::size_t N>
constexpr bool GroupedByCodePage(const T (&table)[N]) {
    for (std::size_t i = 1; i < N; ++i) {
        if (table[i].codePage < table[i - 1].codePage) return false;
    }
    return true;
}
static_assert(GroupedByCodePage(kDecodeOverrides), "decode corrections are in code-page order");
static_assert(GroupedByCodePage(kEncodeOverrides), "encode corrections are in code-page order");

template <typename T, std::size_t N>
TableRange<T> RowsOf(const T (&table)[N], std::int32_t codePage) {
    struct Less {
        bool operator()(const T& row, std::int32_t cp) const { return row.codePage < cp; }
        bool operator()(std::int32_t cp, const T& row) const { return cp < row.codePage; }
    };
    auto [first, last] = std::equal_range(std::begin(table), std::end(table), codePage, Less{});
    return {first, last};
}

}  // namespace

TableRange<DecodeOverride> DecodeOverridesFor(std::int32_t codePage) {
    return RowsOf(kDecodeOverrides, codePage);
}

TableRange<EncodeOverride> EncodeOverridesFor(std::int32_t codePage) {
    return RowsOf(kEncodeOverrides, codePage);
}

DecodeCorrection FindDecodeCorrection(std::int32_t codePage, const unsigned char* p, std::size_t size) {
    for (const DecodeOverride& row : DecodeOverridesFor(codePage)) {
        const std::size_t n = std::strlen(row.first);
        if (n > size || std::memcmp(p, row.first, n - 1) != 0) continue;
        const auto low = static_cast<unsigned char>(row.first[n - 1]);
        const auto high = static_cast<unsigned char>(row.last[n - 1]);
        if (p[n - 1] >= low && p[n - 1] <= high) {
            return {static_cast<char16_t>(row.unit + (p[n - 1] - low)), n};
        }
    }
    return {0, 0};
}

}  // namespace tessera::platform::posix
