// tessera encodings: every name of the encoding table, the code page it resolves to and
// whether this build converts that code page; the names also serve transcode's hints.
#include <cstdio>
#include <iostream>
#include <map>
#include <set>
#include <string>
#include <vector>

#include <tessera/Transcoder.h>

#include "commands.h"
// The table is plain data (a header-only constant array); the tool reads it directly.
#include "encoding/encoding_table.h"

namespace tessera::tool {
namespace {

// Whether the narrow conversions serve the encoding: they give an empty result otherwise.
bool Converts(const std::string& name) {
    return !Varn::Transcoder::UTF16ToEncoding(L"A", name).empty() &&
           !Varn::Transcoder::EncodingToUTF16("A", name).empty();
}

}  // namespace

std::vector<std::string> EncodingNames() {
    std::vector<std::string> names;
    std::set<std::string> listed;
    for (const tessera::encoding::EncodingRow& row : tessera::encoding::kEncodingTable) {
        if (listed.insert(row.name).second) names.emplace_back(row.name);
    }
    return names;
}

int RunEncodings(const Invocation&) {
    // A name that occurs twice resolves to the code page of its later row.
    std::map<std::string, std::int32_t> codePageOf;
    for (const tessera::encoding::EncodingRow& row : tessera::encoding::kEncodingTable) {
        codePageOf[row.name] = row.codePage;
    }
    for (const std::string& name : EncodingNames()) {
        char columns[32];
        std::snprintf(columns, sizeof columns, "%6ld  %-3s  ", static_cast<long>(codePageOf[name]),
                      Converts(name) ? "yes" : "no");
        std::cout << columns << name << '\n';
    }
    return 0;
}

}  // namespace tessera::tool
