// tessera uri subcommands (placeholders until implemented)
#include "uri_commands.h"

namespace tessera_tool {

int RunUriResolve(const Args&) { return Fail(2, "uri: this subcommand is not available in this build yet"); }
int RunUriRelative(const Args&) { return Fail(2, "uri: this subcommand is not available in this build yet"); }
int RunUriRelation(const Args&) { return Fail(2, "uri: this subcommand is not available in this build yet"); }
int RunUriCommonParent(const Args&) { return Fail(2, "uri: this subcommand is not available in this build yet"); }
int RunUriIpv6(const Args&) { return Fail(2, "uri: this subcommand is not available in this build yet"); }

}  // namespace tessera_tool
