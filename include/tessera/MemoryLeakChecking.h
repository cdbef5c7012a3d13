// Switches for heap-leak reporting; kept for compatibility, they do nothing.
#ifndef TESSERA_MEMORYLEAKCHECKING_H
#define TESSERA_MEMORYLEAKCHECKING_H

#include <tessera/Export.h>

namespace Varn {

class TESSERA_API MemoryLeakChecking {
public:
    /// Turns leak reporting on (no effect; the library reports nothing).
    static void Enable();
    /// Turns leak reporting off (no effect).
    static void Disable();

private:
    static int s_savedReportMode;
};

}  // namespace Varn

#endif  // TESSERA_MEMORYLEAKCHECKING_H
