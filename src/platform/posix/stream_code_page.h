// Conversion of a multi-byte or stateful code page by streaming the text through iconv.
#ifndef TESSERA_PLATFORM_POSIX_STREAM_CODE_PAGE_H
#define TESSERA_PLATFORM_POSIX_STREAM_CODE_PAGE_H

#include <bitset>
#include <cstddef>
#include <string>
#include <unordered_set>

#include "platform/posix/codepage_data.h"
#include "platform/posix/iconv_descriptor.h"

namespace tessera::platform::posix {

/// A code page converted by iconv, with its two descriptors. Where iconv stops on input it
/// rejects, the conversion writes the correction for it or the default character, and
/// goes on.
///
/// Both ways the results are those of handing iconv the whole text, but iconv is asked
/// less. Writing, a stop costs iconv work in proportion to the text it was handed, so the
/// text goes to it in pieces: long ones while it converts, short ones after a stop; a
/// character it has stopped at once is replaced without asking it again, and after a
/// replacement the returns to the initial shift state and the ASCII characters are
/// written directly, as the encoder was seen to write them. Reading a 7-bit code, the
/// bytes 80-FF after one that iconv rejected are replaced without asking.
class StreamCodePage {
public:
    explicit StreamCodePage(const CodePageCharset& charset);

    bool canDecode() const { return m_decoder.valid(); }
    bool canEncode() const { return m_encoder.valid(); }

    std::wstring Decode(const char* data, std::size_t size);
    std::string Encode(const wchar_t* data, std::size_t size);
    /// The same, from and to UTF-8 through UTF-16 units held two bytes each.
    std::string DecodeToUtf8(const char* data, std::size_t size);
    std::string EncodeUtf8(const char* data, std::size_t size);

private:
    /// What the encoder writes for an ASCII character after another one, from the initial
    /// shift state on (see LearnInitialState).
    struct Standalone {
        char bytes[7];
        unsigned char length;  ///< 0: not written directly
    };

    /// Where the encoder stands in a conversion, as far as this class knows.
    enum class Shift : unsigned char {
        kUnknown,  ///< after text the encoder converted: only it knows
        kInitial,  ///< returned to the initial shift state
        kAscii,    ///< then ASCII characters written directly, which the encoder has not seen
    };

    /// A conversion to the code page under way.
    struct Writing {
        std::string out;
        std::size_t used = 0;
        Shift shift = Shift::kUnknown;
        /// In kAscii, where the ASCII characters written directly start in the chunk being
        /// written (kNoUnit: in an earlier one), and how much was written before them.
        std::size_t asciiFrom = kNoUnit;
        std::size_t usedBeforeAscii = 0;
    };
    static constexpr std::size_t kNoUnit = static_cast<std::size_t>(-1);

    /// Decodes [data, data + size) into `out` from `used` on; `full(out, used, consumed)`,
    /// told how many bytes of input have been taken, makes room for 16 more units at least.
    template <typename Full>
    void DecodeUnitsInto(const char* data, std::size_t size, std::u16string& out, std::size_t& used, Full full);
    /// Writes `size` units of whole characters (a surrogate pair is not cut).
    void EncodeChunk(const char16_t* units, std::size_t size, Writing& writing);
    /// Writes what returns the encoder to the initial shift state.
    void ReturnToInitialState(Writing& writing);
    /// Writes `unit`, an ASCII character with standalone bytes, directly.
    /// Writes the ASCII character at `at` of the chunk, which has standalone bytes, directly.
    void WriteStandalone(char16_t unit, std::size_t at, Writing& writing) const;
    /// Before the encoder converts the chunk from `at` on: where it has not seen the ASCII
    /// characters written directly since the initial shift state, takes them back to be
    /// converted with the rest (returns where they start), or where they started in an
    /// earlier chunk brings the encoder to where they would have left it.
    std::size_t CatchUpWithAscii(std::size_t at, Writing& writing);
    /// Returns the encoder to the initial shift state; the text written.
    std::string Finish(Writing& writing);
    /// Writes what replaces the rejected bytes at `in` (one sequence); returns how many
    /// bytes it stands for (at least 1).
    std::size_t ReplaceInvalid(const unsigned char* in, std::size_t inLeft, std::u16string& out,
                               std::size_t& used) const;
    /// Writes what replaces a character the encoder cannot write.
    void ReplaceUnwritable(char32_t codePoint, std::size_t units, std::string& out, std::size_t& used) const;
    bool IsKnownUnwritable(char32_t codePoint, std::size_t units) const;
    void LearnUnwritable(char32_t codePoint, std::size_t units);
    /// Learns what the encoder writes once it has returned to the initial shift state.
    void LearnInitialState();
    /// Learns the bytes of the ASCII characters that write the same from there on.
    void LearnStandalone();

    const CodePageCharset& m_charset;
    const TableRange<DecodeOverride> m_decodeCorrections;
    const TableRange<EncodeOverride> m_encodeCorrections;
    int m_byteCorrections[256];        // the unit a rejected byte is corrected to, or -1 ...
    bool m_longerCorrections = false;  // ... unless some correction is longer
    IconvDescriptor m_decoder;
    IconvDescriptor m_encoder;
    bool m_sevenBit = false;    // a 7-bit code: no byte 80-FF is part of a character
    std::size_t m_encodePiece;  // UTF-16 units handed to the encoder at a time
    // Learned once the encoder has returned to the initial shift state:
    bool m_initialKnown = false;       // returning there again always writes the same ...
    std::string m_initialReturn;       // ... these bytes (ISO-2022-KR: its designation)
    std::string m_asciiPrefix;         // what the first ASCII character written from there writes first
    std::string m_asciiReturn;         // what a return after ASCII characters writes
    bool m_asciiStaysInitial = false;  // none of the three writes anything: ASCII keeps the state
    Standalone m_standalone[0x80] = {};
    std::bitset<0x10000> m_unwritable;                // BMP characters the encoder stopped at
    std::unordered_set<char32_t> m_unwritableOthers;  // ... and supplementary ones, up to a limit
};

}  // namespace tessera::platform::posix

#endif  // TESSERA_PLATFORM_POSIX_STREAM_CODE_PAGE_H
