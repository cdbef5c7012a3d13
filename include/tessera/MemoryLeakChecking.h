/// \file
/// Varn::MemoryLeakChecking: switches for heap-leak reporting, kept for programs written
/// against them; they do nothing.
#ifndef TESSERA_MEMORYLEAKCHECKING_H
#define TESSERA_MEMORYLEAKCHECKING_H

#include <tessera/Export.h>

namespace Varn {

/// Switches for heap-leak reporting. The library reports no leaks, so both do nothing;
/// they are there for programs that call them, and may be called at any time from any
/// thread.
class TESSERA_API MemoryLeakChecking {
public:
    /// Would turn leak reporting on; does nothing.
    static void Enable();
    /// Would turn leak reporting off; does nothing.
    static void Disable();

private:
    static int s_savedReportMode;
};

}  // namespace Varn

#endif  // TESSERA_MEMORYLEAKCHECKING_H
