// Conversion of a multi-byte or stateful code page by streaming the text through iconv.
#ifndef TESSERA_PLATFORM_POSIX_STREAM_CODE_PAGE_H
#define TESSERA_PLATFORM_POSIX_STREAM_CODE_PAGE_H

#include <cstddef>
#include <string>

#include "platform/posix/codepage_data.h"
#include "platform/posix/iconv_descriptor.h"

namespace tessera::platform::posix {

/// A code page converted by iconv, with its two descriptors. Where iconv stops on input it
/// rejects, the conversion writes the correction for it or the default character, and
/// goes on.
class StreamCodePage {
public:
    explicit StreamCodePage(const CodePageCharset& charset);

    bool canDecode() const { return m_decoder.valid(); }
    bool canEncode() const { return m_encoder.valid(); }

    std::wstring Decode(const char* data, std::size_t size);
    std::string Encode(const wchar_t* data, std::size_t size);

private:
    /// Writes what replaces the rejected bytes at `in` (one sequence); returns how many
    /// bytes it stands for (at least 1).
    std::size_t ReplaceInvalid(const unsigned char* in, std::size_t inLeft, std::string& out, std::size_t& used) const;

    const CodePageCharset& m_charset;
    IconvDescriptor m_decoder;
    IconvDescriptor m_encoder;
};

}  // namespace tessera::platform::posix

#endif  // TESSERA_PLATFORM_POSIX_STREAM_CODE_PAGE_H
