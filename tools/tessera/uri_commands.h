// The subcommands of 'tessera uri'. Each takes the arguments after its own name.
#ifndef TESSERA_TOOL_URI_COMMANDS_H
#define TESSERA_TOOL_URI_COMMANDS_H

#include "commands.h"

namespace tessera_tool {

// Components and written-out forms; escaping (uri_core_commands.cpp).
int RunUriShow(const Args& args);
int RunUriEscape(const Args& args);
int RunUriUnescape(const Args& args);

// Resolution, relations, hosts (uri_relation_commands.cpp).
int RunUriResolve(const Args& args);
int RunUriRelative(const Args& args);
int RunUriRelation(const Args& args);
int RunUriCommonParent(const Args& args);
int RunUriIpv6(const Args& args);

// Queries, local paths, guessing (uri_path_commands.cpp).
int RunUriQuery(const Args& args);
int RunUriToPath(const Args& args);
int RunUriFromPath(const Args& args);
int RunUriGuess(const Args& args);

}  // namespace tessera_tool

#endif
