// The items a command works on: its operands, or lines of standard input.
#ifndef TESSERA_TOOL_TEXT_ITEMS_H
#define TESSERA_TOOL_TEXT_ITEMS_H

#include <functional>
#include <string>

#include "invocation.h"

namespace tessera::tool {

/// Calls each for the operands from first on, in order. When there are none, and for an
/// operand "-", it calls each for every line of standard input instead (without its line
/// end, "\n" or "\r\n"). Stops early when standard output fails; rejects a read error
/// of standard input. Returns the highest status each returned.
int ForEachItem(const Invocation& in, std::size_t first, const std::function<int(const std::string&)>& each);

/// Calls each once for the two operands, or, when there are none, for every line of
/// standard input split at its first tab. Rejects a line without a tab and goes on with
/// the next; a single operand is a usage error. Returns the highest status.
int ForEachPair(const Invocation& in, const std::function<int(const std::string&, const std::string&)>& each);

/// Separates blocks of output lines by an empty line.
class BlockSeparator {
public:
    /// Starts a block: prints the empty line before every block but the first.
    void Next();

private:
    bool m_first = true;
};

}  // namespace tessera::tool

#endif
