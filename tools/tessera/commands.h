// The subcommands of the tessera tool. Each takes the arguments after its own name and
// returns the process exit status: 0 success, 1 the input was rejected (invalid URI,
// unparsable text, failed conversion), 2 a usage error (unknown option, missing operand,
// unknown encoding name).
#ifndef TESSERA_TOOL_COMMANDS_H
#define TESSERA_TOOL_COMMANDS_H

#include <string>
#include <vector>

namespace tessera_tool {

using Args = std::vector<std::string>;

int RunTranscode(const Args& args);
int RunEncodings(const Args& args);
int RunUri(const Args& args);
int RunTime(const Args& args);

/// Prints "tessera: <message>" on stderr and returns status.
int Fail(int status, const std::string& message);

}  // namespace tessera_tool

#endif
