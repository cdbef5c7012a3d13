// Finds the command that the words of the command line name, runs it, and makes sure
// that what it wrote reached standard output.
#include <iostream>

#include "close_matches.h"
#include "commands.h"
#include "help_text.h"
#include "standard_streams.h"

namespace tessera::tool {
namespace {

/// Runs the command that args name; path receives its words ("uri resolve").
int RunCommand(const Args& args, std::string& path) {
    const CommandInfo* command = &ToolCommand();
    std::size_t next = 0;
    while (command->subcommands.size != 0) {
        const std::string where = path.empty() ? "" : path + ": ";
        const std::string kind = path.empty() ? "command" : "subcommand";
        const std::string tryHelp = " (try 'tessera " + (path.empty() ? "" : path + " ") + "--help')";
        if (next == args.size()) return Fail(kUsageError, where + "missing " + kind + tryHelp);
        const std::string& word = args[next++];
        if (IsHelpOption(word)) {
            PrintHelp(*command, path, std::cout);
            return kSuccess;
        }
        if (path.empty() && word == "--version") {
            std::cout << "tessera " << ToolVersion() << '\n';
            return kSuccess;
        }
        if (word.size() > 1 && word[0] == '-') {
            return Fail(kUsageError, where + "unknown option " + Quote(word) + tryHelp);
        }
        const CommandInfo* sub = FindSubcommand(*command, word);
        if (sub == nullptr) {
            const std::string hint = DidYouMean(word, SubcommandNames(*command));
            return Fail(kUsageError, where + "unknown " + kind + " " + Quote(word) + (hint.empty() ? tryHelp : hint));
        }
        command = sub;
        path += (path.empty() ? "" : " ") + word;
    }
    Invocation in(*command, path);
    const int status = in.Parse(Args(args.begin() + static_cast<std::ptrdiff_t>(next), args.end()));
    return status >= 0 ? status : command->run(in);
}

}  // namespace

int RunTool(const Args& args) {
    std::string path;
    const int status = RunCommand(args, path);
    return FinishOutput(path, status);
}

}  // namespace tessera::tool
