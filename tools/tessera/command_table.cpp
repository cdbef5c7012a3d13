// The command table: every command of the tessera tool and its documentation. The help
// texts and the manual (docs/tessera.1, docs/tool.md) are written from it; after a change
// here, run the 'tool-docs' build target to write them again.
#include "command_table.h"

#include "commands.h"
#include "uri_commands.h"

namespace tessera::tool {
namespace {

constexpr OptionInfo kIgnoreCase = {"--ignore-case", nullptr, false, "compare paths ignoring case"};
constexpr OptionInfo kWindows = {"--win", nullptr, false,
                                 "Windows notation: 'D:\\dir\\file', '\\\\server\\share\\file'"};
constexpr OptionInfo kUnix = {"--unix", nullptr, false, "Unix notation: '/dir/file'"};
constexpr OptionInfo kMac = {"--mac", nullptr, false, "classic Macintosh notation: 'Disk:dir:file'"};

// Fields: name, operands, min and max operand count, input, summary, description,
// options, what exit status 1 means, examples, subcommands, run.

const CommandInfo kUriCommands[] = {
    {"show",
     "[URI...]",
     0,
     kAnyNumber,
     Input::kLines,
     "show the components, flags and written-out forms of URIs",
     "For each URI, prints the URI, whether it is valid, relative and hierarchical, each component as stored "
     "(escaped) and unescaped, and the URI written out four ways: ToString(false) as stored, ToString(true) "
     "unescaped, ToStringUTF8 with the escapes of non-ASCII bytes decoded, and ToStringUTF8Escaped in pure "
     "ASCII. The blocks of two URIs are separated by an empty line.",
     {},
     "a URI is not valid",
     "tessera uri show 'HTTP://u@Host:81/a%20b?q=%41#f'\n",
     {},
     RunUriShow},
    {"escape",
     "[TEXT...]",
     0,
     kAnyNumber,
     Input::kLines,
     "percent-escape text as a path, or as a query key or value",
     "Writes each TEXT with the bytes that may not stand in a path written as %XX escapes: 'a b/c?d' gives "
     "'a%20b/c%3Fd'. With --query the bytes that may not stand in a query key or value are escaped, among "
     "them '&', '=', '+' and '/'.",
     {{"--query", nullptr, false, "escape as a query key or value"}},
     nullptr,
     "tessera uri escape 'a b/c?d'\n"
     "printf '%s\\n' 'x=1&y' 'caf\\303\\251' | tessera uri escape --query\n",
     {},
     RunUriEscape},
    {"unescape",
     "[TEXT...]",
     0,
     kAnyNumber,
     Input::kLines,
     "decode percent escapes",
     "Writes each TEXT with its %XX escapes decoded; a '%' without two hexadecimal digits after it stays as "
     "it is. With --query a '+' stands for a space: 'a+b%2Bc' gives 'a b+c'.",
     {{"--query", nullptr, false, "decode a query key or value: '+' is a space"}},
     nullptr,
     "tessera uri unescape '%41%20b'\n",
     {},
     RunUriUnescape},
    {"resolve",
     "BASE [REF...]",
     1,
     kAnyNumber,
     Input::kAfterFirst,
     "resolve references against a base URI",
     "Writes each REF resolved against BASE, the way a browser follows a link: '../g' against "
     "'http://a/b/c/d;p?q' gives 'http://a/b/g'. An absolute REF stands for itself. BASE must be a valid "
     "absolute URI; when it is not, nothing is resolved. Where the results differ from RFC 3986 is "
     "described in the library's documentation (docs/uri-resolution.md).",
     {},
     "BASE or a REF is not a valid URI, or a REF does not resolve to one",
     "tessera uri resolve 'http://a/b/c/d;p?q' g ../h '?y'\n"
     "printf '%s\\n' a.html ../up.html | tessera uri resolve http://h/dir/index.html\n",
     {},
     RunUriResolve},
    {"relative",
     "[TARGET BASE]",
     0,
     2,
     Input::kPairs,
     "write a URI as a reference relative to a base",
     "Writes TARGET as a reference relative to BASE: 'http://h/a/b/c.html' relative to "
     "'http://h/a/d/e.html' is '../b/c.html'. TARGET cannot be made relative when BASE is relative or the "
     "two differ in scheme or host.",
     {kIgnoreCase},
     "a URI is not valid or TARGET cannot be made relative to BASE",
     "tessera uri relative http://h/a/b/c.html http://h/a/d/e.html\n",
     {},
     RunUriRelative},
    {"relation",
     "[A B]",
     0,
     2,
     Input::kPairs,
     "tell how two URIs relate: none, child, same or parent",
     "Writes 'child' when A lies below B, 'parent' when A holds B, 'same' when both name the same place "
     "and 'none' otherwise.",
     {kIgnoreCase},
     "a URI is not valid",
     "tessera uri relation http://h/a/b http://h/a\n",
     {},
     RunUriRelation},
    {"common-parent",
     "[A B]",
     0,
     2,
     Input::kPairs,
     "write the nearest directory that holds two URIs",
     "Writes the deepest directory URI that holds both A and B: 'http://h/a/b/c' and 'http://h/a/d' give "
     "'http://h/a/'. Both must be absolute URIs.",
     {kIgnoreCase},
     "a URI is not valid or is relative",
     "tessera uri common-parent http://h/a/b/c http://h/a/d\n",
     {},
     RunUriCommonParent},
    {"ipv6",
     "[ADDRESS...]",
     0,
     kAnyNumber,
     Input::kLines,
     "write IPv6 addresses in full",
     "Writes each ADDRESS as eight groups of four hexadecimal digits; an IPv4 address in its last part "
     "becomes two groups. The address may stand in brackets, as in a URI: '[::ffff:1.2.3.4]' gives "
     "'0000:0000:0000:0000:0000:ffff:0102:0304'.",
     {},
     "an ADDRESS is not an IPv6 address",
     "tessera uri ipv6 '[::1]' ::ffff:1.2.3.4\n",
     {},
     RunUriIpv6},
    {"query",
     "[URI...]",
     0,
     kAnyNumber,
     Input::kLines,
     "list the key=value pairs of the query of URIs",
     "For each URI, writes the pairs of its query unescaped, one 'key=value' a line in the order of the "
     "keys. The blocks of two URIs are separated by an empty line.",
     {},
     "a URI is not valid",
     "tessera uri query 'http://h/p?b=2&a=1&c+d=%41'\n",
     {},
     RunUriQuery},
    {"to-path",
     "[URI...]",
     0,
     kAnyNumber,
     Input::kLines,
     "write the local file-system paths of file URIs",
     "Writes the local path that each file URI names, in this platform's notation or in the one an option "
     "chooses (the last one given counts): 'file:///D|/dir/a%20b.txt' with --win gives 'D:\\dir\\a b.txt'.",
     {kWindows, kUnix, kMac},
     "a URI is not valid or names no local path in the notation",
     "tessera uri to-path --win 'file:///D|/dir/a%20b.txt'\n",
     {},
     RunUriToPath},
    {"from-path",
     "[PATH...]",
     0,
     kAnyNumber,
     Input::kLines,
     "write the file URIs of local file-system paths",
     "Writes the file URI of each PATH, read in this platform's notation or in the one an option chooses "
     "(the last one given counts): '\\\\server\\share\\100%' with --win gives 'file://server/share/100%25'.",
     {kWindows, kUnix, kMac},
     "a PATH gives no file URI (an empty Windows path)",
     "tessera uri from-path --unix '/home/me/a b.txt'\n",
     {},
     RunUriFromPath},
    {"guess",
     "[TEXT...]",
     0,
     kAnyNumber,
     Input::kLines,
     "make URIs of free text the way an address bar does",
     "Writes the URI that each TEXT most likely stands for: a URI as it stands, a host name with the "
     "default scheme ('myhost/page' gives 'http://myhost/page'), a Windows path as a file URI ('D:\\x' "
     "gives 'file:///D|/x'), or a relative reference.",
     {{"--scheme", "NAME", false, "the scheme of a bare host name (default http)"}},
     "no URI can be made of a TEXT",
     "tessera uri guess www.example.org 'D:\\x'\n",
     {},
     RunUriGuess},
};

const CommandInfo kTimeCommands[] = {
    {"now",
     "",
     0,
     0,
     Input::kNone,
     "print the current time",
     "Prints the current time in whole seconds.",
     {},
     nullptr,
     "",
     {},
     RunTimeNow},
    {"parse",
     "[TEXT...]",
     0,
     kAnyNumber,
     Input::kLines,
     "read RFC 3339 or ISO 8601 text",
     "Reads each TEXT as RFC 3339 ('2000-01-01T12:00:00+05:30') or else as ISO 8601 ('20000101T1230') and "
     "prints the text and the time stamp; an offset from UTC is applied.",
     {},
     "a TEXT is neither RFC 3339 nor ISO 8601",
     "tessera time parse 2000-01-01T12:00:00+05:30\n",
     {},
     RunTimeParse},
    {"from-ticks",
     "[N...]",
     0,
     kAnyNumber,
     Input::kLines,
     "make time stamps of 100-nanosecond ticks since 1601",
     "Reads each N as a decimal 64-bit count of ticks since 1601-01-01T00:00:00Z and prints the time stamp.",
     {},
     "an N is not a 64-bit integer",
     "tessera time from-ticks 125911818000000000\n",
     {},
     RunTimeFromTicks},
    {"from-time_t",
     "[N...]",
     0,
     kAnyNumber,
     Input::kLines,
     "make time stamps of seconds since 1970",
     "Reads each N as a decimal 64-bit count of seconds since 1970-01-01T00:00:00Z and prints the time stamp.",
     {},
     "an N is not a 64-bit integer",
     "date +%s | tessera time from-time_t\n",
     {},
     RunTimeFromTime_t},
};

template <std::size_t N>
constexpr CommandList ListOf(const CommandInfo (&commands)[N]) {
    return {commands, N};
}

const CommandInfo kCommands[] = {
    {"transcode",
     "[FILE]",
     0,
     1,
     Input::kWhole,
     "convert text from one encoding to another",
     "Converts FILE from one encoding to another and writes the result to standard output. NAME is an "
     "encoding name exactly as 'tessera encodings' lists it (names are case-sensitive: 'utf-8', "
     "'iso-8859-1', 'Windows-1252', 'shift_jis'), 'windows-NNN' or 'x-windows-NNN' for code page NNN, or "
     "'UTF-16LE' or 'UTF-16BE' for UTF-16 in that byte order. An unknown name is a usage error; the message "
     "names close matches.\n\n"
     "Invalid input and characters that the target encoding cannot represent are replaced; the conversion "
     "does not stop early. When the conversion fails, nothing is written to standard output.",
     {{"--from", "NAME", true, "the encoding of the input"}, {"--to", "NAME", true, "the encoding of the output"}},
     "this build cannot convert one of the encodings",
     "printf 'caf\\303\\251' | tessera transcode --from utf-8 --to iso-8859-1 | od -An -tx1\n",
     {},
     RunTranscode},
    {"encodings",
     "",
     0,
     0,
     Input::kNone,
     "list the encoding names the library knows",
     "Lists every name of the encoding table once, in table order: the code page the name resolves to, "
     "'yes' or 'no' for whether this build converts that code page, and the name. A name that occurs twice "
     "in the table resolves to the code page of its later row.\n\n"
     "    1252  yes  Windows-1252\n"
     "   20127  yes  US-ASCII",
     {},
     nullptr,
     "tessera encodings | grep -i latin\n",
     {},
     RunEncodings},
    {"uri",
     "SUBCOMMAND [ARGS...]",
     0,
     0,
     Input::kNone,
     "take URIs apart, escape, resolve and relate them, convert local paths",
     "URIs are read and written as the library reads and writes them: a text that is not a valid URI is "
     "rejected, and results are written out escaped as stored.",
     {},
     nullptr,
     "",
     ListOf(kUriCommands),
     nullptr},
    {"time",
     "SUBCOMMAND [ARGS...]",
     0,
     0,
     Input::kNone,
     "read and write time stamps",
     "Each subcommand prints a time stamp as five lines: its ticks (100-nanosecond intervals since "
     "1601-01-01T00:00:00Z), the W3C date-time, the ISO 8601 basic and extended forms, and time_t (seconds "
     "since 1970-01-01T00:00:00Z), all in UTC. The blocks of two time stamps are separated by an empty line.\n\n"
     "  ticks         125911818000000000\n"
     "  W3C           2000-01-01T06:30:00Z\n"
     "  ISO basic     20000101T06:30:00\n"
     "  ISO extended  2000-01-01T06:30:00\n"
     "  time_t        946708200",
     {},
     nullptr,
     "",
     ListOf(kTimeCommands),
     nullptr},
    {"help",
     "[COMMAND [SUBCOMMAND]]",
     0,
     2,
     Input::kNone,
     "print the help of a command, or the manual",
     "'tessera help uri resolve' prints what 'tessera uri resolve --help' prints. With --man or --markdown "
     "it writes the whole manual, made from the same descriptions.",
     {{"--man", nullptr, false, "write the manual page, tessera(1), in roff"},
      {"--markdown", nullptr, false, "write the manual in Markdown"}},
     nullptr,
     "tessera help uri resolve\ntessera help --man > tessera.1\n",
     {},
     RunHelp},
};

const CommandInfo kTool = {
    "",
    "COMMAND [ARGS...]",
    0,
    0,
    Input::kNone,
    "convert text between encodings, work with URIs and time stamps",
    "The tessera tool gives the command line the services of the Tessera library: text conversion between "
    "character sets (transcode, encodings), URIs (the uri subcommands) and time stamps (the time "
    "subcommands). Every command and subcommand prints its usage with --help or -h.",
    {{"--version", nullptr, false, "print the version and exit"}},
    nullptr,
    "",
    ListOf(kCommands),
    nullptr};

const ManualSection kSections[] = {
    {"Standard input",
     "Commands that work on texts (URIs, escapes, paths, addresses, time stamps, numbers) take each as an "
     "operand. Without such operands, and in place of an operand '-', they read their texts from standard "
     "input, one a line; the line end (LF or CR LF) is not part of the text, and an empty line is an empty "
     "text. So 'tessera uri escape' filters a stream, and 'tessera uri resolve BASE' resolves every line "
     "against BASE. The subcommands relative, relation and common-parent take two URIs; without operands "
     "each line holds the two, separated by a tab. transcode reads all of standard input when FILE is "
     "omitted or '-'.\n\n"
     "An argument that starts with '-' and a letter is an option; write '--' before operands that look "
     "like options. A negative number is an operand."},
    {"Output",
     "Results go to standard output in the order of the texts: one line for each text, or, for uri show, "
     "uri query and the time subcommands, a block of lines for each text with an empty line between "
     "blocks. A text that is rejected gives no output, only its message.\n\n"
     "Messages go to standard error, one line each: 'tessera: COMMAND: what is wrong', where COMMAND is the "
     "command's words, such as 'uri resolve'. A text quoted in a message is cut after 60 bytes and "
     "followed by its length: 'http://h/aaa...' (1048576 bytes)."},
    {"Exit status",
     "  0  success\n"
     "  1  some input was rejected (an invalid URI, unreadable text, a failed conversion); the other\n"
     "     texts were still processed and printed. Or a read or write failed: FILE or standard input\n"
     "     could not be read, or standard output could not be written (a full disk), up to and\n"
     "     including its close; the message names the file, and the output is incomplete\n"
     "  2  usage error: an unknown command, subcommand or option, a missing or extra operand, or an\n"
     "     unknown encoding name; nothing was processed\n\n"
     "When the reader of standard output goes away (a closed pipe, as in 'tessera uri escape <list | "
     "head -1'), the tool ends quietly, as other commands do: the SIGPIPE signal ends it, or, where that "
     "signal is ignored and on Windows, it stops at once with status 1 and no message."},
};

}  // namespace

const CommandInfo& ToolCommand() { return kTool; }

ManualSections ToolSections() { return {kSections, sizeof kSections / sizeof kSections[0]}; }

const CommandInfo* FindSubcommand(const CommandInfo& group, const std::string& name) {
    for (const CommandInfo& command : group.subcommands) {
        if (name == command.name) return &command;
    }
    return nullptr;
}

std::vector<std::string> SubcommandNames(const CommandInfo& group) {
    std::vector<std::string> names;
    for (const CommandInfo& command : group.subcommands) names.emplace_back(command.name);
    return names;
}

const char* ToolVersion() { return TESSERA_VERSION; }

}  // namespace tessera::tool
