// Operands or lines of standard input, handed one by one (or a pair at a time) to a command.
#include "text_items.h"

#include <algorithm>
#include <iostream>

namespace tessera::tool {
namespace {

bool ReadLine(std::string& line) {
    if (!std::getline(std::cin, line)) return false;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return true;
}

int ForEachLine(const std::function<int(const std::string&)>& each) {
    int status = kSuccess;
    for (std::string line; ReadLine(line);) status = std::max(status, each(line));
    return status;
}

}  // namespace

int ForEachItem(const Invocation& in, std::size_t first, const std::function<int(const std::string&)>& each) {
    const Args& operands = in.Operands();
    if (operands.size() <= first) return ForEachLine(each);
    int status = kSuccess;
    for (std::size_t i = first; i < operands.size(); ++i) {
        status = std::max(status, operands[i] == "-" ? ForEachLine(each) : each(operands[i]));
    }
    return status;
}

int ForEachPair(const Invocation& in, const std::function<int(const std::string&, const std::string&)>& each) {
    const Args& operands = in.Operands();
    if (operands.size() == 2) return each(operands[0], operands[1]);
    if (!operands.empty()) return in.UsageError("expects two operands, or none to read tab-separated pairs");
    return ForEachLine([&](const std::string& line) -> int {
        const std::size_t tab = line.find('\t');
        if (tab == std::string::npos) return in.Reject("no tab between the two URIs of line '" + line + "'");
        return each(line.substr(0, tab), line.substr(tab + 1));
    });
}

void BlockSeparator::Next() {
    if (!m_first) std::cout << '\n';
    m_first = false;
}

}  // namespace tessera::tool
