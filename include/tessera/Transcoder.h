// Text conversion between UTF-8, UTF-16 and named character sets.
#ifndef TESSERA_TRANSCODER_H
#define TESSERA_TRANSCODER_H

#include <stdexcept>
#include <string>

#include <tessera/Export.h>

namespace Varn {

/// Thrown when a conversion is asked for an encoding name the registry does not know.
class TESSERA_API UnknownEncoding : public std::invalid_argument {
public:
    explicit UnknownEncoding(const std::string& name);
    /// The name that could not be resolved.
    const std::string& name() const noexcept { return m_name; }

private:
    std::string m_name;
};

/// Converts text between UTF-8, UTF-16 (one code unit per wchar_t element) and the
/// character sets of the encoding registry. Conversions never stop early: characters
/// that are invalid or cannot be represented are replaced. An empty result stands for
/// empty input or an encoding this platform cannot convert.
class TESSERA_API Transcoder {
public:
    /// UTF-16 to UTF-8; an unpaired surrogate becomes U+FFFD.
    static std::string UTF16ToUTF8(const std::wstring& text);
    /// UTF-8 to UTF-16; each invalid sequence becomes U+FFFD.
    static std::wstring UTF8ToUTF16(const std::string& text);
    /// Same as UTF16ToUTF8.
    static std::string asUTF8(const std::wstring& text);
    /// Same as UTF8ToUTF16.
    static std::wstring asUTF16(const std::string& text);

    /// UTF-16 to the named encoding; throws UnknownEncoding for an unknown name.
    static std::string UTF16ToEncoding(const std::wstring& text, const std::string& encoding);
    /// The named encoding to UTF-16; throws UnknownEncoding for an unknown name.
    static std::wstring EncodingToUTF16(const std::string& text, const std::string& encoding);
    /// UTF-8 to the named encoding; throws UnknownEncoding for an unknown name.
    static std::string UTF8ToEncoding(const std::string& text, const std::string& encoding);
    /// The named encoding to UTF-8; throws UnknownEncoding for an unknown name.
    static std::string EncodingToUTF8(const std::string& text, const std::string& encoding);

    /// UTF-16 to the encoding file names use on this system.
    static std::string asFilesystemString(const std::wstring& text);
    /// A file name in the system's encoding to UTF-16.
    static std::wstring filesytemToUTF16(const std::string& text);

    /// Name of the platform's current code page (the user's locale codeset elsewhere).
    static std::string PlatformEncoding();
    /// The encoding used for file names and channels; same as PlatformEncoding().
    static std::string DefaultChannelEncoding();
    /// Whether the registry resolves this encoding name.
    static bool IsValidEncoding(const std::string& encoding);
};

}  // namespace Varn

#endif  // TESSERA_TRANSCODER_H
