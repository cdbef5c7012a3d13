// The commands of the tessera tool. Each gets its parsed invocation and returns the exit
// status: 0 success, 1 some input was rejected (invalid URI, unparsable text, failed
// conversion; the other items are still processed), 2 a usage error. Messages are one
// line on standard error, through Invocation::Fail and its kin.
#ifndef TESSERA_TOOL_COMMANDS_H
#define TESSERA_TOOL_COMMANDS_H

#include <string>
#include <vector>

#include "invocation.h"

namespace tessera::tool {

int RunTranscode(const Invocation& in);
int RunEncodings(const Invocation& in);
int RunHelp(const Invocation& in);

int RunTimeNow(const Invocation& in);
int RunTimeParse(const Invocation& in);
int RunTimeFromTicks(const Invocation& in);
int RunTimeFromTime_t(const Invocation& in);

/// Every name of the encoding table once, in table order.
std::vector<std::string> EncodingNames();

/// Runs the tool on its arguments (those after the program name) and closes standard
/// output; returns the exit status, 1 at least when output could not be written.
int RunTool(const Args& args);

}  // namespace tessera::tool

#endif
