// Recursive locks (critical sections), the interlocked increment and sleeping over Win32.
#include <windows.h>

#include "platform/threads.h"

namespace tessera::platform {

namespace {

static_assert(sizeof(CRITICAL_SECTION) <= sizeof(CriticalSection::storage), "a critical section must fit its storage");
static_assert(alignof(CRITICAL_SECTION) <= alignof(CriticalSection),
              "a critical section must be aligned in its storage");
static_assert(sizeof(LONG) == sizeof(std::int32_t), "LONG is 32 bits");

CRITICAL_SECTION* Native(CriticalSection* section) { return reinterpret_cast<CRITICAL_SECTION*>(section->storage); }

volatile LONG* Word(std::int32_t* value) { return reinterpret_cast<volatile LONG*>(value); }

}  // namespace

void InitCriticalSection(CriticalSection* section) noexcept { ::InitializeCriticalSection(Native(section)); }

void DestroyCriticalSection(CriticalSection* section) noexcept { ::DeleteCriticalSection(Native(section)); }

void LockCriticalSection(CriticalSection* section) noexcept { ::EnterCriticalSection(Native(section)); }

void UnlockCriticalSection(CriticalSection* section) noexcept { ::LeaveCriticalSection(Native(section)); }

std::int32_t AtomicIncrement(std::int32_t* value) noexcept { return ::InterlockedIncrement(Word(value)); }

void SleepFor(std::uint32_t milliseconds) noexcept { ::Sleep(milliseconds); }

}  // namespace tessera::platform
