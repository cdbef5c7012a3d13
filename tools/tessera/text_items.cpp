// Operands or lines of standard input, handed one by one (or a pair at a time) to a command.
#include "text_items.h"

#include <algorithm>
#include <iostream>

#include "standard_streams.h"

namespace tessera::tool {
namespace {

/// Calls each for every line of standard input until its end, a read error (reported)
/// or a failed write.
int ForEachLine(const Invocation& in, const std::function<int(const std::string&)>& each) {
    InputFile input;
    int status = kSuccess;
    for (std::string line; !OutputFailed() && input.ReadLine(line);) status = std::max(status, each(line));
    if (!input.Error().empty())
        status = std::max(status, in.Reject("cannot read " + input.Name() + ": " + input.Error()));
    return status;
}

}  // namespace

int ForEachItem(const Invocation& in, std::size_t first, const std::function<int(const std::string&)>& each) {
    const Args& operands = in.Operands();
    if (operands.size() <= first) return ForEachLine(in, each);
    int status = kSuccess;
    for (std::size_t i = first; i < operands.size() && !OutputFailed(); ++i) {
        status = std::max(status, operands[i] == "-" ? ForEachLine(in, each) : each(operands[i]));
    }
    return status;
}

int ForEachPair(const Invocation& in, const std::function<int(const std::string&, const std::string&)>& each) {
    const Args& operands = in.Operands();
    if (operands.size() == 2) return each(operands[0], operands[1]);
    if (!operands.empty()) return in.UsageError("expects two operands, or none to read tab-separated pairs");
    return ForEachLine(in, [&](const std::string& line) -> int {
        const std::size_t tab = line.find('\t');
        if (tab == std::string::npos) return in.Reject("no tab between the two URIs of line " + Quote(line));
        return each(line.substr(0, tab), line.substr(tab + 1));
    });
}

void BlockSeparator::Next() {
    if (!m_first) std::cout << '\n';
    m_first = false;
}

}  // namespace tessera::tool
