// Help texts, the manual page and the Markdown page of the tool, all written from the
// command table.
#ifndef TESSERA_TOOL_HELP_TEXT_H
#define TESSERA_TOOL_HELP_TEXT_H

#include <ostream>
#include <string>

#include "command_table.h"

namespace tessera::tool {

/// The --help text of a command; path is its words after "tessera" ("" for the tool).
void PrintHelp(const CommandInfo& command, const std::string& path, std::ostream& out);

/// The manual page, tessera(1), in roff.
void WriteManPage(std::ostream& out);

/// The manual as a Markdown page.
void WriteMarkdown(std::ostream& out);

}  // namespace tessera::tool

#endif
