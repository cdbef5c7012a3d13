// An owned iconv conversion descriptor.
#ifndef TESSERA_PLATFORM_POSIX_ICONV_DESCRIPTOR_H
#define TESSERA_PLATFORM_POSIX_ICONV_DESCRIPTOR_H

#include <iconv.h>

#include <cstddef>
#include <string>

namespace tessera::platform::posix {

/// The UTF-16 form iconv reads and writes for the library: little-endian, no byte order mark.
inline constexpr const char* kIconvUtf16 = "UTF-16LE";

/// The UTF-16 form in the host's byte order: what iconv reads from and writes to the
/// storage of a std::u16string as it is.
const char* IconvNativeUtf16();

/// An iconv descriptor, closed on destruction; invalid when iconv_open failed.
class IconvDescriptor {
public:
    IconvDescriptor(const char* toCharset, const char* fromCharset) : m_cd(iconv_open(toCharset, fromCharset)) {}
    ~IconvDescriptor() {
        if (valid()) iconv_close(m_cd);
    }
    IconvDescriptor(const IconvDescriptor&) = delete;
    IconvDescriptor& operator=(const IconvDescriptor&) = delete;

    bool valid() const { return m_cd != reinterpret_cast<iconv_t>(-1); }

    /// Back to the initial shift state, writing nothing.
    void Reset() { iconv(m_cd, nullptr, nullptr, nullptr, nullptr); }

    /// One iconv call; returns (size_t)-1 with errno set on a stop.
    std::size_t Convert(char** in, std::size_t* inLeft, char** out, std::size_t* outLeft) {
        return iconv(m_cd, in, inLeft, out, outLeft);
    }

    /// Writes what returns the output to the initial shift state.
    std::size_t Flush(char** out, std::size_t* outLeft) { return iconv(m_cd, nullptr, nullptr, out, outLeft); }

private:
    iconv_t m_cd;
};

/// What `decoder` (charset to kIconvUtf16) makes of one sequence of `size` bytes on its
/// own: true with `*unit` set when it is exactly one UTF-16 unit.
bool DecodeSequence(IconvDescriptor& decoder, const unsigned char* bytes, std::size_t size, char16_t* unit);

/// What `encoder` (kIconvUtf16 to charset) makes of one UTF-16 unit on its own: its bytes
/// (empty when it has none).
std::string EncodeUnit(IconvDescriptor& encoder, char16_t unit);

}  // namespace tessera::platform::posix

#endif  // TESSERA_PLATFORM_POSIX_ICONV_DESCRIPTOR_H
