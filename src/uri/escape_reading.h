// Reading percent escapes, as the URI class's unescaping does: one candidate escape, and a whole text.
#ifndef TESSERA_URI_ESCAPE_READING_H
#define TESSERA_URI_ESCAPE_READING_H

#include <cstddef>
#include <string>
#include <string_view>

namespace tessera::uri {

/// Decodes the candidate escape of the n bytes at text (the unescaper passes three).
/// Spaces are ignored; what is left must be '%' and two bytes that "%x" of formatted
/// input reads as a number (white space, optional sign, hexadecimal digits). Then out is
/// its low 8 bits and the result 3; otherwise out is the first non-space byte (NUL if
/// none) and the result 1.
unsigned int ReadEscape(const char* text, std::size_t n, char& out) noexcept;

/// text with its escapes decoded (only those of bytes 0x80-0xFF if onlyHighBytes): what
/// URI::Unescape returns. A '%' that does not start an escape stays.
std::string UnescapeText(std::string_view text, bool onlyHighBytes);

}  // namespace tessera::uri

#endif  // TESSERA_URI_ESCAPE_READING_H
