// A hint to the kernel that a large buffer, not yet written, should be backed by huge
// pages. A result of several megabytes is freshly mapped memory: with 4 KB pages its first
// writes fault once a page, which on some machines (virtual ones most of all) costs more
// than the conversion that fills it; with 2 MB pages it faults a few times.
#ifndef TESSERA_UNICODE_HUGE_PAGES_H
#define TESSERA_UNICODE_HUGE_PAGES_H

#include <cstddef>

namespace tessera::unicode {

/// Buffers below this many bytes are left alone: they seldom get fresh pages, and a huge
/// page that a small buffer only partly uses would be memory lost.
inline constexpr std::size_t kHugePageHintBytes = std::size_t{4} << 20;

/// Asks that the whole 2 MB pages inside [data, data + bytes) be backed by huge pages when
/// they are first written. Only a hint: where the system has no such request (anything but
/// Linux) or refuses it, nothing changes. Never moves, reads or writes the buffer.
void PreferHugePages(void* data, std::size_t bytes) noexcept;

}  // namespace tessera::unicode

#endif  // TESSERA_UNICODE_HUGE_PAGES_H
