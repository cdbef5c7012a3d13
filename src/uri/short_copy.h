// Copying the few bytes of a URI part. Most parts (a scheme, a host, a port, a query) are
// a handful of bytes, where a call to memcpy costs more than the copy itself: these
// copies move them with two loads and two stores of a fixed size that may overlap, which
// compilers turn into plain moves, and call memcpy only for longer texts.
#ifndef TESSERA_URI_SHORT_COPY_H
#define TESSERA_URI_SHORT_COPY_H

#include <cstddef>
#include <cstring>

namespace tessera::uri {

namespace detail {

// The n bytes at from, n from Size to 2 * Size, as the first and the last Size of them.
template <std::size_t Size>
inline void CopyEnds(char* to, const char* from, std::size_t n) noexcept {
    char head[Size], tail[Size];
    std::memcpy(head, from, Size);
    std::memcpy(tail, from + n - Size, Size);
    std::memcpy(to, head, Size);
    std::memcpy(to + n - Size, tail, Size);
}

}  // namespace detail

/// Copies n bytes from `from` to `to`, which do not overlap; reads nothing when n is 0.
inline void CopyBytes(char* to, const char* from, std::size_t n) noexcept {
    if (n >= 8) {
        if (n > 16) {
            std::memcpy(to, from, n);
        } else {
            detail::CopyEnds<8>(to, from, n);
        }
    } else if (n >= 4) {
        detail::CopyEnds<4>(to, from, n);
    } else if (n >= 2) {
        detail::CopyEnds<2>(to, from, n);
    } else if (n == 1) {
        *to = *from;
    }
}

}  // namespace tessera::uri

#endif  // TESSERA_URI_SHORT_COPY_H
