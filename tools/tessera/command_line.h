// The tool's command-line arguments as UTF-8 text.
#ifndef TESSERA_TOOL_COMMAND_LINE_H
#define TESSERA_TOOL_COMMAND_LINE_H

#include "commands.h"

namespace tessera::tool {

/// The arguments after the program name, in UTF-8. On Windows they are read from the
/// wide command line (the narrow argv there is in the ANSI code page and loses what that
/// cannot hold); elsewhere they are argv as given.
Args CommandLineArguments(int argc, char** argv);

}  // namespace tessera::tool

#endif
