// tessera help [--man|--markdown] [COMMAND [SUBCOMMAND]]
#include <iostream>

#include "close_matches.h"
#include "commands.h"
#include "help_text.h"

namespace tessera::tool {

int RunHelp(const Invocation& in) {
    const bool man = in.Has("--man"), markdown = in.Has("--markdown");
    if (man || markdown) {
        if (man && markdown) return in.UsageError("--man and --markdown exclude each other");
        if (!in.Operands().empty()) return in.UsageError("the manual is written whole; it takes no operands");
        man ? WriteManPage(std::cout) : WriteMarkdown(std::cout);
        return kSuccess;
    }
    const CommandInfo* command = &ToolCommand();
    std::string path;
    for (const std::string& word : in.Operands()) {
        const CommandInfo* sub = FindSubcommand(*command, word);
        if (sub == nullptr) {
            const std::string what =
                path.empty() ? "no command " + Quote(word) : "'" + path + "' has no subcommand " + Quote(word);
            const std::string hint = DidYouMean(word, SubcommandNames(*command));
            return hint.empty() ? in.UsageError(what) : in.Fail(kUsageError, what + hint);
        }
        command = sub;
        path += (path.empty() ? "" : " ") + word;
    }
    PrintHelp(*command, path, std::cout);
    return kSuccess;
}

}  // namespace tessera::tool
