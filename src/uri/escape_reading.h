// Reading one candidate percent escape, as the URI class's unescaping does.
#ifndef TESSERA_URI_ESCAPE_READING_H
#define TESSERA_URI_ESCAPE_READING_H

#include <cstddef>

namespace tessera::uri {

/// Decodes the candidate escape of the n bytes at text (the unescaper passes three).
/// Spaces are ignored; what is left must be '%' and two bytes that "%x" of formatted
/// input reads as a number (white space, optional sign, hexadecimal digits). Then out is
/// its low 8 bits and the result 3; otherwise out is the first non-space byte (NUL if
/// none) and the result 1.
unsigned int ReadEscape(const char* text, std::size_t n, char& out) noexcept;

}  // namespace tessera::uri

#endif  // TESSERA_URI_ESCAPE_READING_H
