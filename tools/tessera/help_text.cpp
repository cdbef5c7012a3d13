// --help texts, the roff manual page and the Markdown manual, each written from the
// command table by the same helpers.
#include "help_text.h"

#include <algorithm>
#include <vector>

namespace tessera::tool {
namespace {

using Lines = std::vector<std::string>;

constexpr std::size_t kWidth = 79;

/// Text split at sep ("\n\n" for paragraphs, "\n" for lines); nothing for "".
Lines Split(const std::string& text, const std::string& sep) {
    Lines parts;
    for (std::size_t start = 0; start < text.size();) {
        std::size_t end = text.find(sep, start);
        if (end == std::string::npos) end = text.size();
        parts.push_back(text.substr(start, end - start));
        start = end + sep.size();
    }
    return parts;
}

/// A paragraph whose lines keep their layout (a table, a sample) starts with two spaces.
bool IsVerbatim(const std::string& paragraph) { return paragraph.compare(0, 2, "  ") == 0; }

/// The words of text filled into lines of at most kWidth columns after indent spaces.
std::string Fill(const std::string& text, std::size_t indent) {
    std::string out, line;
    for (const std::string& word : Split(text, " ")) {
        if (!line.empty() && indent + line.size() + 1 + word.size() > kWidth) {
            out += std::string(indent, ' ') + line + '\n';
            line.clear();
        }
        line += (line.empty() ? "" : " ") + word;
    }
    return out + std::string(indent, ' ') + line + '\n';
}

/// "transcode" for a command of the tool, "uri resolve" for a subcommand; "" for the tool.
std::string Join(const std::string& path, const char* name) { return path.empty() ? name : path + ' ' + name; }

std::string Upper(std::string text) {
    for (char& c : text) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
    return text;
}

/// A summary as a sentence: "list the names" gives "List the names.".
std::string Sentence(const char* summary) {
    const std::string text = summary;
    return text.empty() ? text : Upper(text.substr(0, 1)) + text.substr(1) + '.';
}

std::string OptionLabel(const OptionInfo& option) {
    return option.value == nullptr ? option.name : std::string(option.name) + ' ' + option.value;
}

std::string OptionHelp(const OptionInfo& option) {
    return std::string(option.help) + (option.required ? " (required)" : "");
}

bool IsGroup(const CommandInfo& command) { return command.subcommands.size != 0; }

/// "tessera PATH OPTIONS OPERANDS"; a group's options (--version) have lines of their own.
std::string Synopsis(const CommandInfo& command, const std::string& path) {
    std::string text = "tessera";
    if (!path.empty()) text += ' ' + path;
    for (const OptionInfo& option : command.options) {
        if (option.name == nullptr || IsGroup(command)) continue;
        text += ' ' + (option.required ? OptionLabel(option) : '[' + OptionLabel(option) + ']');
    }
    if (*command.operands != '\0') text += std::string(" ") + command.operands;
    return text;
}

/// The operand words of a command without brackets and dots: "BASE [REF...]" gives BASE, REF.
Lines OperandNames(const CommandInfo& command) {
    Lines names;
    for (std::string word : Split(command.operands, " ")) {
        std::string name;
        for (char c : word) {
            if (c != '[' && c != ']' && c != '.') name += c;
        }
        names.push_back(name);
    }
    return names;
}

std::string InputText(const CommandInfo& command) {
    const Lines names = OperandNames(command);
    const std::string item = names.empty() ? "" : names.back();
    const std::string lineEnd = "; the line end (LF or CR LF) is not part of it.";
    switch (command.input) {
        case Input::kNone:
            break;
        case Input::kWhole:
            return "Without " + item + ", or when " + item + " is '-', standard input is read.";
        case Input::kLines:
            return "Without any " + item + ", and for a " + item + " that is '-', each line of standard input is one " +
                   item + lineEnd;
        case Input::kAfterFirst:
            return "With " + names.front() + " alone, and for a " + item +
                   " that is '-', each line of standard input "
                   "is one " +
                   item + lineEnd;
        case Input::kPairs:
            return "Without operands, each line of standard input holds " + names[0] + " and " + names[1] +
                   " separated by a tab (a line without one is rejected)" + lineEnd;
    }
    return "";
}

std::string ExitStatusText(const CommandInfo& command) {
    std::string text = "Exit status: 0 on success; 1 ";
    if (command.rejected != nullptr) {
        text += std::string("when ") + command.rejected;
        if (command.input == Input::kLines || command.input == Input::kAfterFirst || command.input == Input::kPairs) {
            text += " (the rest is still processed)";
        }
        text += ", or ";
    }
    return text + "on a read or write error; 2 on a usage error.";
}

struct Row {
    std::string label, text;
};

std::vector<Row> OptionRows(const CommandInfo& command) {
    std::vector<Row> rows;
    for (const OptionInfo& option : command.options) {
        if (option.name != nullptr) {
            rows.push_back({OptionLabel(option), OptionHelp(option)});
        }
    }
    rows.push_back({"-h, --help", "print this help and exit"});
    return rows;
}

std::vector<Row> SubcommandRows(const CommandInfo& command) {
    std::vector<Row> rows;
    for (const CommandInfo& sub : command.subcommands) rows.push_back({sub.name, sub.summary});
    return rows;
}

// ---- Plain text (--help) ----

void PrintRows(const std::vector<Row>& rows, std::ostream& out) {
    std::size_t width = 0;
    for (const Row& row : rows) width = std::max(width, row.label.size());
    for (const Row& row : rows) {
        const std::string text = Fill(row.text, width + 4);
        out << "  " << row.label << std::string(width + 2 - row.label.size(), ' ') << text.substr(width + 4);
    }
}

void PrintParagraphs(const std::string& text, std::ostream& out) {
    for (const std::string& paragraph : Split(text, "\n\n")) {
        out << '\n' << (IsVerbatim(paragraph) ? paragraph + '\n' : Fill(paragraph, 0));
    }
}

// ---- roff ----

/// Text escaped for roff: backslashes and hyphens, and a '.' or '\'' that starts a line.
std::string Roff(const std::string& text) {
    std::string out;
    bool lineStart = true;
    for (char c : text) {
        if (lineStart && (c == '.' || c == '\'')) out += "\\&";
        if (c == '\\')
            out += "\\e";
        else if (c == '-')
            out += "\\-";
        else
            out += c;
        lineStart = c == '\n';
    }
    return out;
}

void RoffParagraphs(const std::string& text, std::ostream& out) {
    for (const std::string& paragraph : Split(text, "\n\n")) {
        if (IsVerbatim(paragraph)) {
            out << ".PP\n.nf\n" << Roff(paragraph) << "\n.fi\n";
        } else {
            out << ".PP\n" << Roff(paragraph) << '\n';
        }
    }
}

void RoffCommand(const CommandInfo& command, const std::string& path, std::ostream& out) {
    out << ".SS \"" << Roff(Synopsis(command, path)) << "\"\n" << Roff(Sentence(command.summary)) << '\n';
    RoffParagraphs(command.description, out);
    const std::string input = InputText(command);
    if (!input.empty()) out << ".PP\n" << Roff(input) << '\n';
    for (const OptionInfo& option : command.options) {
        if (option.name == nullptr) continue;
        out << ".TP\n.B " << Roff(OptionLabel(option)) << '\n' << Roff(OptionHelp(option)) << '\n';
    }
    if (!IsGroup(command)) out << ".PP\n" << Roff(ExitStatusText(command)) << '\n';
    if (*command.examples != '\0') out << ".PP\nExamples:\n.PP\n.RS\n.nf\n" << Roff(command.examples) << ".fi\n.RE\n";
    for (const CommandInfo& sub : command.subcommands) RoffCommand(sub, Join(path, sub.name), out);
}

// ---- Markdown ----

std::string Markdown(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '\\' || c == '*' || c == '<' || c == '>' || c == '`') out += '\\';
        out += c;
    }
    return out;
}

