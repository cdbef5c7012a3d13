// tessera uri subcommands (placeholders until implemented)
#include "uri_commands.h"

namespace tessera_tool {

int RunUriShow(const Args&) { return Fail(2, "uri: this subcommand is not available in this build yet"); }
int RunUriEscape(const Args&) { return Fail(2, "uri: this subcommand is not available in this build yet"); }
int RunUriUnescape(const Args&) { return Fail(2, "uri: this subcommand is not available in this build yet"); }

}  // namespace tessera_tool
