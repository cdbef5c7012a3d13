// tessera uri SUBCOMMAND ...
#include <iostream>

#include "uri_commands.h"

namespace tessera_tool {
namespace {

struct UriCommand {
    const char* name;
    int (*run)(const Args&);
    const char* usage;
};

const UriCommand kUriCommands[] = {
    {"show", RunUriShow, "show URI...            components, flags and written-out forms"},
    {"escape", RunUriEscape, "escape TEXT            percent-escape text as a path"},
    {"unescape", RunUriUnescape, "unescape TEXT          decode percent escapes"},
    {"resolve", RunUriResolve, "resolve BASE REF...    resolve references against a base"},
    {"relative", RunUriRelative, "relative TARGET BASE   make TARGET relative to BASE"},
    {"relation", RunUriRelation, "relation A B           none, child, same or parent"},
    {"common-parent", RunUriCommonParent, "common-parent A B      nearest common directory"},
    {"ipv6", RunUriIpv6, "ipv6 ADDRESS           full form of an IPv6 address"},
    {"query", RunUriQuery, "query URI              the query as key=value lines"},
    {"to-path", RunUriToPath, "to-path [--win|--unix|--mac] URI"},
    {"from-path", RunUriFromPath, "from-path [--win|--unix|--mac] PATH"},
    {"guess", RunUriGuess, "guess [--scheme NAME] TEXT..."},
};

void PrintUriUsage(std::ostream& out) {
    out << "usage: tessera uri SUBCOMMAND ARGS...\n\nsubcommands:\n";
    for (const UriCommand& c : kUriCommands) out << "  " << c.usage << '\n';
}

}  // namespace

int RunUri(const Args& args) {
    if (args.empty()) {
        PrintUriUsage(std::cerr);
        return 2;
    }
    if (args[0] == "--help" || args[0] == "-h") {
        PrintUriUsage(std::cout);
        return 0;
    }
    for (const UriCommand& c : kUriCommands) {
        if (args[0] == c.name) return c.run(Args(args.begin() + 1, args.end()));
    }
    return Fail(2, "uri: unknown subcommand '" + args[0] + "' (try 'tessera uri --help')");
}

}  // namespace tessera_tool