void MarkdownParagraphs(const std::string& text, std::ostream& out) {
    for (const std::string& paragraph : Split(text, "\n\n")) {
        out << (IsVerbatim(paragraph) ? "```text\n" + paragraph + "\n```\n" : Fill(Markdown(paragraph), 0)) << '\n';
    }
}

void MarkdownCommand(const CommandInfo& command, const std::string& path, std::ostream& out) {
    out << (path.find(' ') == std::string::npos ? "## " : "### ") << "tessera " << path << "\n\n";
    out << "```text\n" << Synopsis(command, path) << "\n```\n\n";
    out << Fill(Markdown(Sentence(command.summary)), 0) << '\n';
    MarkdownParagraphs(command.description, out);
    const std::string input = InputText(command);
    if (!input.empty()) out << Fill(Markdown(input), 0) << '\n';
    bool any = false;
    for (const OptionInfo& option : command.options) {
        if (option.name == nullptr) continue;
        out << "- `" << OptionLabel(option) << "`: " << Markdown(OptionHelp(option)) << '\n';
        any = true;
    }
    if (any) out << '\n';
    if (!IsGroup(command)) out << Fill(Markdown(ExitStatusText(command)), 0) << '\n';
    if (*command.examples != '\0') out << "Examples:\n\n```sh\n" << command.examples << "```\n\n";
    for (const CommandInfo& sub : command.subcommands) MarkdownCommand(sub, Join(path, sub.name), out);
}

