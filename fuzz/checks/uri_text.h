// Small text predicates the URI checks share.
#ifndef TESSERA_FUZZ_URI_TEXT_H
#define TESSERA_FUZZ_URI_TEXT_H

#include <string>

#include <tessera/URI.h>

namespace tessera::fuzz {

/// Whether every '%' in text starts an escape of two upper-case hexadecimal digits.
bool EscapesWellFormed(const std::string& text);

/// Whether text holds a control byte (0x01-0x1F, 0x7F) or a space; the escape sets
/// leave the byte 0x00 raw.
bool HasControlOrSpace(const std::string& text);

/// Whether text holds an ASCII upper-case letter.
bool HasUpperCase(const std::string& text);

/// All components and flags of a URI, to tell whether an operation changed it.
std::string Snapshot(const Varn::URI& uri);

/// Whether uri is in the default state: "unknown:", every component empty, flags false.
bool IsDefaultState(const Varn::URI& uri);

}  // namespace tessera::fuzz

#endif
