// tessera: command-line access to the library's URI, encoding and time-stamp services.
#include "commands.h"

int main(int argc, char** argv) { return tessera_tool::RunTool(tessera_tool::Args(argv + 1, argv + argc)); }
