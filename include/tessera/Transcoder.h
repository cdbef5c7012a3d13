/// \file
/// Varn::Transcoder: text conversion between UTF-8, UTF-16 and the named character sets of
/// the encoding registry; and Varn::UnknownEncoding, thrown for a name it does not know.
#ifndef TESSERA_TRANSCODER_H
#define TESSERA_TRANSCODER_H

#include <stdexcept>
#include <string>

#include <tessera/Export.h>

namespace Varn {

/// Thrown by the conversions that take an encoding name, and by the URI operations that
/// pass one on, when the registry does not know the name. A `std::invalid_argument`
/// whose `what()` quotes the name: `unknown encoding 'UTF-8'`.
class TESSERA_API UnknownEncoding : public std::invalid_argument {
public:
    /// The exception for the unknown encoding `name`.
    explicit UnknownEncoding(const std::string& name);
    /// The name that could not be resolved, exactly as the caller gave it.
    const std::string& name() const noexcept { return m_name; }

private:
    std::string m_name;
};

/// Converts text between UTF-8 (`std::string`), UTF-16 (`std::wstring`, one UTF-16 code
/// unit per element, also where `wchar_t` is 32 bits wide) and the character sets of the
/// encoding registry. A character set is named by one of the registry's labels ("utf-8",
/// "shift_jis", "iso-8859-2", "Windows-1252", "Western European (Windows)", ...), exactly
/// and case-sensitively ("UTF-8" is unknown), or as "windows-N" or "x-windows-N" for
/// the Windows code page N. `tessera encodings` lists every label; docs/encodings.md
/// tells how they resolve ("iso-8859-1", "latin1" and "us-ascii" stand for Windows-1252).
///
/// ```
/// const std::string utf8 = "Gr\xC3\xBC\xC3\x9F" "e";                             // "Grüße"
/// Varn::Transcoder::UTF8ToEncoding(utf8, "iso-8859-1");       // 5 bytes: 'G' 'r' FC DF 'e'
/// Varn::Transcoder::UTF8ToUTF16(utf8);                        // 5 code units
/// Varn::Transcoder::UTF8ToEncoding(utf8, "UTF-8");            // throws Varn::UnknownEncoding
/// Varn::Transcoder::IsValidEncoding("shift_jis");             // true
/// ```
///
/// Conversions never stop early and report nothing about the text: an invalid byte
/// sequence and a character the target cannot represent are replaced by a default
/// character (U+FFFD for invalid UTF-8, '?' for a character an ASCII-based code page
/// lacks) and the conversion goes on. Lengths come from the strings, so a NUL is
/// converted like any other character. An empty result stands for empty input or for an
/// encoding this platform does not convert ("utf-16", whose code page 1200 has the UTF-16
/// operations instead, or a number that names no code page).
///
/// The class has static members only. The registry is built when the library is loaded
/// and never changes, so every operation may be called from any thread at any time.
class TESSERA_API Transcoder {
public:
    /// UTF-16 to UTF-8. A surrogate pair becomes one four-byte character; an unpaired
    /// surrogate becomes U+FFFD.
    static std::string UTF16ToUTF8(const std::wstring& text);
    /// UTF-8 to UTF-16. A character above U+FFFF becomes a surrogate pair; each invalid or
    /// truncated byte sequence becomes U+FFFD.
    static std::wstring UTF8ToUTF16(const std::string& text);
    /// The same as UTF16ToUTF8.
    static std::string asUTF8(const std::wstring& text);
    /// The same as UTF8ToUTF16.
    static std::wstring asUTF16(const std::string& text);

    /// UTF-16 to the named `encoding`. Each UTF-16 unit that the encoding cannot represent
    /// becomes its default character, so an emoji written to "iso-8859-2" becomes "??".
    /// Empty for empty text and for an encoding this platform cannot convert to
    /// ("utf-16", "windows-99999"). Throws UnknownEncoding for a name the registry does
    /// not know.
    static std::string UTF16ToEncoding(const std::wstring& text, const std::string& encoding);
    /// Text in the named `encoding` to UTF-16; bytes that are invalid in the encoding
    /// become its default character. Empty for empty text and for an encoding this
    /// platform cannot convert from. Throws UnknownEncoding for a name the registry does
    /// not know.
    static std::wstring EncodingToUTF16(const std::string& text, const std::string& encoding);
    /// UTF-8 to the named `encoding`, through UTF-16 as UTF16ToEncoding converts: valid
    /// UTF-8 converted to "utf-8" comes back unchanged. Throws UnknownEncoding for a name
    /// the registry does not know.
    static std::string UTF8ToEncoding(const std::string& text, const std::string& encoding);
    /// Text in the named `encoding` to UTF-8, through UTF-16 as EncodingToUTF16 converts.
    /// Throws UnknownEncoding for a name the registry does not know.
    static std::string EncodingToUTF8(const std::string& text, const std::string& encoding);

    /// UTF-16 to the encoding of narrow file names on this system (DefaultChannelEncoding);
    /// characters it cannot represent are replaced. Never throws UnknownEncoding.
    static std::string asFilesystemString(const std::wstring& text);
    /// A narrow file name in the encoding of DefaultChannelEncoding() to UTF-16. Never
    /// throws UnknownEncoding.
    static std::wstring filesytemToUTF16(const std::string& text);

    /// The registry's name of the platform's code page: on Windows the ANSI code page
    /// ("Windows-1252" for 1252); elsewhere the code page of the environment locale's
    /// codeset (`LC_ALL`, else `LC_CTYPE`, else `LANG`), read once when the library is
    /// loaded, where UTF-8 and the C and POSIX locales give "utf-8". A code page that has
    /// no label is named "x-windows-N".
    static std::string PlatformEncoding();
    /// The encoding of narrow file names and channels: the same as PlatformEncoding().
    static std::string DefaultChannelEncoding();
    /// Whether the conversions accept the name `encoding` without throwing: a label of the
    /// registry, exactly as written ("utf-8" is, "UTF-8" and " utf-8" are not), or
    /// "windows-N" or "x-windows-N" for any number N. True does not promise that this
    /// platform converts the code page: "windows-99999" is valid, and converts to empty
    /// text.
    static bool IsValidEncoding(const std::string& encoding);
};

}  // namespace Varn

#endif  // TESSERA_TRANSCODER_H
