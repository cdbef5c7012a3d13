/// \file
/// Symbol export control for the Tessera library: the TESSERA_API macro.
#ifndef TESSERA_EXPORT_H
#define TESSERA_EXPORT_H

/// \def TESSERA_API
/// Marks what the library exports; everything else stays hidden. TESSERA_BUILDING is set
/// while the library itself is compiled. TESSERA_STATIC is set, for the library and its
/// users, when it is built as a static library; the CMake package (`Tessera::tessera`)
/// and pkg-config pass it on to users, so code that includes these headers never sets
/// either itself.
#if defined(TESSERA_STATIC)
#define TESSERA_API
#elif defined(_WIN32)
#if defined(TESSERA_BUILDING)
#define TESSERA_API __declspec(dllexport)
#else
#define TESSERA_API __declspec(dllimport)
#endif
#else
#define TESSERA_API __attribute__((visibility("default")))
#endif

#endif  // TESSERA_EXPORT_H
