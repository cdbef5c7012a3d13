// Huge pages under large results: the capacity that makes a block fill whole 2 MB pages,
// checked against glibc's own arithmetic for a block it maps by itself, and the hints,
// which must leave what a buffer holds as it was.
#include "unicode/huge_pages.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <string>

namespace tessera::unicode {
namespace {

constexpr std::size_t kMiB = std::size_t{1} << 20;

#if defined(__linux__)
// The bytes glibc's malloc maps for a block of `bytes` that it maps by itself: the block
// with its size field, rounded to 16 bytes, then the size field of the chunk header,
// rounded to a 4 KB page.
std::size_t GlibcMappedBytes(std::size_t bytes) {
    const std::size_t chunk = (bytes + 8 + 15) & ~std::size_t{15};
    return (chunk + 8 + 4095) & ~std::size_t{4095};
}

TEST(HugePages, LargeBlocksFillWholeTwoMegabytePages) {
    struct Row {
        std::size_t wanted;
        std::size_t unitBytes;
    };
    const Row rows[] = {
        {8 * kMiB - 1, 4},       // 32 MB with the terminator: the first size rounded
        {10312500, 4},           // 10 MB of ASCII to UTF-16, with the estimate's margin
        {40 * kMiB / 4 - 9, 4},  // already a whole 40 MB mapping
        {40 * kMiB / 4 - 8, 4},  // one unit too many for it
        {32 * kMiB, 1},          // UTF-8
        {96 * kMiB - 33, 1},     // already whole
        {96 * kMiB - 32, 1},     // one byte too many
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::Message() << row.wanted << " units of " << row.unitBytes);
        const std::size_t capacity = WholeHugePagesCapacity(row.wanted, row.unitBytes);
        EXPECT_GE(capacity, row.wanted);
        EXPECT_LT((capacity - row.wanted) * row.unitBytes, 2 * kMiB);
        EXPECT_EQ(GlibcMappedBytes((capacity + 1) * row.unitBytes) % (2 * kMiB), 0u);
    }
}
#endif

TEST(HugePages, SmallBlocksKeepTheirCapacity) {
    for (const std::size_t wanted : {std::size_t{0}, std::size_t{1000}, 8 * kMiB - 2}) {
        EXPECT_EQ(WholeHugePagesCapacity(wanted, 4), wanted);
        EXPECT_EQ(WholeHugePagesCapacity(wanted, 1), wanted);
    }
}

// A hint, and the collapse of the first 2 MB page, keep what was written before them.
TEST(HugePages, HintsKeepWhatTheBufferHolds) {
    for (const std::size_t bytes : {kHugePageHintBytes - 1, kHugePageHintBytes, 40 * kMiB - 100}) {
        SCOPED_TRACE(bytes);
        std::string buffer;
        buffer.reserve(WholeHugePagesCapacity(bytes, 1));
        buffer.assign(5000, 'a');
        PreferHugePages(buffer.data(), buffer.capacity());
        buffer.resize(bytes, 'b');
        EXPECT_EQ(buffer.find_first_not_of('a'), 5000u);
        EXPECT_EQ(buffer.find_first_not_of('b', 5000), std::string::npos);
    }
}

}  // namespace
}  // namespace tessera::unicode
