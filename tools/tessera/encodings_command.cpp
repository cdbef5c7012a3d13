// tessera encodings: every name of the encoding table, the code page it resolves to and
// whether this build converts that code page.
#include <cstdio>
#include <iostream>
#include <map>
#include <set>
#include <string>

#include <tessera/Transcoder.h>

#include "commands.h"
// The table is plain data (a header-only constant array); the tool reads it directly.
#include "../../src/encoding/encoding_table.h"

namespace tessera_tool {
namespace {

const char kEncodingsUsage[] =
    "usage: tessera encodings\n"
    "\n"
    "Lists every name of the encoding table once, in table order: the code page the name\n"
    "resolves to, 'yes' or 'no' for whether this build converts it, and the name.\n"
    "Names are case-sensitive; windows-NNN and x-windows-NNN name code page NNN.\n";

// Whether the narrow conversions serve the encoding: they give an empty result otherwise.
bool Converts(const std::string& name) {
    return !Varn::Transcoder::UTF16ToEncoding(L"A", name).empty() &&
           !Varn::Transcoder::EncodingToUTF16("A", name).empty();
}

}  // namespace

int RunEncodings(const Args& args) {
    if (!args.empty()) {
        if (args[0] == "--help" || args[0] == "-h") {
            std::cout << kEncodingsUsage;
            return 0;
        }
        return Fail(2, "encodings: unexpected argument '" + args[0] + "' (try 'tessera encodings --help')");
    }
    // A name that occurs twice resolves to the code page of its later row.
    std::map<std::string, std::int32_t> codePageOf;
    for (const tessera::encoding::EncodingRow& row : tessera::encoding::kEncodingTable) {
        codePageOf[row.name] = row.codePage;
    }
    std::set<std::string> listed;
    for (const tessera::encoding::EncodingRow& row : tessera::encoding::kEncodingTable) {
        if (!listed.insert(row.name).second) continue;
        char columns[32];
        std::snprintf(columns, sizeof columns, "%6ld  %-3s  ", static_cast<long>(codePageOf[row.name]),
                      Converts(row.name) ? "yes" : "no");
        std::cout << columns << row.name << '\n';
    }
    return 0;
}

}  // namespace tessera_tool
