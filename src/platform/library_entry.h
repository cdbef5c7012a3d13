// The library's process attach/detach hooks (DllMain on Windows, load/unload elsewhere).
#ifndef TESSERA_PLATFORM_LIBRARY_ENTRY_H
#define TESSERA_PLATFORM_LIBRARY_ENTRY_H

namespace tessera::platform {

/// Called once when the library is detached from the process.
void OnProcessDetach();

}  // namespace tessera::platform

#endif
