// The header works from C: see c_interface.c.
#include <gtest/gtest.h>

#include "thread_test_support.h"

extern "C" int tessera_threads_from_c(void);

namespace {

TEST(CInterface, ThreadFunctionsWorkFromC) {
    tessera_test::Watchdog watchdog;
    EXPECT_EQ(tessera_threads_from_c(), 0);
}

}  // namespace
