// An owned iconv conversion descriptor.
#ifndef TESSERA_PLATFORM_POSIX_ICONV_DESCRIPTOR_H
#define TESSERA_PLATFORM_POSIX_ICONV_DESCRIPTOR_H

#include <iconv.h>

#include <cstddef>

namespace tessera::platform::posix {

/// The UTF-16 form iconv reads and writes for the library: little-endian, no byte order mark.
inline constexpr const char* kIconvUtf16 = "UTF-16LE";

/// An iconv descriptor, closed on destruction; invalid when iconv_open failed.
class IconvDescriptor {
public:
    IconvDescriptor(const char* toCharset, const char* fromCharset)
        : m_cd(iconv_open(toCharset, fromCharset)) {}
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
    std::size_t Flush(char** out, std::size_t* outLeft) {
        return iconv(m_cd, nullptr, nullptr, out, outLeft);
    }

private:
    iconv_t m_cd;
};

}  // namespace tessera::platform::posix

#endif  // TESSERA_PLATFORM_POSIX_ICONV_DESCRIPTOR_H
