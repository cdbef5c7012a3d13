// docs/uri-resolution.md shows the RFC 3986 resolution examples, and a few more, next to
// what MakeAbsoluteURI gives. This test rebuilds both tables and fails when the page is out
// of date; run it with TESSERA_UPDATE_DOCS=1 to rewrite the tables in the page.
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include <gtest/gtest.h>
#include <tessera/URI.h>

#include "test_data.h"

namespace {

using Varn::URI;

const char kBase[] = "http://a/b/c/d;p?q";

// Examples beyond the RFC's, with the result that its algorithm (section 5.2) gives.
struct Example {
    const char *base, *reference, *rfcResult;
};
const Example kMoreExamples[] = {
    {"http://a/b/c/d;p?q#f", "", "http://a/b/c/d;p?q"},
    {kBase, "a%2Fb", "http://a/b/c/a%2Fb"},
    {kBase, "?a=%26", "http://a/b/c/d;p?a=%26"},
    {kBase, "x%41", "http://a/b/c/x%41"},
    {kBase, "%2e%2e/y", "http://a/b/c/%2e%2e/y"},
    {kBase, "g#", "http://a/b/c/g#"},
    {kBase, "HTTP://A/x", "HTTP://A/x"},
    {kBase, "svn+ssh://h/x", "svn+ssh://h/x"},
};

std::string Code(const std::string& text) { return text.empty() ? "(empty)" : "`" + text + "`"; }

// A table row: the reference, the RFC's result, this library's, and whether they agree.
std::string Row(const std::string& base, const std::string& reference, const std::string& rfcResult) {
    URI uri(reference);
    std::string ours = "not a URI";
    if (uri.IsValidURI()) {
        uri.MakeAbsoluteURI(URI(base));  // an absolute reference stays as it is
        ours = Code(uri.ToString(false));
    }
    return "| " + Code(reference) + " | " + Code(rfcResult) + " | " + ours + " | " +
           (ours == Code(rfcResult) ? "" : "differs") + " |\n";
}

std::string RfcExamplesTable(const std::string& examples) {
    std::string table = "| Reference | RFC 3986 | MakeAbsoluteURI | |\n|---|---|---|---|\n";
    std::istringstream lines(examples);
    std::string line;
    std::getline(lines, line);  // column names
    while (std::getline(lines, line)) {
        const std::size_t tab = line.find('\t');
        if (tab != std::string::npos) table += Row(kBase, line.substr(0, tab), line.substr(tab + 1));
    }
    return table;
}

std::string MoreExamplesTable() {
    std::string table = "| Base | Reference | RFC 3986 | MakeAbsoluteURI | |\n|---|---|---|---|---|\n";
    for (const Example& e : kMoreExamples) table += "| " + Code(e.base) + " " + Row(e.base, e.reference, e.rfcResult);
    return table;
}

// Replaces the text between the markers of block name in page (when updating) and checks it.
void CheckBlock(std::string& page, const std::string& name, const std::string& content, bool update) {
    const std::string begin = "<!-- " + name + ": begin -->\n", end = "<!-- " + name + ": end -->\n";
    const std::size_t first = page.find(begin), last = page.find(end);
    ASSERT_NE(first, std::string::npos) << begin;
    ASSERT_NE(last, std::string::npos) << end;
    const std::size_t start = first + begin.size();
    if (update) page.replace(start, last - start, content);
    EXPECT_EQ(page.substr(start, last - start), content)
        << "docs/uri-resolution.md is out of date: rerun this test with TESSERA_UPDATE_DOCS=1";
}

TEST(ResolutionPage, TablesMatchTheLibrary) {
    const std::string examples = tessera_test::ReadDataFile("rfc3986_examples.tsv");
    ASSERT_FALSE(examples.empty()) << "rfc3986_examples.tsv not found in " << tessera_test::DataDir();
    const std::string here = __FILE__;  // tests/uri/<this file>
    const std::string path = here.substr(0, here.rfind("/tests/uri/")) + "/docs/uri-resolution.md";
    std::ostringstream content;
    content << std::ifstream(path, std::ios::binary).rdbuf();
    std::string page = content.str();
    const char* update = std::getenv("TESSERA_UPDATE_DOCS");
    const bool updating = update && *update == '1';
    CheckBlock(page, "rfc examples", RfcExamplesTable(examples), updating);
    CheckBlock(page, "more examples", MoreExamplesTable(), updating);
    if (updating) std::ofstream(path, std::ios::binary) << page;
}

}  // namespace
