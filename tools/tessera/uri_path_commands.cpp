// tessera uri subcommands (placeholders until implemented)
#include "uri_commands.h"

namespace tessera_tool {

int RunUriQuery(const Args&) { return Fail(2, "uri: this subcommand is not available in this build yet"); }
int RunUriToPath(const Args&) { return Fail(2, "uri: this subcommand is not available in this build yet"); }
int RunUriFromPath(const Args&) { return Fail(2, "uri: this subcommand is not available in this build yet"); }
int RunUriGuess(const Args&) { return Fail(2, "uri: this subcommand is not available in this build yet"); }

}  // namespace tessera_tool
