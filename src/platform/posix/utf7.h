// UTF-7 (code page 65000), read and written as Windows reads and writes it. iconv is not
// asked: glibc's decoder rejects every byte after a base64 run that a stray byte cut short,
// so that the rest of the text would turn into replacement characters, and its encoder
// replaces unpaired surrogates, which Windows writes, and ends runs differently.
#ifndef TESSERA_PLATFORM_POSIX_UTF7_H
#define TESSERA_PLATFORM_POSIX_UTF7_H

#include <cstddef>
#include <cstdint>
#include <string>

namespace tessera::platform::posix {

/// The code page number of UTF-7.
inline constexpr std::int32_t kUtf7CodePage = 65000;

/// The base64 digits of UTF-7, by value: "A" is 0, "/" is 63.
inline constexpr char kUtf7Base64Digits[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

/// UTF-7 to UTF-16 units. Nothing is rejected:
///
/// - outside a base64 run every byte stands for itself, 80-FF too (U+0080 to U+00FF);
///   "+-" stands for "+", and any other "+" starts a run;
/// - in a run each base64 character gives six bits, and every sixteen bits give a unit
///   (a surrogate too, paired or not);
/// - any other byte ends the run: "-" is dropped there, any other byte stands for itself;
/// - the bits a run leaves over are dropped, except where a byte 80-FF ended it: then they
///   count towards the next run. The end of the text ends a run with nothing more.
///
/// So "+AGE-x" is "ax", "+AG x" is " x" and "+AGEA-" is "a".
std::wstring DecodeUtf7(const char* data, std::size_t size);

/// The same, written as UTF-8, an unpaired surrogate as U+FFFD.
std::string DecodeUtf7ToUtf8(const char* data, std::size_t size);

/// UTF-16 units (each wchar_t read as its low 16 bits) to UTF-7:
///
/// - these characters stand for themselves: letters and digits of ASCII, the space, tab,
///   CR, LF, NUL and ' ( ) , - . / : ?  and "+" is written "+-";
/// - every run of other units (surrogates too, paired or not) is written in base64 after
///   a "+", sixteen bits a unit, the last character filled up with zero bits, and ended
///   by "-" always.
///
/// So "A€b" is "A+IKw-b" and "€€!" is "+IKwgrAAh-".
std::string EncodeUtf7(const wchar_t* data, std::size_t size);

/// The same from UTF-8, read as the library's UTF-8 conversion reads it.
std::string EncodeUtf8AsUtf7(const char* data, std::size_t size);

}  // namespace tessera::platform::posix

#endif  // TESSERA_PLATFORM_POSIX_UTF7_H
