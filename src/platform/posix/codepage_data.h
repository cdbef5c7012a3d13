// What the POSIX code-page layer knows about each code page, as data: the iconv charset
// that converts it, its default characters, its double-byte structure, the corrections
// that make a conversion agree with Windows, and the locale codesets it stands for.
#ifndef TESSERA_PLATFORM_POSIX_CODEPAGE_DATA_H
#define TESSERA_PLATFORM_POSIX_CODEPAGE_DATA_H

#include <cstdint>

namespace tessera::platform::posix {

/// How a code page is converted.
enum class CodePageForm : std::uint8_t {
    kSingleByte,  ///< one byte per character: a 256-entry table built from iconv and
                  ///< corrected, used both ways (encoding inverts it)
    kMultiByte,   ///< iconv streams the text; corrections apply where iconv rejects input
};

/// One code page the layer can name.
struct CodePageCharset {
    std::int32_t codePage;
    CodePageForm form;
    const char* charset;        ///< iconv charset; nullptr: glibc has none, not served
    const char* encodeCharset;  ///< multi-byte only: iconv charset for UTF-16 to bytes
                                ///< where it differs from `charset`, else nullptr
    const char* defaultBytes;   ///< replaces a character the code page cannot represent
    char16_t defaultUnicode;    ///< replaces a byte sequence that is invalid in the code page
};

/// Lead and trail byte ranges of a double-byte code page: an invalid pair (a lead byte
/// followed by a trail byte) is replaced as one character; a lone lead byte on its own.
struct DoubleByteRanges {
    std::int32_t codePage;
    const char* leadRanges;   ///< pairs of bytes: first, last of each range
    const char* trailRanges;  ///< pairs of bytes: first, last of each range
};

/// A byte sequence (one or two bytes, no NUL) that decodes to `unit` in place of what
/// iconv gives (single-byte pages) or where iconv rejects it (multi-byte pages).
struct DecodeOverride {
    std::int32_t codePage;
    const char* bytes;
    char16_t unit;
};

/// A character that encodes to `bytes` (no NUL) in place of what iconv gives (single-byte
/// pages) or where iconv cannot represent it (multi-byte pages): Windows' best fits.
struct EncodeOverride {
    std::int32_t codePage;
    char32_t codePoint;
    const char* bytes;
};

/// A locale codeset name (as nl_langinfo(CODESET) gives it) and its code page.
struct CodesetCodePage {
    const char* codeset;
    std::int32_t codePage;
};

/// Half-open range [begin, end) of a table.
template <typename T>
struct TableRange {
    const T* begin_;
    const T* end_;
    const T* begin() const { return begin_; }
    const T* end() const { return end_; }
    bool empty() const { return begin_ == end_; }
};

/// The charset row of a code page, or nullptr when the layer does not know it.
const CodePageCharset* FindCodePageCharset(std::int32_t codePage);
/// The double-byte ranges of a code page, or nullptr for other code pages.
const DoubleByteRanges* FindDoubleByteRanges(std::int32_t codePage);
/// Every decode correction of a code page.
TableRange<DecodeOverride> DecodeOverridesFor(std::int32_t codePage);
/// Every encode correction of a code page.
TableRange<EncodeOverride> EncodeOverridesFor(std::int32_t codePage);
/// The code page of a locale codeset; 65001 for a codeset the table does not know.
std::int32_t CodePageForCodeset(const char* codeset);

/// Every charset row, in code-page order (for listings and tests).
TableRange<CodePageCharset> AllCodePageCharsets();

}  // namespace tessera::platform::posix

#endif  // TESSERA_PLATFORM_POSIX_CODEPAGE_DATA_H
