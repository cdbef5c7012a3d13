// What the POSIX code-page layer knows about each code page, as data: the iconv charset
// that converts it, its default characters, its lead bytes, the corrections that make a
// conversion agree with Windows, and the locale codesets that stand for code pages.
#ifndef TESSERA_PLATFORM_POSIX_CODEPAGE_DATA_H
#define TESSERA_PLATFORM_POSIX_CODEPAGE_DATA_H

#include <cstddef>
#include <cstdint>

namespace tessera::platform::posix {

/// How a code page is converted.
enum class CodePageForm : std::uint8_t {
    kSingleByte,  ///< tables of every byte, read from iconv and corrected; used both ways
    kDoubleByte,  ///< tables of every byte and every lead-byte pair, read from iconv and corrected
    kStream,      ///< iconv converts the text; corrections apply where iconv rejects input
};

/// One code page the layer can name.
struct CodePageCharset {
    std::int32_t codePage;
    CodePageForm form;
    const char* charset;        ///< iconv charset; nullptr: glibc has none, not served
    const char* encodeCharset;  ///< stream form only: the iconv charset for UTF-16 to bytes
                                ///< where it differs from `charset`, else nullptr
    const char* defaultBytes;   ///< replaces a character the code page cannot represent
    char16_t defaultUnicode;    ///< replaces a byte sequence that is invalid in the code page
};

/// The lead bytes of a double-byte code page: a lead byte and the byte after it are one
/// character (the default character when the pair has no mapping); a lead byte that ends
/// the input or stands before a NUL is the default character.
struct LeadBytes {
    std::int32_t codePage;
    const char* ranges;  ///< pairs of bytes: first and last of each range
};

/// Byte sequences from `first` to `last` (one or two bytes, the same length, differing in
/// the last byte only) that decode to `unit`, `unit` + 1, ... in place of what iconv gives.
/// For the stream form they apply only where iconv rejects the input.
struct DecodeOverride {
    std::int32_t codePage;
    const char* first;
    const char* last;
    char16_t unit;
};

/// A character that encodes to `bytes` (one or two, no NUL) in place of what iconv gives
/// (for the stream form: where iconv cannot represent it). Windows' best fits.
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
};

/// At least as many as there are charset rows (converters keep one slot per row).
inline constexpr std::size_t kMaxCodePageCharsets = 160;

/// The charset row of a code page, or nullptr when the layer does not know it.
const CodePageCharset* FindCodePageCharset(std::int32_t codePage);
/// Every charset row, in code-page order.
TableRange<CodePageCharset> AllCodePageCharsets();
/// The lead-byte row of a double-byte code page, or nullptr.
const LeadBytes* FindLeadBytes(std::int32_t codePage);
/// Whether a stream code page is a 7-bit code: a byte 80-FF is never part of a character,
/// and iconv rejects a run of them one by one without changing its shift state after the first.
bool IsSevenBitCode(std::int32_t codePage);
/// Whether a stream code page is mixed EBCDIC (single bytes, and pairs between SO and SI),
/// which is written from a table rather than by iconv.
bool IsShiftedEbcdic(std::int32_t codePage);
/// Whether `byte` lies in one of the ranges.
bool InByteRanges(const char* ranges, unsigned char byte);
/// Every decode correction of a code page.
TableRange<DecodeOverride> DecodeOverridesFor(std::int32_t codePage);
/// Every encode correction of a code page.
TableRange<EncodeOverride> EncodeOverridesFor(std::int32_t codePage);
/// The corrected unit for the sequence at `p` (`size` bytes available) and its length,
/// or length 0 when no correction of the code page covers it.
struct DecodeCorrection {
    char16_t unit;
    std::size_t length;
};
DecodeCorrection FindDecodeCorrection(std::int32_t codePage, const unsigned char* p, std::size_t size);
/// The same among the rows given (the decode corrections of one code page).
DecodeCorrection FindDecodeCorrection(TableRange<DecodeOverride> rows, const unsigned char* p, std::size_t size);
/// The code page of a locale codeset; 65001 for a codeset the table does not know.
std::int32_t CodePageForCodeset(const char* codeset);

}  // namespace tessera::platform::posix

#endif  // TESSERA_PLATFORM_POSIX_CODEPAGE_DATA_H
