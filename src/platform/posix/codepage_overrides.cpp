// Corrections that make the iconv-based conversions agree with Windows. Each row names a
// code page; rows of one code page stand together, in code-page order. Add a row here,
// not code, when a conversion is found to differ from Windows.
#include <algorithm>
#include <iterator>

#include "codepage_data.h"

namespace tessera::platform::posix {
namespace {

// clang-format off
// code page  bytes    Unicode
constexpr DecodeOverride kDecodeOverrides[] = {
    // Windows-1250, 1251 and 1252 pass their unassigned bytes through as C1 controls.
    {1250, "\x81", u'\u0081'}, {1250, "\x83", u'\u0083'}, {1250, "\x88", u'\u0088'},
    {1250, "\x90", u'\u0090'}, {1250, "\x98", u'\u0098'},
    {1251, "\x98", u'\u0098'},
    {1252, "\x81", u'\u0081'}, {1252, "\x8D", u'\u008D'}, {1252, "\x8F", u'\u008F'},
    {1252, "\x90", u'\u0090'}, {1252, "\x9D", u'\u009D'},
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

}  // namespace tessera::platform::posix
