// The encoding registry: encoding names to code pages and back.
#ifndef TESSERA_ENCODING_ENCODING_REGISTRY_H
#define TESSERA_ENCODING_ENCODING_REGISTRY_H

#include <cstdint>
#include <map>
#include <string>

namespace tessera::encoding {

/// The two maps derived from the encoding table when the library loads; read-only after.
class EncodingMaps {
public:
    /// Builds the name map, then the code-page map, from the table.
    EncodingMaps();

    /// Name to code page; exact and case-sensitive. Where a name occurs twice, the later row.
    const std::map<std::string, std::int32_t>& codePagesByName() const { return m_codePagesByName; }
    /// Code page to the first name of its (last) run of rows.
    const std::map<std::int32_t, std::string>& encodingsByCodePage() const { return m_encodingsByCodePage; }

private:
    std::map<std::string, std::int32_t> m_codePagesByName;
    std::map<std::int32_t, std::string> m_encodingsByCodePage;
};

/// The library's maps, defined with the other load-time statics.
extern const EncodingMaps g_encodingMaps;

/// The platform's code page, read once when the library loads: like the ANSI code page on
/// Windows it is fixed for the life of the process (and asking the locale costs time).
extern const std::int32_t g_platformCodePage;

/// The code page a name stands for: a table name, or a name that "windows-%ld" or
/// "x-windows-%ld" reads. Throws Varn::UnknownEncoding for any other name.
std::int32_t EncodingToCodePage(const std::string& name);

/// The registry's name for a code page, or "x-windows-<number>" for one outside the table.
std::string CodePageToEncoding(std::int32_t codePage);

}  // namespace tessera::encoding

#endif  // TESSERA_ENCODING_ENCODING_REGISTRY_H
