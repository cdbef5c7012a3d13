// Keeps the MinGW-w64 runtime's TLS support out of the 32-bit tessera.dll, so that the
// loader grants the DisableThreadLibraryCalls of its entry point (see
// library_entry_win32.cpp): it refuses that to every DLL with a TLS directory.
//
// The runtime's start-up code of a DLL calls the TLS callback this pointer names, if any;
// the runtime's own definition brings a TLS directory into the image. Defined here, as
// null, it keeps that out. The 32-bit DLL loses nothing by it: it keeps no thread-local
// data of its own, and its C, C++ and thread runtimes are DLLs that clean up after their
// threads themselves. The 64-bit DLL links its thread runtime in, whose TLS callback
// cleans up after threads the library did not start: it keeps the directory.
//
// Linked into the DLL alone: a program links a runtime piece that defines the pointer too.
#if defined(_WIN32) && !defined(_WIN64)
#include <windows.h>

extern "C" const PIMAGE_TLS_CALLBACK __dyn_tls_init_callback = nullptr;
#endif
