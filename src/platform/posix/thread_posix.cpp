// Threads over POSIX threads, shaped like the platform's thread objects: a thread starts
// suspended, is named by a 32-bit id, and leaves a 32-bit exit code that any holder of a
// handle can wait for. A thread record lives while the thread runs or a handle is open;
// while it lives, the thread can be opened by its id. The first wait reaps the thread
// (so that its stack is reused at once); one that nobody waited for is detached when its
// record goes.
#include <pthread.h>

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <new>

#include "platform/posix/wait_word.h"
#include "platform/threads.h"

namespace tessera::platform {

enum : std::uint32_t { kSuspended = 0, kResumed = 1, kSuspendedWithSleeper = 2 };

struct ThreadHandle {
    ThreadEntry entry;
    void* argument;
    std::uint32_t id;
    int references;  // open handles, plus one while the thread runs; under g_recordsLock
    ThreadHandle* nextRecord;
    ThreadHandle* previousRecord;

    pthread_t native{};
    std::mutex lock;
    std::condition_variable changed;
    bool reaped = false;  // joined, or never started
    std::atomic<std::uint32_t> startGate{kSuspended};
    bool ended = false;
    std::uint32_t exitCode = 0;
};

namespace {

// Every living thread record, for OpenThreadById. Constant-initialised: no constructor runs.
pthread_mutex_t g_recordsLock = PTHREAD_MUTEX_INITIALIZER;
ThreadHandle* g_records = nullptr;

std::atomic<std::uint32_t> g_lastId{0};

thread_local std::uint32_t t_id = 0;
thread_local ThreadHandle* t_record = nullptr;

// Ids count up from 1 and skip 0, so no two living threads share one before 2^32 threads
// have been numbered.
std::uint32_t NextId() {
    std::uint32_t id;
    do {
        id = g_lastId.fetch_add(1, std::memory_order_relaxed) + 1;
    } while (id == 0);
    return id;
}

void Link(ThreadHandle* record) {
    pthread_mutex_lock(&g_recordsLock);
    record->previousRecord = nullptr;
    record->nextRecord = g_records;
    if (g_records != nullptr) g_records->previousRecord = record;
    g_records = record;
    pthread_mutex_unlock(&g_recordsLock);
}

// Frees a record whose last reference is gone.
void Destroy(ThreadHandle* record) {
    if (!record->reaped) pthread_detach(record->native);
    delete record;
}

// Drops one reference under g_recordsLock; true if it was the last, in which case the
// record is unlinked and the caller frees it.
bool DropReference(ThreadHandle* record) {
    if (--record->references != 0) return false;
    if (record->previousRecord != nullptr) {
        record->previousRecord->nextRecord = record->nextRecord;
    } else {
        g_records = record->nextRecord;
    }
    if (record->nextRecord != nullptr) record->nextRecord->previousRecord = record->previousRecord;
    return true;
}

void Release(ThreadHandle* record) {
    pthread_mutex_lock(&g_recordsLock);
    const bool last = DropReference(record);
    pthread_mutex_unlock(&g_recordsLock);
    if (last) Destroy(record);
}

// Runs when the thread's entry returns or EndCurrentThread unwinds its stack: marks the
// thread ended and drops its own reference in one step, so that once the last handle is
// closed after a wait, the id is unknown.
class EndOfThread {
public:
    explicit EndOfThread(ThreadHandle* record) : record_(record) {}
    EndOfThread(const EndOfThread&) = delete;
    EndOfThread& operator=(const EndOfThread&) = delete;
    ~EndOfThread() {
        pthread_mutex_lock(&g_recordsLock);
        {
            std::lock_guard<std::mutex> hold(record_->lock);
            record_->ended = true;
        }
        record_->changed.notify_all();
        const bool last = DropReference(record_);
        pthread_mutex_unlock(&g_recordsLock);
        if (last) Destroy(record_);
    }

private:
    ThreadHandle* record_;
};

extern "C" void* RunThread(void* raw) {
    auto* record = static_cast<ThreadHandle*>(raw);
    t_id = record->id;
    t_record = record;
    std::uint32_t gate = kSuspended;
    if (record->startGate.compare_exchange_strong(gate, kSuspendedWithSleeper, std::memory_order_acquire)) {
        do {
            WaitOnWord(&record->startGate, kSuspendedWithSleeper, nullptr);
        } while (record->startGate.load(std::memory_order_acquire) != kResumed);
    }
    EndOfThread end(record);
    const std::uint32_t exitCode = record->entry(record->argument);
    std::lock_guard<std::mutex> hold(record->lock);
    record->exitCode = exitCode;
    return nullptr;
}

}  // namespace

ThreadHandle* StartSuspendedThread(ThreadEntry entry, void* argument, std::uint32_t* id) noexcept {
    auto* record = new (std::nothrow) ThreadHandle;
    if (record == nullptr) return nullptr;
    record->entry = entry;
    record->argument = argument;
    record->id = NextId();
    record->references = 2;  // the handle returned here, and the running thread
    Link(record);
    // The new thread does not touch `native`; whoever reads it does so after the resume.
    if (pthread_create(&record->native, nullptr, RunThread, record) != 0) {
        record->reaped = true;
        record->references = 1;
        Release(record);
        return nullptr;
    }
    *id = record->id;
    return record;
}

void ResumeSuspendedThread(ThreadHandle* thread) noexcept {
    if (thread->startGate.exchange(kResumed, std::memory_order_release) == kSuspendedWithSleeper) {
        WakeOneOnWord(&thread->startGate);
    }
}

void EndCurrentThread(std::uint32_t exitCode) {
    if (t_record != nullptr) {
        std::lock_guard<std::mutex> hold(t_record->lock);
        t_record->exitCode = exitCode;
    }
    // Unwinds the stack, running destructors (EndOfThread among them) on the way.
    pthread_exit(nullptr);
}

ThreadHandle* OpenThreadById(std::uint32_t id) noexcept {
    pthread_mutex_lock(&g_recordsLock);
    ThreadHandle* found = g_records;
    while (found != nullptr && found->id != id) found = found->nextRecord;
    if (found != nullptr) ++found->references;
    pthread_mutex_unlock(&g_recordsLock);
    return found;
}

bool WaitForThread(ThreadHandle* thread) noexcept {
    std::unique_lock<std::mutex> hold(thread->lock);
    if (!thread->reaped) {  // the first waiter joins the thread, which ends it for everyone
        thread->reaped = true;
        hold.unlock();
        if (pthread_join(thread->native, nullptr) == 0) return true;
        hold.lock();  // not joined (a thread waiting for itself): still to be detached
        thread->reaped = false;
        return false;
    }
    thread->changed.wait(hold, [thread] { return thread->ended; });
    return true;
}

bool ThreadExitCode(ThreadHandle* thread, std::uint32_t* exitCode) noexcept {
    constexpr std::uint32_t kStillActive = 259;
    std::lock_guard<std::mutex> hold(thread->lock);
    *exitCode = thread->ended ? thread->exitCode : kStillActive;
    return true;
}

bool CloseThreadHandle(ThreadHandle* thread) noexcept {
    Release(thread);
    return true;
}

std::uint32_t CurrentThreadId() noexcept {
    if (t_id == 0) t_id = NextId();
    return t_id;
}

}  // namespace tessera::platform
