// Reading a code page number out of a name of the form "windows-1252" or "x-windows-949".
#ifndef TESSERA_ENCODING_CODE_PAGE_SCAN_H
#define TESSERA_ENCODING_CODE_PAGE_SCAN_H

#include <cstdint>
#include <optional>
#include <string>

namespace tessera::encoding {

/// Reads `text` as the scan pattern "<prefix>%ld" reads it: `prefix` must match from the
/// first character, case-sensitively; then white space is skipped and an optionally signed
/// decimal number is read. Text after the number is ignored, and reading stops at the first
/// NUL as a C string would. A number beyond the range of a 32-bit long reads as its
/// nearest limit. Gives nothing when no digit follows the prefix.
std::optional<std::int32_t> ScanCodePage(const std::string& text, const char* prefix);

}  // namespace tessera::encoding

#endif  // TESSERA_ENCODING_CODE_PAGE_SCAN_H
