// Allocation failure in the thread functions that allocate: each reports it by -1 (or
// the standard exception) and leaves nothing behind: no thread, no registry entry, no
// leak. Only the allocations of the calling thread are made to fail.
#include <gtest/gtest.h>

#include <string>

#include <tessera/varn_pthread.h>

#include "allocation_sweep.h"
#include "threads/library_locks.h"

namespace tessera_test {
namespace {

struct NoObjects {};

/// The number of threads in the registry: a failed creation adds none.
Fields RegistrySize(const NoObjects&) {
    tessera::threads::SectionGuard hold(tessera::threads::g_threadRegistryLock.Get());
    return {std::to_string(tessera::threads::g_threadRegistry.size())};
}

void* ReturnSeven(void*) { return reinterpret_cast<void*>(std::uintptr_t{7}); }

TEST(ThreadAllocation, FailuresAreReportedAndLeaveNothing) {
    const struct {
        const char* name;
        std::string (*run)(NoObjects&);
    } cases[] = {
        {"create and join",
         [](NoObjects&) {
             varn_pthread_t id;
             if (varn_pthread_create(&id, nullptr, ReturnSeven, nullptr) != 0) return std::string("-1");
             void* value = nullptr;
             const int joined = varn_pthread_join(id, &value);
             return std::to_string(joined) + " " + std::to_string(reinterpret_cast<std::uintptr_t>(value));
         }},
        {"mutex",
         [](NoObjects&) {
             varn_pthread_mutex_t mutex;
             if (varn_pthread_mutex_init(&mutex, nullptr) != 0) return std::string("-1");
             return std::to_string(varn_pthread_mutex_lock(&mutex) + varn_pthread_mutex_unlock(&mutex) +
                                   varn_pthread_mutex_destroy(&mutex));
         }},
        {"condition variable",
         [](NoObjects&) {
             varn_pthread_cond_t cond;
             if (varn_pthread_cond_init(&cond, nullptr) != 0) return std::string("-1");
             return std::to_string(varn_pthread_cond_signal(&cond) + varn_pthread_cond_destroy(&cond));
         }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const SweepReport report = SweepAllocationFailures(
            SweepCase<NoObjects>{[] { return NoObjects{}; }, c.run, RegistrySize, Keep::kWhole, std::string("-1")});
        EXPECT_GT(report.failurePoints, 0u);
        for (const std::string& problem : report.problems) ADD_FAILURE() << problem;
    }
}

}  // namespace
}  // namespace tessera_test
