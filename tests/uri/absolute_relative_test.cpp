// MakeAbsoluteURI, MakeRelativeURI and common parents (the step-by-step reference test
// compares them with their literal steps on many more inputs).
#include <string>

#include <gtest/gtest.h>
#include <tessera/URI.h>

namespace {

using Varn::URI;

TEST(MakeRelativeURI, PathsOnTheSameHostAndRefusals) {
    struct Case {
        const char *target, *base;
        bool caseSensitive;
        const char* result;
    };  // null: refused
    const Case cases[] = {
        {"http://h/a/b/c.html", "http://h/a/d/e.html", true, "../b/c.html"},
        {"http://h/a/b/c.html", "http://h/a/b/", true, "c.html"},
        {"http://h/a/b/", "http://h/a/b/", true, "./"},
        {"http://h/a/b/", "http://h/a/b/x.html", true, "./"},
        {"http://h/a", "http://h/a/b/", true, ".."},
        {"http://h/", "http://h/x/y", true, ".."},
        {"http://h/A/b", "http://h/a/", false, "b"},
        {"http://h/A/b", "http://h/a/", true, "../A/b"},
        {"HTTP://H/a", "http://h/", true, "a"},
        {"http://h:8080/a/b?x#y", "http://u@h/a/?z#w", true, "b?x#y"},
        {"http://[::1]/a/b", "http://[0:0:0:0:0:0:0:1]/a/", true, "b"},
        {"x/y", "http://h/", true, "x/y"},
        // The base's directory has its dots worked out (a last ".." is its file name).
        {"http://h/a/c/e", "http://h/a/./b/../c/d", true, "e"},
        {"http://h/x/y", "http://h/../x/z", true, "y"},
        {"http://h/a/c", "http://h/a/b/..", true, "../c"},
        {"file:///C:/a/x", "file:///C:/a/b/f.txt", true, "../x"},
        {"http://h/a/b?q", "ftp://h/a/", true, nullptr},
        {"http://h/a/b?q", "http://g/a/", true, nullptr},
        {"http://h/a/b?q", "a/b/", true, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.target) + " from " + c.base);
        URI uri(c.target);
        EXPECT_EQ(uri.MakeRelativeURI(URI(c.base), c.caseSensitive), c.result != nullptr);
        EXPECT_EQ(uri.ToString(false).str(), c.result ? c.result : URI(c.target).ToString(false).str());
    }
}

TEST(GetCommonParent, NearestSharedDirectory) {
    struct Case {
        const char *a, *b;
        bool caseSensitive;
        const char* parent;
    };
    const Case cases[] = {
        {"http://h/a/b/c.html", "http://h/a/d/e.html", true, "http://h/a/"},
        {"http://h/a/b?q#f", "http://h/a/b?q#f", true, "http://h/a/"},
        {"http://h/a/b/", "http://h/a/b/c", true, "http://h/a/b/"},
        {"http://h/a/b", "ftp://g/x", true, "http://h/"},
        {"http://h/A/b", "http://h/a/c", false, "http://h/A/"},
        {"http://h/A/b", "http://h/a/c", true, "http://h/"},
        {"http://h/a/", "a/b", true, "unknown:"},
        {"a/b", "http://h/a/", true, "unknown:"},
        {"mailto:x", "mailto:x", true, "mailto:"},
        {"http://h/a/b", "c:/dir", true, "http://h/"},
        // The default state turns relative under "." and would grow "../../.." forever.
        {"c:/dir", "", true, "unknown:"},
        {"c:/dir", "c:/dir", true, "unknown:"},
        {"c:/dir", "http://h/a/", true, "unknown:"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.a) + " & " + c.b);
        const URI parent = URI(c.a).GetCommonParent(URI(c.b), c.caseSensitive);
        EXPECT_EQ(parent.ToString(false).str(), c.parent);
        EXPECT_FALSE(parent.IsRelative());
        EXPECT_EQ(URI::GetCommonParentByString(c.a, c.b, c.caseSensitive).ToString(false).str(), c.parent);
    }
}

}  // namespace
