// The huge-page requests: madvise on Linux, nothing elsewhere.
#include "unicode/huge_pages.h"

#include <cstdint>

#if defined(__linux__)
#include <sys/mman.h>
#endif

namespace tessera::unicode {
namespace {

#if defined(__linux__)
constexpr std::size_t kHugePage = std::size_t{2} << 20;
constexpr std::size_t kPage = 4096;
// What glibc adds to a block it maps by itself: the chunk header before the block, and
// the rounding of the block's size to 16 bytes, at most.
constexpr std::size_t kMappedBlockOverhead = 32;
#endif

#if defined(__linux__) && defined(MADV_HUGEPAGE)
// MADV_COLLAPSE came with Linux 6.1; C libraries older than that lack its name.
#if defined(MADV_COLLAPSE)
constexpr int kCollapse = MADV_COLLAPSE;
#else
constexpr int kCollapse = 25;
#endif

// Collapses the 2 MB page that starts at `head` into a huge page now, with the 4 KB
// page already written copied into it.
void CollapseIntoHugePage(std::uintptr_t head) noexcept {
    // A kernel without the request, or short of huge pages, refuses: then the rest of
    // the 2 MB page faults in 4 KB at a time as it would have.
    (void)madvise(reinterpret_cast<void*>(head), kHugePage, kCollapse);
}
#endif

}  // namespace

std::size_t WholeHugePagesCapacity(std::size_t wanted, std::size_t unitBytes) noexcept {
#if defined(__linux__)
    // A string allocates one unit more than its capacity, for its terminator.
    const std::size_t bytes = (wanted + 1) * unitBytes;
    if (bytes < kHugePageHintBytes) return wanted;
    const std::size_t mapped = (bytes + kMappedBlockOverhead + kHugePage - 1) / kHugePage * kHugePage;
    return (mapped - kMappedBlockOverhead) / unitBytes - 1;
#else
    (void)unitBytes;
    return wanted;
#endif
}

void PreferHugePages(void* data, std::size_t bytes) noexcept {
#if defined(__linux__) && defined(MADV_HUGEPAGE)
    if (bytes < kHugePageHintBytes) return;
    const auto begin = reinterpret_cast<std::uintptr_t>(data);
    const std::uintptr_t first = begin & ~std::uintptr_t{kPage - 1};
    const std::uintptr_t last = (begin + bytes + kPage - 1) & ~std::uintptr_t{kPage - 1};
    // A refusal (no transparent huge pages in this kernel) leaves the pages as they are.
    (void)madvise(reinterpret_cast<void*>(first), last - first, MADV_HUGEPAGE);
    const std::uintptr_t head = begin & ~std::uintptr_t{kHugePage - 1};
    if (first == head && head + kHugePage <= last) CollapseIntoHugePage(head);
#else
    (void)data;
    (void)bytes;
#endif
}

}  // namespace tessera::unicode
