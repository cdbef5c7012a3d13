// The built-in table of encoding names and the code pages they stand for.
#ifndef TESSERA_ENCODING_ENCODING_TABLE_H
#define TESSERA_ENCODING_ENCODING_TABLE_H

#include <cstddef>
#include <cstdint>

namespace tessera::encoding {

/// One row of the encoding table: a charset label or display name and its code page.
struct EncodingRow {
    const char* name;
    std::int32_t codePage;
};

/// Every row in table order (396 rows; 374 distinct names, 118 distinct code pages).
inline constexpr EncodingRow kEncodingTable[] = {
#include "encoding/encoding_table.inc"
};

inline constexpr std::size_t kEncodingTableSize = sizeof kEncodingTable / sizeof kEncodingTable[0];
static_assert(kEncodingTableSize == 396, "the encoding table has 396 rows");

}  // namespace tessera::encoding

#endif  // TESSERA_ENCODING_ENCODING_TABLE_H
