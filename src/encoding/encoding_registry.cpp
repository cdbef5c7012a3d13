// The two encoding maps, filled from the built-in table, and the look-ups through them.
#include "encoding/encoding_registry.h"

#include <tessera/Transcoder.h>

#include "encoding/code_page_scan.h"
#include "encoding/encoding_table.h"

namespace tessera::encoding {

EncodingMaps::EncodingMaps() {
    for (const EncodingRow& row : kEncodingTable) {
        m_codePagesByName[row.name] = row.codePage;
    }
    std::int32_t previous = -1;
    for (const EncodingRow& row : kEncodingTable) {
        if (row.codePage == previous) continue;
        m_encodingsByCodePage[row.codePage] = row.name;
        previous = row.codePage;
    }
}

std::int32_t EncodingToCodePage(const std::string& name) {
    const auto& byName = g_encodingMaps.codePagesByName();
    if (auto it = byName.find(name); it != byName.end()) return it->second;
    if (auto codePage = ScanCodePage(name, "windows-")) return *codePage;
    if (auto codePage = ScanCodePage(name, "x-windows-")) return *codePage;
    throw Varn::UnknownEncoding(name);
}

std::string CodePageToEncoding(std::int32_t codePage) {
    const auto& byCodePage = g_encodingMaps.encodingsByCodePage();
    if (auto it = byCodePage.find(codePage); it != byCodePage.end()) return it->second;
    return "x-windows-" + std::to_string(codePage);
}

}  // namespace tessera::encoding
