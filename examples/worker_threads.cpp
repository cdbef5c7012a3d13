// Four workers take numbered jobs from a shared counter under a mutex and a condition
// variable, written against the POSIX-style interface.
#include <cstdint>
#include <cstdio>

#include <tessera/varn_pthread.h>

namespace {

varn_pthread_mutex_t g_lock = VARN_PTHREAD_MUTEX_INITIALIZER;
varn_pthread_cond_t g_done = VARN_PTHREAD_COND_INITIALIZER;
int g_nextJob = 0;
int g_finished = 0;
constexpr int kJobs = 100;

void* Worker(void*) {
    std::intptr_t handled = 0;
    for (;;) {
        varn_pthread_mutex_lock(&g_lock);
        const int job = g_nextJob < kJobs ? g_nextJob++ : -1;
        varn_pthread_mutex_unlock(&g_lock);
        if (job < 0) break;
        ++handled;
        varn_pthread_mutex_lock(&g_lock);
        if (++g_finished == kJobs) varn_pthread_cond_broadcast(&g_done);
        varn_pthread_mutex_unlock(&g_lock);
    }
    return reinterpret_cast<void*>(handled);
}

}  // namespace

int main() {
    varn_pthread_t workers[4];
    for (varn_pthread_t& w : workers) {
        if (varn_pthread_create(&w, nullptr, Worker, nullptr) != 0) return 1;
    }
    varn_pthread_mutex_lock(&g_lock);
    while (g_finished < kJobs) varn_pthread_cond_wait(&g_done, &g_lock);
    varn_pthread_mutex_unlock(&g_lock);
    for (varn_pthread_t w : workers) {
        void* handled = nullptr;
        varn_pthread_join(w, &handled);
        std::printf("worker %u handled %ld jobs\n", static_cast<unsigned>(w),
                    static_cast<long>(reinterpret_cast<std::intptr_t>(handled)));
    }
    return 0;
}
