// The description of every command of the tessera tool: names, synopses, options, how
// standard input is read, what exit status 1 means. Dispatch, option parsing, --help
// and the generated manual page all read this one table.
#ifndef TESSERA_TOOL_COMMAND_TABLE_H
#define TESSERA_TOOL_COMMAND_TABLE_H

#include <cstddef>
#include <string>
#include <vector>

namespace tessera::tool {

class Invocation;
struct CommandInfo;

/// One option: "--name", or "--name VALUE" when value names the value.
struct OptionInfo {
    const char* name;   // nullptr ends the list
    const char* value;  // placeholder of the value, nullptr for a flag
    bool required;
    const char* help;  // one line
};

/// How a command reads standard input; the help text says so in the same words.
enum class Input {
    kNone,        // never
    kWhole,       // all of it, when the file operand is omitted or "-"
    kLines,       // one item a line, when the items are omitted or one is "-"
    kAfterFirst,  // one item a line for the operands after the first, when they are omitted or "-"
    kPairs,       // two items a line separated by a tab, when both are omitted
};

/// The subcommands of a group.
struct CommandList {
    const CommandInfo* items;
    std::size_t size;
    const CommandInfo* begin() const { return items; }
    const CommandInfo* end() const;
};

constexpr std::size_t kMaxOptions = 4;
constexpr std::size_t kAnyNumber = static_cast<std::size_t>(-1);

/// A command, a group of subcommands, or the tool itself.
struct CommandInfo {
    const char* name;
    const char* operands;  // synopsis of the operands ("" for none)
    std::size_t minOperands, maxOperands;
    Input input;
    const char* summary;      // one line, no full stop
    const char* description;  // paragraphs separated by an empty line
    OptionInfo options[kMaxOptions];
    const char* rejected;  // what exit status 1 stands for; nullptr when the command never rejects
    const char* examples;  // command lines, one a line; "" for none
    CommandList subcommands;
    int (*run)(const Invocation&);  // nullptr for a group
};

inline const CommandInfo* CommandList::end() const { return items + size; }

/// The tool itself: its subcommands are the commands.
const CommandInfo& ToolCommand();

/// A section of the manual about every command (standard input, exit status...).
struct ManualSection {
    const char* title;
    const char* text;  // paragraphs separated by an empty line
};

struct ManualSections {
    const ManualSection* items;
    std::size_t size;
    const ManualSection* begin() const { return items; }
    const ManualSection* end() const { return items + size; }
};

/// The sections after the commands in the manual, in order.
ManualSections ToolSections();

/// The subcommand of group with that name, or nullptr.
const CommandInfo* FindSubcommand(const CommandInfo& group, const std::string& name);

/// The names of the subcommands of group, in order.
std::vector<std::string> SubcommandNames(const CommandInfo& group);

/// The version of the tool and library, "MAJOR.MINOR.PATCH".
const char* ToolVersion();

}  // namespace tessera::tool

#endif
