// tessera: command-line access to the library's URI, encoding and time-stamp services.
#include "command_line.h"
#include "commands.h"
#include "standard_streams.h"

int main(int argc, char** argv) {
    tessera::tool::SetUpStandardStreams();
    return tessera::tool::RunTool(tessera::tool::CommandLineArguments(argc, argv));
}
