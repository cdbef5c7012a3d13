// Threads over the C runtime's _beginthreadex and Win32 thread handles.
#include <process.h>
#include <windows.h>

#include <cstdlib>
#include <new>

#include "platform/threads.h"

namespace tessera::platform {

namespace {

struct StartArguments {
    ThreadEntry entry;
    void* argument;
};

unsigned __stdcall RunThread(void* raw) {
    const StartArguments start = *static_cast<StartArguments*>(raw);
    delete static_cast<StartArguments*>(raw);
    return start.entry(start.argument);
}

HANDLE Native(ThreadHandle* thread) { return reinterpret_cast<HANDLE>(thread); }

}  // namespace

ThreadHandle* StartSuspendedThread(ThreadEntry entry, void* argument, std::uint32_t* id) noexcept {
    auto* start = new (std::nothrow) StartArguments{entry, argument};
    if (start == nullptr) return nullptr;
    unsigned threadId = 0;
    const std::uintptr_t handle = ::_beginthreadex(nullptr, 0, RunThread, start, CREATE_SUSPENDED, &threadId);
    if (handle == 0) {
        delete start;
        return nullptr;
    }
    *id = threadId;
    return reinterpret_cast<ThreadHandle*>(handle);
}

void ResumeSuspendedThread(ThreadHandle* thread) noexcept { ::ResumeThread(Native(thread)); }

void EndCurrentThread(std::uint32_t exitCode) {
    ::_endthreadex(exitCode);
    std::abort();  // not reached
}

ThreadHandle* OpenThreadById(std::uint32_t id) noexcept {
    return reinterpret_cast<ThreadHandle*>(::OpenThread(SYNCHRONIZE | THREAD_QUERY_INFORMATION, FALSE, id));
}

bool WaitForThread(ThreadHandle* thread) noexcept {
    return ::WaitForSingleObject(Native(thread), INFINITE) == WAIT_OBJECT_0;
}

bool ThreadExitCode(ThreadHandle* thread, std::uint32_t* exitCode) noexcept {
    DWORD code = 0;
    if (::GetExitCodeThread(Native(thread), &code) == 0) return false;
    *exitCode = code;
    return true;
}

bool CloseThreadHandle(ThreadHandle* thread) noexcept { return ::CloseHandle(Native(thread)) != 0; }

std::uint32_t CurrentThreadId() noexcept { return ::GetCurrentThreadId(); }

}  // namespace tessera::platform
