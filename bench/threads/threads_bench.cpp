// Uncontended lock+unlock, once after completion, a two-thread condition-variable
// ping-pong and create+join: Tessera's POSIX-style functions next to native pthreads and
// the standard library, in one run.
#include <condition_variable>
#include <mutex>
#include <thread>

#include <benchmark/benchmark.h>
#include <pthread.h>

#include <tessera/varn_pthread.h>

namespace {

// ---- uncontended lock + unlock --------------------------------------------------------

void BM_Lock_Varn(benchmark::State& state) {
    varn_pthread_mutex_t mutex;
    varn_pthread_mutex_init(&mutex, nullptr);
    for (auto _ : state) {
        varn_pthread_mutex_lock(&mutex);
        varn_pthread_mutex_unlock(&mutex);
    }
    varn_pthread_mutex_destroy(&mutex);
}

varn_pthread_mutex_t g_staticMutex = VARN_PTHREAD_MUTEX_INITIALIZER;

void BM_Lock_VarnStatic(benchmark::State& state) {
    for (auto _ : state) {
        varn_pthread_mutex_lock(&g_staticMutex);
        varn_pthread_mutex_unlock(&g_staticMutex);
    }
}

void PthreadLockLoop(benchmark::State& state, int type) {
    pthread_mutexattr_t attributes;
    pthread_mutexattr_init(&attributes);
    pthread_mutexattr_settype(&attributes, type);
    pthread_mutex_t mutex;
    pthread_mutex_init(&mutex, &attributes);
    for (auto _ : state) {
        pthread_mutex_lock(&mutex);
        pthread_mutex_unlock(&mutex);
    }
    pthread_mutex_destroy(&mutex);
    pthread_mutexattr_destroy(&attributes);
}

void BM_Lock_PthreadRecursive(benchmark::State& state) { PthreadLockLoop(state, PTHREAD_MUTEX_RECURSIVE); }

void BM_Lock_PthreadNormal(benchmark::State& state) { PthreadLockLoop(state, PTHREAD_MUTEX_NORMAL); }

void BM_Lock_StdMutex(benchmark::State& state) {
    std::mutex mutex;
    for (auto _ : state) {
        mutex.lock();
        mutex.unlock();
    }
}

void BM_Lock_StdRecursiveMutex(benchmark::State& state) {
    std::recursive_mutex mutex;
    for (auto _ : state) {
        mutex.lock();
        mutex.unlock();
    }
}

// ---- once after completion ------------------------------------------------------------

void Nothing() {}

void BM_Once_Varn(benchmark::State& state) {
    varn_pthread_once_t control = VARN_PTHREAD_ONCE_INIT;
    varn_pthread_once(&control, Nothing);
    for (auto _ : state) benchmark::DoNotOptimize(varn_pthread_once(&control, Nothing));
}

void BM_Once_Pthread(benchmark::State& state) {
    pthread_once_t control = PTHREAD_ONCE_INIT;
    pthread_once(&control, Nothing);
    for (auto _ : state) benchmark::DoNotOptimize(pthread_once(&control, Nothing));
}

void BM_Once_StdCallOnce(benchmark::State& state) {
    std::once_flag flag;
    std::call_once(flag, Nothing);
    for (auto _ : state) std::call_once(flag, Nothing);
}

// ---- condition-variable ping-pong: one iteration is a round trip ----------------------

struct VarnSync {
    varn_pthread_mutex_t mutex = VARN_PTHREAD_MUTEX_INITIALIZER;
    varn_pthread_cond_t cond = VARN_PTHREAD_COND_INITIALIZER;
    ~VarnSync() {
        varn_pthread_cond_destroy(&cond);
        varn_pthread_mutex_destroy(&mutex);
    }
    void Lock() { varn_pthread_mutex_lock(&mutex); }
    void Unlock() { varn_pthread_mutex_unlock(&mutex); }
    void Wait() { varn_pthread_cond_wait(&cond, &mutex); }
    void Signal() { varn_pthread_cond_signal(&cond); }
};

struct PthreadSync {
    pthread_mutex_t mutex = PTHREAD_MUTEX_INITIALIZER;
    pthread_cond_t cond = PTHREAD_COND_INITIALIZER;
    ~PthreadSync() {
        pthread_cond_destroy(&cond);
        pthread_mutex_destroy(&mutex);
    }
    void Lock() { pthread_mutex_lock(&mutex); }
    void Unlock() { pthread_mutex_unlock(&mutex); }
    void Wait() { pthread_cond_wait(&cond, &mutex); }
    void Signal() { pthread_cond_signal(&cond); }
};

struct StdSync {
    std::mutex mutex;
    std::condition_variable cond;
    void Lock() { mutex.lock(); }
    void Unlock() { mutex.unlock(); }
    void Wait() {
        std::unique_lock<std::mutex> hold(mutex, std::adopt_lock);
        cond.wait(hold);
        hold.release();
    }
    void Signal() { cond.notify_one(); }
};

// The partner waits for turn 1, sets turn 0 and signals back.
template <typename Sync>
void BM_PingPong(benchmark::State& state) {
    Sync sync;
    int turn = 0;
    bool stop = false;
    std::thread partner([&] {
        sync.Lock();
        for (;;) {
            while (turn != 1 && !stop) sync.Wait();
            if (stop) break;
            turn = 0;
            sync.Signal();
        }
        sync.Unlock();
    });
    sync.Lock();
    for (auto _ : state) {
        turn = 1;
        sync.Signal();
        while (turn != 0) sync.Wait();
    }
    stop = true;
    sync.Signal();
    sync.Unlock();
    partner.join();
}

// ---- create + join ---------------------------------------------------------------------

void* Return(void* value) { return value; }

void BM_CreateJoin_Varn(benchmark::State& state) {
    for (auto _ : state) {
        varn_pthread_t thread;
        varn_pthread_create(&thread, nullptr, Return, nullptr);
        varn_pthread_join(thread, nullptr);
    }
}

void BM_CreateJoin_Pthread(benchmark::State& state) {
    for (auto _ : state) {
        pthread_t thread;
        pthread_create(&thread, nullptr, Return, nullptr);
        pthread_join(thread, nullptr);
    }
}

void BM_CreateJoin_StdThread(benchmark::State& state) {
    for (auto _ : state) std::thread([] {}).join();
}

}  // namespace

BENCHMARK(BM_Lock_Varn);
BENCHMARK(BM_Lock_VarnStatic);
BENCHMARK(BM_Lock_PthreadRecursive);
BENCHMARK(BM_Lock_PthreadNormal);
BENCHMARK(BM_Lock_StdMutex);
BENCHMARK(BM_Lock_StdRecursiveMutex);
BENCHMARK(BM_Once_Varn);
BENCHMARK(BM_Once_Pthread);
BENCHMARK(BM_Once_StdCallOnce);
BENCHMARK_TEMPLATE(BM_PingPong, VarnSync)->UseRealTime();
BENCHMARK_TEMPLATE(BM_PingPong, PthreadSync)->UseRealTime();
BENCHMARK_TEMPLATE(BM_PingPong, StdSync)->UseRealTime();
BENCHMARK(BM_CreateJoin_Varn)->UseRealTime();
BENCHMARK(BM_CreateJoin_Pthread)->UseRealTime();
BENCHMARK(BM_CreateJoin_StdThread)->UseRealTime();

BENCHMARK_MAIN();
