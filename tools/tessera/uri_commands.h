// The subcommands of 'tessera uri'.
#ifndef TESSERA_TOOL_URI_COMMANDS_H
#define TESSERA_TOOL_URI_COMMANDS_H

#include "commands.h"

namespace tessera::tool {

// Components and written-out forms; escaping (uri_core_commands.cpp).
int RunUriShow(const Invocation& in);
int RunUriEscape(const Invocation& in);
int RunUriUnescape(const Invocation& in);

// Resolution, relations, hosts (uri_relation_commands.cpp).
int RunUriResolve(const Invocation& in);
int RunUriRelative(const Invocation& in);
int RunUriRelation(const Invocation& in);
int RunUriCommonParent(const Invocation& in);
int RunUriIpv6(const Invocation& in);

// Queries, local paths, guessing (uri_path_commands.cpp).
int RunUriQuery(const Invocation& in);
int RunUriToPath(const Invocation& in);
int RunUriFromPath(const Invocation& in);
int RunUriGuess(const Invocation& in);

}  // namespace tessera::tool

#endif
