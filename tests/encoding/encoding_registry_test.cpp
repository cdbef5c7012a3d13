// The encoding registry: the table, the two maps, name resolution and the scan patterns.
#include <gtest/gtest.h>

#include <climits>
#include <optional>
#include <stdexcept>
#include <string>

#include <tessera/Transcoder.h>

#include "encoding/code_page_scan.h"
#include "encoding/encoding_registry.h"

namespace {

using tessera::encoding::CodePageToEncoding;
using tessera::encoding::EncodingToCodePage;
using tessera::encoding::g_encodingMaps;
using tessera::encoding::ScanCodePage;
using Varn::Transcoder;

constexpr std::nullopt_t kUnknown = std::nullopt;

TEST(EncodingRegistry, NamesResolveOrThrow) {
    const struct {
        std::string name;
        std::optional<std::int32_t> codePage;  // kUnknown: no code page, the name is refused
    } cases[] = {
        // Labels, exact and case-sensitive; a label's last row decides its code page.
        {"us-ascii", 1252},
        {"iso-8859-1", 1252},
        {"US-ASCII", 20127},
        {"l1", 28591},
        {"Western European (ISO)", 28591},
        {"euc-kr", 51949},
        {"CP870", 20880},
        {"IBM EBCDIC (Multilingual Latin-2)", 870},
        {"CP500", 775},
        {"ISO_8859-8-I", 1255},
        {"_iso-2022-jp$SIO", 50222},
        {"unicodeFFFE", 1201},
        {"x-ansi", 1252},
        // The patterns "windows-%ld" and "x-windows-%ld", read as sscanf reads them.
        {"windows-1252", 1252},
        {"windows-1252 extra", 1252},
        {"windows-\t\n\v\f\r42", 42},
        {"windows-+7", 7},
        {"windows--5", -5},
        {"windows-0x10", 0},
        {"x-windows-949", 949},
        {"x-windows-  -12abc", -12},
        {"windows-99999999999", INT32_MAX},
        {"windows--99999999999", INT32_MIN},
        {"windows-2147483647", INT32_MAX},
        {"windows--2147483648", INT32_MIN},
        {std::string("windows-12") + '\0' + "3", 12},  // the number ends at the NUL
        // Near misses of labels, and patterns without a number.
        {"UTF-8", kUnknown},
        {"", kUnknown},
        {" utf-8", kUnknown},
        {"windows-", kUnknown},
        {"WINDOWS-1252", kUnknown},
        {"windows-+", kUnknown},
        {"windows-- 5", kUnknown},
        {" windows-1252", kUnknown},
        {std::string("utf-8") + '\0', kUnknown},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE("'" + c.name + "'");
        EXPECT_EQ(Transcoder::IsValidEncoding(c.name), c.codePage.has_value());
        if (c.codePage) {
            EXPECT_EQ(EncodingToCodePage(c.name), *c.codePage);
            continue;
        }
        try {
            EncodingToCodePage(c.name);
            ADD_FAILURE() << "no exception";
        } catch (const Varn::UnknownEncoding& e) {
            EXPECT_EQ(e.name(), c.name);
            // The message is a C string: it names the encoding up to a NUL in it.
            EXPECT_NE(std::string(e.what()).find("'" + std::string(c.name.c_str())), std::string::npos) << e.what();
        }
    }
    // It is an invalid_argument for callers that do not know the library's type.
    EXPECT_THROW(EncodingToCodePage("UTF-8"), std::invalid_argument);
    // The prefix must match at the first character, exactly.
    EXPECT_FALSE(ScanCodePage("xwindows-1", "windows-"));
    EXPECT_FALSE(ScanCodePage("x-windows-1", "windows-"));
    EXPECT_EQ(ScanCodePage("x-windows-1", "x-windows-"), 1);
}

TEST(EncodingRegistry, CodePagesNameTheFirstRowOfTheirLastRun) {
    const struct {
        std::int32_t codePage;
        const char* name;
    } cases[] = {
        {20880, "CP870"},       {870, "IBM EBCDIC (Multilingual Latin-2)"},
        {1252, "Windows-1252"}, {20127, "us-ascii"},
        {28591, "iso-8859-1"},  {949, "ks_c_5601-1987"},
        {932, "shift_jis"},     {65001, "utf-8"},
        {0, "x-windows-0"},     {INT32_MIN, "x-windows--2147483648"},
    };
    for (const auto& c : cases) EXPECT_EQ(CodePageToEncoding(c.codePage), c.name) << c.codePage;
}

// Each name and each code page is in its map once, and every code page's name leads back.
TEST(EncodingRegistry, CodePageNamesResolveBack) {
    EXPECT_EQ(g_encodingMaps.codePagesByName().size(), 374u);
    EXPECT_EQ(g_encodingMaps.encodingsByCodePage().size(), 118u);
    for (const auto& [codePage, name] : g_encodingMaps.encodingsByCodePage()) {
        const std::int32_t expected = codePage == 20127 || codePage == 28591 ? 1252 : codePage;
        EXPECT_EQ(EncodingToCodePage(name), expected) << name;
    }
    for (std::int32_t outside : {0, 1234, -1, INT32_MAX, INT32_MIN}) {
        EXPECT_EQ(EncodingToCodePage(CodePageToEncoding(outside)), outside);
    }
}

}  // namespace
