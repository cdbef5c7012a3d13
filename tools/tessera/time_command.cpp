// tessera time
#include "commands.h"

namespace tessera_tool {

int RunTime(const Args&) { return Fail(2, "'time' is not available in this build yet"); }

}  // namespace tessera_tool
