// The sizes of the types that programs and tessera.dll exchange, per target. A program
// built by another compiler for the same target must agree on them; they are where
// 32-bit Windows differs from 64-bit (pointers, and the StringRefProxy made of them)
// and Windows from Linux (wchar_t, long), while time_t is 64 bits everywhere.
#include <gtest/gtest.h>

#include <cstddef>
#include <ctime>

#include <tessera/TimeStamp.h>
#include <tessera/URI.h>
#include <tessera/varn_pthread.h>

namespace {

#if defined(_WIN32)
constexpr std::size_t kWideChar = 2;  // one UTF-16 unit
constexpr std::size_t kLong = 4;      // LLP64 and ILP32
#else
constexpr std::size_t kWideChar = 4;
constexpr std::size_t kLong = sizeof(void*);  // LP64 and ILP32
#endif
#if defined(_WIN64) || defined(__LP64__)
constexpr std::size_t kPointer = 8;
#else
constexpr std::size_t kPointer = 4;
#endif

struct TypeSize {
    const char* type;
    std::size_t size;
    std::size_t expected;
};

TEST(TypeSizes, MatchTheTarget) {
    const TypeSize sizes[] = {
        {"void*", sizeof(void*), kPointer},
        {"wchar_t", sizeof(wchar_t), kWideChar},
        {"long", sizeof(long), kLong},
        {"time_t", sizeof(std::time_t), 8},
        {"Varn::URI::StringRefProxy", sizeof(Varn::URI::StringRefProxy), 3 * kPointer},
        {"Varn::TimeStamp", sizeof(Varn::TimeStamp), 8},
        {"Varn::FILETIME", sizeof(Varn::FILETIME), 8},
        {"varn_pthread_t", sizeof(varn_pthread_t), 4},
        {"varn_pthread_mutex_t", sizeof(varn_pthread_mutex_t), kPointer},
        {"varn_pthread_cond_t", sizeof(varn_pthread_cond_t), kPointer},
        {"varn_pthread_once_t", sizeof(varn_pthread_once_t), 8},
        {"varn_timespec", sizeof(varn_timespec), 8},
    };
    for (const TypeSize& row : sizes) {
        EXPECT_EQ(row.size, row.expected) << "sizeof(" << row.type << ")";
    }
}

}  // namespace
