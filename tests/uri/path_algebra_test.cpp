// SplitPath and JoinPath, the protected helpers a derived class builds its own path moves
// from: what they append, and the leading and trailing slashes they report and take.
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

}  // namespace
}  // namespace tessera_test
