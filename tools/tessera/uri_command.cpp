// tessera uri
#include "commands.h"

namespace tessera_tool {

int RunUri(const Args&) { return Fail(2, "'uri' is not available in this build yet"); }

}  // namespace tessera_tool
