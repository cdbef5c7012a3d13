// A command as invoked: its entry of the command table, its options and its operands,
// and the one-line messages it reports failures with.
#ifndef TESSERA_TOOL_INVOCATION_H
#define TESSERA_TOOL_INVOCATION_H

#include <map>
#include <string>
#include <vector>

#include "command_table.h"

namespace tessera::tool {

using Args = std::vector<std::string>;

/// Exit statuses of every command.
enum Status { kSuccess = 0, kRejected = 1, kUsageError = 2 };

/// Prints "tessera: <message>" on standard error and returns status.
int Fail(int status, const std::string& message);

class Invocation {
public:
    Invocation(const CommandInfo& command, std::string path) : m_command(command), m_path(std::move(path)) {}

    /// The table entry of the command.
    const CommandInfo& Command() const { return m_command; }
    /// The command's words after "tessera", such as "uri resolve".
    const std::string& Path() const { return m_path; }
    /// The operands, in order.
    const Args& Operands() const { return m_operands; }

    /// The names of the options given, in order (an option given twice is listed twice).
    const Args& Options() const { return m_given; }
    /// Whether the option was given.
    bool Has(const std::string& option) const { return m_options.count(option) != 0; }
    /// The value of the option given last, or fallback.
    std::string Value(const std::string& option, const std::string& fallback = "") const;

    /// Prints "tessera: <path>: <what>" on standard error and returns status.
    int Fail(int status, const std::string& what) const;
    /// Reports input that the command rejects; returns kRejected.
    int Reject(const std::string& what) const { return Fail(kRejected, what); }
    /// Reports a usage error with a pointer to the command's help; returns kUsageError.
    int UsageError(const std::string& what) const;

    /// Reads args against the command's options. Returns -1 when the command is to run,
    /// else the exit status (after printing the help or a usage error).
    int Parse(const Args& args);

private:
    const CommandInfo& m_command;
    std::string m_path;
    Args m_operands;
    Args m_given;
    std::map<std::string, std::string> m_options;
};

/// text in single quotes, for a message. A text of more than kQuotedBytes bytes is cut
/// (not inside a UTF-8 sequence) and tells its length: 'http://h/aaaa...' (1048576 bytes).
std::string Quote(const std::string& text);
constexpr std::size_t kQuotedBytes = 72;

/// Whether arg is "-h" or "--help".
bool IsHelpOption(const std::string& arg);

/// "'a'", "'a' or 'b'", "'a', 'b' or 'c'"; "" for none.
std::string QuotedAlternatives(const std::vector<std::string>& names);

}  // namespace tessera::tool

#endif
