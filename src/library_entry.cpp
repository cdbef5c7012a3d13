// What the library does when it is loaded into and unloaded from a process.
#include <tessera/MemoryLeakChecking.h>

#include "platform/library_entry.h"

namespace Varn {

int MemoryLeakChecking::s_savedReportMode = 0;

void MemoryLeakChecking::Enable() {}

void MemoryLeakChecking::Disable() {}

}  // namespace Varn

namespace tessera::platform {

void OnProcessDetach() { Varn::MemoryLeakChecking::Enable(); }

}  // namespace tessera::platform
