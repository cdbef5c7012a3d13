// Corrections that make the conversions agree with Windows, found by comparing each code
// page with Windows' conversion calls. Rows of one code page stand together, in code-page
// order. The rows are data generated from that comparison: when a conversion is found to
// differ from Windows, run tools/codepage-dump/make_overrides.py (see its header), not code.
#include <algorithm>
#include <cstring>
#include <iterator>

#include "platform/posix/codepage_data.h"

namespace tessera::platform::posix {
namespace {

// clang-format off
// code page  first   last   Unicode of first
constexpr DecodeOverride kDecodeOverrides[] = {
#include "platform/posix/codepage_decode_overrides.inc"
};

// code page  code point  bytes
constexpr EncodeOverride kEncodeOverrides[] = {
#include "platform/posix/codepage_encode_overrides.inc"
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

TableRange<DecodeOverride> DecodeOverridesFor(std::int32_t codePage) { return RowsOf(kDecodeOverrides, codePage); }

TableRange<EncodeOverride> EncodeOverridesFor(std::int32_t codePage) { return RowsOf(kEncodeOverrides, codePage); }

DecodeCorrection FindDecodeCorrection(std::int32_t codePage, const unsigned char* p, std::size_t size) {
    return FindDecodeCorrection(DecodeOverridesFor(codePage), p, size);
}

DecodeCorrection FindDecodeCorrection(TableRange<DecodeOverride> rows, const unsigned char* p, std::size_t size) {
    for (const DecodeOverride& row : rows) {
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
