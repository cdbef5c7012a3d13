// The platform's code-page services: its own narrow-text code page and conversion
// between UTF-16 or UTF-8 and any code page it serves.
#ifndef TESSERA_PLATFORM_CODEPAGE_H
#define TESSERA_PLATFORM_CODEPAGE_H

#include <cstddef>
#include <cstdint>
#include <string>

namespace tessera::platform {

/// The code page number of UTF-8.
inline constexpr std::int32_t kUtf8CodePage = 65001;

/// The code page of the platform's narrow text, asked now: the ANSI code page on Windows,
/// the environment locale's codeset elsewhere (65001 for UTF-8 and for the C/POSIX locale).
std::int32_t PlatformCodePage();

/// Whether the two conversions below serve this code page.
bool IsCodePageAvailable(std::int32_t codePage);

/// `size` bytes in `codePage` to UTF-16 (one code unit per element). Invalid input becomes
/// the code page's default character; empty for empty input or a code page not served.
std::wstring CodePageToUTF16(const char* data, std::size_t size, std::int32_t codePage);

/// `size` UTF-16 code units to `codePage`. Characters the code page cannot represent become
/// its default character; empty for empty input or a code page not served.
std::string UTF16ToCodePage(const wchar_t* data, std::size_t size, std::int32_t codePage);

/// `size` bytes in `codePage` to UTF-8: always the UTF-8 form of what `CodePageToUTF16`
/// gives (an unpaired surrogate as U+FFFD), whether or not the platform goes through it.
std::string CodePageToUTF8(const char* data, std::size_t size, std::int32_t codePage);

/// `size` bytes of UTF-8 to `codePage`: always what `UTF16ToCodePage` gives for the text's
/// UTF-16 form (each maximal invalid subpart as U+FFFD), whether or not the platform goes
/// through it.
std::string UTF8ToCodePage(const char* data, std::size_t size, std::int32_t codePage);

}  // namespace tessera::platform

#endif  // TESSERA_PLATFORM_CODEPAGE_H
