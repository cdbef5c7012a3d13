// Option parsing against the command table, and the one-line failure messages.
#include "invocation.h"

#include <iostream>

#include "close_matches.h"
#include "help_text.h"

namespace tessera::tool {
namespace {

/// Whether arg is an option rather than an operand: "-" alone is an operand (standard
/// input), and so is a negative number.
bool LooksLikeOption(const std::string& arg) {
    return arg.size() > 1 && arg[0] == '-' && !(arg[1] >= '0' && arg[1] <= '9');
}

const OptionInfo* FindOption(const CommandInfo& command, const std::string& name) {
    for (const OptionInfo& option : command.options) {
        if (option.name != nullptr && name == option.name) return &option;
    }
    return nullptr;
}

std::vector<std::string> OptionNames(const CommandInfo& command) {
    std::vector<std::string> names{"--help"};
    for (const OptionInfo& option : command.options) {
        if (option.name != nullptr) names.emplace_back(option.name);
    }
    return names;
}

}  // namespace

int Fail(int status, const std::string& message) {
    std::cerr << "tessera: " << message << '\n';
    return status;
}

std::string Quote(const std::string& text) {
    if (text.size() <= kQuotedBytes) return '\'' + text + '\'';
    std::size_t cut = kQuotedBytes - 12;  // room for the ellipsis and the length
    while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) --cut;  // a continuation byte
    return '\'' + text.substr(0, cut) + "...' (" + std::to_string(text.size()) + " bytes)";
}

bool IsHelpOption(const std::string& arg) { return arg == "-h" || arg == "--help"; }

std::string QuotedAlternatives(const std::vector<std::string>& names) {
    std::string text;
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (i > 0) text += i + 1 == names.size() ? " or " : ", ";
        text += '\'' + names[i] + '\'';
    }
    return text;
}

std::string Invocation::Value(const std::string& option, const std::string& fallback) const {
    const auto found = m_options.find(option);
    return found == m_options.end() ? fallback : found->second;
}

int Invocation::Fail(int status, const std::string& what) const {
    return tessera::tool::Fail(status, m_path + ": " + what);
}

int Invocation::UsageError(const std::string& what) const {
    return Fail(kUsageError, what + " (try 'tessera " + m_path + " --help')");
}

int Invocation::Parse(const Args& args) {
    bool optionsDone = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (optionsDone || !LooksLikeOption(arg)) {
            m_operands.push_back(arg);
            continue;
        }
        if (arg == "--") {
            optionsDone = true;
            continue;
        }
        if (IsHelpOption(arg)) {
            PrintHelp(m_command, m_path, std::cout);
            return kSuccess;
        }
        const std::size_t equals = arg.find('=');
        const std::string name = arg.substr(0, equals);
        const OptionInfo* option = FindOption(m_command, name);
        if (option == nullptr) {
            const std::string hint = DidYouMean(name, OptionNames(m_command));
            if (hint.empty()) return UsageError("unknown option " + Quote(name));
            return Fail(kUsageError, "unknown option " + Quote(name) + hint);
        }
        m_given.push_back(name);
        if (option->value == nullptr) {
            if (equals != std::string::npos) return UsageError("option " + name + " takes no value");
            m_options[name];
        } else if (equals != std::string::npos) {
            m_options[name] = arg.substr(equals + 1);
        } else if (i + 1 < args.size()) {
            m_options[name] = args[++i];
        } else {
            return UsageError("option " + name + " needs a value " + option->value);
        }
    }
    for (const OptionInfo& option : m_command.options) {
        if (option.name != nullptr && option.required && !Has(option.name)) {
            return UsageError("option " + std::string(option.name) + " is required");
        }
    }
    if (m_operands.size() < m_command.minOperands) {
        return UsageError(std::string("missing operand ") + m_command.operands);
    }
    if (m_operands.size() > m_command.maxOperands) {
        return UsageError("unexpected operand " + Quote(m_operands[m_command.maxOperands]));
    }
    return -1;
}

}  // namespace tessera::tool
