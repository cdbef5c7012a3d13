// tessera encodings
#include "commands.h"

namespace tessera_tool {

int RunEncodings(const Args&) { return Fail(2, "'encodings' is not available in this build yet"); }

}  // namespace tessera_tool
