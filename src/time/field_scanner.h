// Reading numbers out of text by a scan pattern, with the rules of the standard scanf
// family but without its cost: the text readers of the time stamp use this instead.
#ifndef TESSERA_TIME_FIELD_SCANNER_H
#define TESSERA_TIME_FIELD_SCANNER_H

#include <cstddef>

namespace tessera::time {

/// Reads text[0, size) by pattern and stores the numbers it reads in values, in order.
/// The pattern holds "%Nd" conversions (decimal, width N from 1 to 9 characters) and
/// literal characters other than white space. As with sscanf: a conversion skips white
/// space, then takes an optional sign and at least one digit, all within its width; a
/// literal must match the next character exactly; reading stops at the first mismatch,
/// and text after the last conversion is ignored. The text ends at size or at its first
/// NUL. Returns the count of numbers stored, or -1 if the text ran out before the first
/// number was stored (sscanf's EOF).
int ScanFields(const char* text, std::size_t size, const char* pattern, int* values);

}  // namespace tessera::time

#endif
