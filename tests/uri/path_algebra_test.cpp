// SplitPath, JoinPath and ChDir: every reference form, the dot-segment walk, relative bases
// (the step-by-step reference test compares ChDir with its literal steps on many more).
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "uri_test_support.h"

namespace tessera_test {
namespace {

using Varn::URI;
using Segments = std::vector<std::string>;

TEST(SplitPath, AppendsSegmentsAndReportsOneLeadingAndOneTrailingSlash) {
    struct Case {
        const char* path;
        bool leading, trailing;
        Segments segments;
    };
    const Case cases[] = {
        {"", false, false, {}},       {"/", true, false, {}},
        {"//", true, true, {}},       {"/a//b/", true, true, {"a", "b"}},
        {"///a", true, false, {"a"}}, {"..//./", false, true, {"..", "."}},
    };
    for (const Case& c : cases) {
        Segments segments{"kept"}, expected{"kept"};
        bool leading = !c.leading, trailing = !c.trailing;
        OpenURI::SplitPath(c.path, segments, leading, trailing);
        expected.insert(expected.end(), c.segments.begin(), c.segments.end());
        EXPECT_EQ(segments, expected) << c.path;
        EXPECT_EQ(leading, c.leading) << c.path;
        EXPECT_EQ(trailing, c.trailing) << c.path;
    }
}

TEST(JoinPath, EmptyPiecesAndFlags) {
    struct Case {
        Segments segments;
        bool leading, trailing;
        const char* joined;
    };
    const Case cases[] = {
        {{}, true, true, "/"},
        {{}, false, true, ""},
        {{"a", "b"}, false, true, "a/b/"},
        {{"a", "b"}, true, false, "/a/b"},
        {{"", "a"}, false, false, "a"},
        {{"a", "", "b"}, true, false, "/a//b"},
        {{""}, true, true, "/"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(OpenURI::JoinPath(c.segments, c.leading, c.trailing), c.joined)
            << testing::PrintToString(c.segments) << " leading " << c.leading << " trailing " << c.trailing;
    }
}

TEST(ChDir, EveryReferenceFormAndRelativeBases) {
    const char* base = "http://h/a/b/c.html?q#f";
    struct Case {
        const char* base;
        const char* reference;
        bool escape;
        const char* result;
    };
    const Case cases[] = {
        {base, "d.html", false, "http://h/a/b/d.html"},
        {base, "../../../x", false, "http://h/x"},
        {base, "?k=v", false, "http://h/a/b/?k=v"},
        {base, "#g", false, "http://h/a/b/c.html?q#g"},
        {base, "", false, base},
        {base, "/p/./q?k#g", false, "http://h/p/./q?k#g"},
        {base, "//g/x", false, "http://g/x"},
        {base, "x\\y", false, "unknown:"},  // no URI: the default state replaces the base
        {"http://h/", "..", false, "http://h/"},
        {"file:///C:/dir/f.txt", "../x y", false, "file:///C|/x%20y"},
        {"http://h/a/?q#f", ".", false, "http://h/a/"},
        {"http://h/a/?q#f", "..", false, "http://h/"},
        // Paths are worked on unescaped: escaped dots and slashes count as written out.
        {base, "%2E%2E/x%2Fy", false, "http://h/a/x/y"},
        {base, "%2F%2Fg/x", false, "http://h//g/x"},
        // Escaping: the reference is a path only; escapes in it are themselves escaped.
        {"http://h/d/", "a b", true, "http://h/d/a%20b"},
        {"http://h/d/", "?k=v", true, "http://h/d/%3Fk=v"},
        {"http://h/d/", "a%20b", true, "http://h/d/a%2520b"},
        // Relative bases keep the ".." that cannot climb further.
        {"a/b.html", "../../x", false, "../x"},
        {"/a", "../..", false, "/../../"},
        {"a/b/", "./../..", false, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.base) + " + " + c.reference + (c.escape ? " (escaped)" : ""));
        URI uri(c.base);
        EXPECT_TRUE(uri.ChDir(c.reference, c.escape));
        EXPECT_EQ(uri.ToString(false).str(), c.result);
    }
}

}  // namespace
}  // namespace tessera_test