/// Every command that runs, depth first, as (command, path).
void CollectLeaves(const CommandInfo& command, const std::string& path,
                   std::vector<std::pair<const CommandInfo*, std::string>>& leaves) {
    if (!IsGroup(command)) leaves.emplace_back(&command, path);
    for (const CommandInfo& sub : command.subcommands) CollectLeaves(sub, Join(path, sub.name), leaves);
}

Lines AllSynopses() {
    std::vector<std::pair<const CommandInfo*, std::string>> leaves;
    for (const CommandInfo& command : ToolCommand().subcommands) CollectLeaves(command, command.name, leaves);
    Lines synopses;
    for (const auto& [command, path] : leaves) synopses.push_back(Synopsis(*command, path));
    synopses.emplace_back("tessera --version");
    return synopses;
}

}  // namespace

void PrintHelp(const CommandInfo& command, const std::string& path, std::ostream& out) {
    const bool group = IsGroup(command);
    out << "usage: " << Synopsis(command, path) << '\n';
    if (path.empty()) out << "       tessera --version\n";
    out << '\n' << Fill(Sentence(command.summary), 0);
    PrintParagraphs(command.description, out);
    const std::string input = InputText(command);
    if (!input.empty()) out << '\n' << Fill(input, 0);
    if (group) {
        out << '\n' << (path.empty() ? "Commands:" : "Subcommands:") << '\n';
        PrintRows(SubcommandRows(command), out);
    }
    out << "\nOptions:\n";
    PrintRows(OptionRows(command), out);
    if (*command.examples != '\0') {
        out << "\nExamples:\n";
        for (const std::string& line : Split(command.examples, "\n")) out << "  " << line << '\n';
    }
    if (group) {
        out << "\nRun 'tessera " << Join(path, path.empty() ? "COMMAND" : "SUBCOMMAND") << " --help' for its usage"
            << (path.empty() ? ", 'tessera help --man' for the manual" : "") << ".\n";
    } else {
        out << '\n' << Fill(ExitStatusText(command), 0);
    }
}

void WriteManPage(std::ostream& out) {
    const CommandInfo& tool = ToolCommand();
    out << ".\\\" Generated by 'tessera help --man' from the tool's command table (build target\n"
        << ".\\\" tool-docs); do not edit.\n"
        << ".TH TESSERA 1 \"\" \"Tessera " << ToolVersion() << "\" \"User Commands\"\n.nh\n.ad l\n"
        << ".SH NAME\ntessera \\- " << Roff(tool.summary) << "\n.SH SYNOPSIS\n.nf\n";
    for (const std::string& synopsis : AllSynopses()) out << Roff(synopsis) << '\n';
    out << ".fi\n.SH DESCRIPTION\n";
    RoffParagraphs(tool.description, out);
    out << ".SH COMMANDS\n";
    for (const CommandInfo& command : tool.subcommands) RoffCommand(command, command.name, out);
    for (const ManualSection& section : ToolSections()) {
        out << ".SH " << Roff(Upper(section.title)) << '\n';
        RoffParagraphs(section.text, out);
    }
}

void WriteMarkdown(std::ostream& out) {
    const CommandInfo& tool = ToolCommand();
    out << "# The tessera tool\n\n"
        << "<!-- Generated by 'tessera help --markdown' from the tool's command table (build target\n"
        << "     tool-docs); do not edit. -->\n\n"
        << Fill(Markdown(Sentence(tool.summary)), 0) << '\n';
    MarkdownParagraphs(tool.description, out);
    out << "```text\n";
    for (const std::string& synopsis : AllSynopses()) out << synopsis << '\n';
    out << "```\n\n";
    for (const ManualSection& section : ToolSections()) {
        out << "## " << section.title << "\n\n";
        MarkdownParagraphs(section.text, out);
    }
    for (const CommandInfo& command : tool.subcommands) MarkdownCommand(command, command.name, out);
}

}  // namespace tessera::tool
