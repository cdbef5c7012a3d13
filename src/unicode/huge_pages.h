// A hint to the kernel that a large buffer, not yet written, should be backed by huge
// pages. A result of tens of megabytes is freshly mapped memory: with 4 KB pages its first
// writes fault once a page, which on some machines (virtual ones most of all) costs more
// than the conversion that fills it; with 2 MB pages it faults a few times.
#ifndef TESSERA_UNICODE_HUGE_PAGES_H
#define TESSERA_UNICODE_HUGE_PAGES_H

#include <cstddef>

namespace tessera::unicode {

/// Buffers below this many bytes are left alone. The hint belongs to the addresses, not
/// to the buffer: a block that the allocator carved from its heap would pass it on to
/// whatever the heap puts there after the result is freed. glibc's malloc gives every
/// block of 32 MB or more a mapping of its own (it never raises its mapping threshold
/// above that), which goes when the block is freed; smaller results are, after the first
/// of their size, blocks the heap reuses, already faulted in.
inline constexpr std::size_t kHugePageHintBytes = std::size_t{32} << 20;

/// Asks that the whole 2 MB pages inside [data, data + bytes) be backed by huge pages when
/// they are first written. Only a hint: where the system has no such request (anything but
/// Linux) or refuses it, nothing changes. Never moves, reads or writes the buffer.
void PreferHugePages(void* data, std::size_t bytes) noexcept;

}  // namespace tessera::unicode

#endif  // TESSERA_UNICODE_HUGE_PAGES_H
