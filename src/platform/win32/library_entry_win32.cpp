// DLL entry point: thread attach/detach notifications are switched off at attach.
#include "platform/library_entry.h"

#if defined(TESSERA_SHARED_LIBRARY)
#include <windows.h>

extern "C" BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID /*reserved*/) {
    if (reason == DLL_PROCESS_ATTACH) {
        DisableThreadLibraryCalls(module);
    } else if (reason == DLL_PROCESS_DETACH) {
        tessera::platform::OnProcessDetach();
    }
    return TRUE;
}
#endif
