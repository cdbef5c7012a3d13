// Writing decimal numbers the way printf's "%d" and "%0Nd" write them, into a caller's
// buffer, without the cost of the printf family.
#ifndef TESSERA_TIME_FIELD_WRITER_H
#define TESSERA_TIME_FIELD_WRITER_H

namespace tessera::time {

/// Longest text WriteDecimal produces for a width up to 4: "-2147483648".
constexpr int kMaxDecimalLength = 11;

/// Writes value at out as printf writes it with "%0<width>d" (width 0 is plain "%d"):
/// a minus sign if negative, then zeros up to width characters in all, then the digits.
/// Returns the end of what was written (at most max(width, 11) characters).
char* WriteDecimal(char* out, int value, int width);

}  // namespace tessera::time

#endif
