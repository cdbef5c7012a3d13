// tessera transcode
#include "commands.h"

namespace tessera_tool {

int RunTranscode(const Args&) { return Fail(2, "'transcode' is not available in this build yet"); }

}  // namespace tessera_tool
