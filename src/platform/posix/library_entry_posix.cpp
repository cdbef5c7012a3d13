// Load/unload hooks of the shared object. Threads are not tracked on POSIX either, so
// only process detach has work to do.
#include "platform/library_entry.h"

namespace {

struct ProcessDetachHook {
    ProcessDetachHook() = default;
    ProcessDetachHook(const ProcessDetachHook&) = delete;
    ProcessDetachHook& operator=(const ProcessDetachHook&) = delete;
    ~ProcessDetachHook() { tessera::platform::OnProcessDetach(); }
};

// Trivially constructed, so it does not take part in the load order; its destructor runs
// when the library is unloaded (or the process exits).
ProcessDetachHook g_processDetachHook;

}  // namespace
