// Per-thread pointer slots over Win32 thread-local storage.
#include <windows.h>

#include "platform/threads.h"

namespace tessera::platform {

static_assert(TLS_OUT_OF_INDEXES == kNoTlsKey, "the same value says that no key is left");

std::uint32_t NewTlsKey() noexcept { return ::TlsAlloc(); }

bool FreeTlsKey(std::uint32_t key) noexcept { return ::TlsFree(key) != 0; }

void* GetTlsValue(std::uint32_t key) noexcept { return ::TlsGetValue(key); }

bool SetTlsValue(std::uint32_t key, void* value) noexcept { return ::TlsSetValue(key, value) != 0; }

}  // namespace tessera::platform
