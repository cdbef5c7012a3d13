// The copy of short URI parts against memcpy, at every size on each side of the overlapping
// moves (1, 2, 4, 8 and 16 bytes) and past them, into a buffer whose bytes around the copy
// must stay as they were.
#include <cstring>
#include <string>

#include <gtest/gtest.h>

#include "uri/short_copy.h"

namespace {

TEST(ShortCopy, EverySizeCopiesExactlyItsBytes) {
    std::string source(40, '\0');
    for (std::size_t i = 0; i < source.size(); ++i) source[i] = static_cast<char>('A' + i);
    for (std::size_t size = 0; size <= 33; ++size) {
        std::string copied(48, '.'), expected(48, '.');
        tessera::uri::CopyBytes(&copied[3], source.data() + 1, size);
        std::memcpy(&expected[3], source.data() + 1, size);
        EXPECT_EQ(copied, expected) << "size " << size;
    }
}

}  // namespace
