// tessera: command-line access to the library's URI, encoding and time-stamp services.
#include <cstring>
#include <iostream>

#include "command_line.h"
#include "commands.h"
#include "standard_streams.h"

namespace tessera_tool {

int Fail(int status, const std::string& message) {
    std::cerr << "tessera: " << message << '\n';
    return status;
}

namespace {

struct Command {
    const char* name;
    int (*run)(const Args&);
    const char* summary;
};

const Command kCommands[] = {
    {"transcode", RunTranscode, "convert text between encodings (like iconv)"},
    {"encodings", RunEncodings, "list the encoding names the library knows"},
    {"uri", RunUri, "parse, escape, resolve and relate URIs"},
    {"time", RunTime, "parse and format time stamps"},
};

void PrintUsage(std::ostream& out) {
    out << "usage: tessera COMMAND [ARGS...]\n\ncommands:\n";
    for (const Command& c : kCommands) {
        out << "  " << c.name << std::string(12 - std::strlen(c.name), ' ') << c.summary << '\n';
    }
    out << "\nRun 'tessera COMMAND --help' for a command's own usage.\n";
}

}  // namespace
}  // namespace tessera_tool

int main(int argc, char** argv) {
    using namespace tessera_tool;
    SetBinaryStandardStreams();
    const Args arguments = CommandLineArguments(argc, argv);
    if (arguments.empty()) {
        PrintUsage(std::cerr);
        return 2;
    }
    const std::string& name = arguments[0];
    if (name == "--help" || name == "-h" || name == "help") {
        PrintUsage(std::cout);
        return 0;
    }
    for (const Command& c : kCommands) {
        if (name == c.name) {
            return c.run(Args(arguments.begin() + 1, arguments.end()));
        }
    }
    return Fail(2, "unknown command '" + name + "' (try 'tessera --help')");
}
