// Every static object of the library, defined in one translation unit so that they
// are constructed in this order when the library is loaded and destroyed in reverse
// order when it is unloaded:
//   1. threads:   the lock for statically initialised mutexes and condition variables,
//                 then the thread registry's lock and the registry;
//   2. encodings: the name map and the code-page map, filled from the built-in table;
//   3. URI:       the character-class strings in table order, then the six escape sets.
// Nothing here may be initialised lazily, and no other file defines a static with a
// non-trivial constructor.

// ---- 1. threads ---------------------------------------------------------------------
#include "threads/library_locks.h"

namespace tessera::threads {

LibraryLock static_init_lock;
LibraryLock thread_registry_lock;
ThreadRegistry thread_registry;

}  // namespace tessera::threads


// ---- 2. encodings -------------------------------------------------------------------

#include "encoding/encoding_registry.h"
#include "platform/codepage.h"

namespace tessera::encoding {

// Constructed empty, then filled from the encoding table: the name map first, then the
// code-page map.
const EncodingMaps g_encodingMaps;

const std::int32_t g_platformCodePage = platform::PlatformCodePage();

}  // namespace tessera::encoding

// ---- 3. URI character classes and escape sets ----------------------------------------

