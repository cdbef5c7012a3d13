// The subcommands of 'tessera uri'.
#ifndef TESSERA_TOOL_URI_COMMANDS_H
#define TESSERA_TOOL_URI_COMMANDS_H

#include "commands.h"

namespace tessera_tool {

// Components and written-out forms; escaping (uri_core_commands.cpp).
int RunUriShow(const Invocation& in);
int RunUriEscape(const Invocation& in);
int RunUriUnescape(const Invocation& in);

// Resolution, relations, hosts (uri_relation_commands.cpp); these still read their own
// arguments.
int RunUriResolve(const Args& args);
int RunUriRelative(const Args& args);
int RunUriRelation(const Args& args);
int RunUriCommonParent(const Args& args);
int RunUriIpv6(const Args& args);

// Queries, local paths, guessing (uri_path_commands.cpp).
int RunUriQuery(const Invocation& in);
int RunUriToPath(const Invocation& in);
int RunUriFromPath(const Invocation& in);
int RunUriGuess(const Invocation& in);

}  // namespace tessera_tool

#endif
