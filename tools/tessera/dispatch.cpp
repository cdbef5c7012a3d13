// Finds the command that the words of the command line name and runs it.
#include <iostream>

#include "close_matches.h"
#include "commands.h"
#include "help_text.h"

namespace tessera::tool {

int RunTool(const Args& args) {
    const CommandInfo* command = &ToolCommand();
    std::string path;
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
            return Fail(kUsageError, where + "unknown option '" + word + "'" + tryHelp);
        }
        const CommandInfo* sub = FindSubcommand(*command, word);
        if (sub == nullptr) {
            const std::string hint = DidYouMean(word, SubcommandNames(*command));
            return Fail(kUsageError, where + "unknown " + kind + " '" + word + "'" + (hint.empty() ? tryHelp : hint));
        }
        command = sub;
        path += (path.empty() ? "" : " ") + word;
    }
    Invocation in(*command, path);
    const int status = in.Parse(Args(args.begin() + static_cast<std::ptrdiff_t>(next), args.end()));
    return status >= 0 ? status : command->run(in);
}

}  // namespace tessera::tool
