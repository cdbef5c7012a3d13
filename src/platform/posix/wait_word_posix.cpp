// Waiting on a word: futexes on Linux, a table of condition variables elsewhere.
#include "platform/posix/wait_word.h"

#if defined(__linux__)
#include <linux/futex.h>
#include <sys/syscall.h>
#include <unistd.h>
#else
#include <pthread.h>

#include <cerrno>
#endif

namespace tessera::platform {

#if defined(__linux__)

static_assert(sizeof(std::atomic<std::uint32_t>) == sizeof(std::uint32_t), "a futex is a plain word");

void WaitOnWord(std::atomic<std::uint32_t>* word, std::uint32_t expected, const timespec* relative) noexcept {
    // The relative time-out of FUTEX_WAIT is measured on the monotonic clock.
    syscall(SYS_futex, reinterpret_cast<std::uint32_t*>(word), FUTEX_WAIT_PRIVATE, expected, relative, nullptr, 0);
}

void WakeOneOnWord(std::atomic<std::uint32_t>* word) noexcept {
    syscall(SYS_futex, reinterpret_cast<std::uint32_t*>(word), FUTEX_WAKE_PRIVATE, 1, nullptr, nullptr, 0);
}

#else

namespace {

// Sleepers park on the bucket of their word's address. Constant-initialised.
struct Bucket {
    pthread_mutex_t lock;
    pthread_cond_t woken;
};
constexpr int kBuckets = 16;
Bucket g_buckets[kBuckets] = {
#define TESSERA_BUCKET \
    { PTHREAD_MUTEX_INITIALIZER, PTHREAD_COND_INITIALIZER }
    TESSERA_BUCKET, TESSERA_BUCKET, TESSERA_BUCKET, TESSERA_BUCKET, TESSERA_BUCKET, TESSERA_BUCKET,
    TESSERA_BUCKET, TESSERA_BUCKET, TESSERA_BUCKET, TESSERA_BUCKET, TESSERA_BUCKET, TESSERA_BUCKET,
    TESSERA_BUCKET, TESSERA_BUCKET, TESSERA_BUCKET, TESSERA_BUCKET,
#undef TESSERA_BUCKET
};

Bucket& BucketOf(const void* word) { return g_buckets[(reinterpret_cast<std::uintptr_t>(word) >> 4) % kBuckets]; }

}  // namespace

void WaitOnWord(std::atomic<std::uint32_t>* word, std::uint32_t expected, const timespec* relative) noexcept {
    Bucket& bucket = BucketOf(word);
    pthread_mutex_lock(&bucket.lock);
    if (word->load() == expected) {
        if (relative == nullptr) {
            pthread_cond_wait(&bucket.woken, &bucket.lock);
        } else {
            timespec deadline;
            clock_gettime(CLOCK_REALTIME, &deadline);
            deadline.tv_sec += relative->tv_sec;
            deadline.tv_nsec += relative->tv_nsec;
            if (deadline.tv_nsec >= 1000000000L) {
                deadline.tv_nsec -= 1000000000L;
                ++deadline.tv_sec;
            }
            pthread_cond_timedwait(&bucket.woken, &bucket.lock, &deadline);
        }
    }
    pthread_mutex_unlock(&bucket.lock);
}

void WakeOneOnWord(std::atomic<std::uint32_t>* word) noexcept {
    // Every sleeper of the bucket wakes and tests its own word.
    Bucket& bucket = BucketOf(word);
    pthread_mutex_lock(&bucket.lock);
    pthread_cond_broadcast(&bucket.woken);
    pthread_mutex_unlock(&bucket.lock);
}

#endif

}  // namespace tessera::platform
