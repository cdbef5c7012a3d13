// Huge pages under large results. A result of tens of megabytes is freshly mapped memory:
// with 4 KB pages its first writes fault once a page, which on some machines (virtual
// ones most of all) costs more than the conversion that fills it; with 2 MB pages it
// faults a few times. Two things decide how many of its pages can be huge: whether the
// kernel is asked before the first write, and where the block lies, since only the 2 MB
// pages wholly inside it qualify.
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

/// The capacity, at least `wanted`, to reserve for a string of `unitBytes`-byte units so
/// that its block fills a whole number of 2 MB pages, the string's terminator and the
/// allocator's own header included. On Linux a mapping of whole 2 MB pages starts on a
/// 2 MB boundary, so a block that glibc maps by itself (kHugePageHintBytes or more) then
/// has no partial 2 MB page at either end, where 4 KB pages would fault one by one; the
/// capacity grows by less than 2 MB for it. Below that size, or elsewhere, `wanted`.
std::size_t WholeHugePagesCapacity(std::size_t wanted, std::size_t unitBytes) noexcept;

/// Asks that [data, data + bytes), not yet written, be backed by huge pages when it is
/// first written. The allocator has already written its header in the first 4 KB page, so
/// if the block starts there the 2 MB page around it is made huge at once. Only a hint:
/// where the system has no such request (anything but Linux) or refuses it, nothing
/// changes. Never moves the buffer or changes what it holds.
void PreferHugePages(void* data, std::size_t bytes) noexcept;

}  // namespace tessera::unicode

#endif  // TESSERA_UNICODE_HUGE_PAGES_H
