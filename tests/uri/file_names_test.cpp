// File names, extensions, last components, file types and directory membership.
#include <gtest/gtest.h>
#include <tessera/URI.h>

namespace {

using Varn::URI;

TEST(FileNames, NameExtensionAndLastComponent) {
    struct Case {
        const char* uri;
        const char *name, *stem, *extension, *bareExtension, *last;
    };
    const Case cases[] = {
        {"http://h/a/archive.tar.gz", "archive.tar.gz", "archive.tar", ".gz", "gz", "archive.tar.gz"},
        {"http://h/a/.profile", ".profile", "", "", "", ".profile"},
        {"http://h/a/noext", "noext", "noext", "", "", "noext"},
        {"http://h/a/b/", "", "", "", "", "b"},
        {"http://h/my%20dir/x%20y.t", "x y.t", "x y", ".t", "t", "x y.t"},
        {"notes.txt", "notes.txt", "notes", ".txt", "txt", "notes.txt"},
        {"a/", "", "", "", "", "a"},
        {"http://h/", "", "", "", "", ""},
        {"http://h//", "", "", "", "", ""},
        {"http://h", "", "", "", "", ""},
    };
    for (const Case& c : cases) {
        const URI uri(c.uri);
        EXPECT_EQ(uri.GetFilename(false), c.name) << c.uri;
        EXPECT_EQ(uri.GetFilename(true), c.stem) << c.uri;
        EXPECT_EQ(uri.GetExtension(false), c.extension) << c.uri;
        EXPECT_EQ(uri.GetExtension(true), c.bareExtension) << c.uri;
        EXPECT_EQ(uri.GetLastPathComponent(), c.last) << c.uri;
    }
}

TEST(FileNames, RemoveLastPathComponentClimbsToTheRootAndStops) {
    URI uri("http://h/a/b/c.html?q#f");
    const char* steps[][2] = {{"c.html", "http://h/a/b/"}, {"b", "http://h/a/"}, {"a", "http://h/"}, {"", "http://h/"}};
    for (const auto& step : steps) {
        EXPECT_EQ(uri.RemoveLastPathComponent(), step[0]);
        EXPECT_EQ(uri.ToString(false), step[1]);
    }
}

TEST(FileNames, IsOfFileTypeReducesTheArgumentAndIgnoresCase) {
    const URI text("http://h/a/notes.TxT");
    for (const char* type : {"txt", ".TXT", "other.txt"}) EXPECT_TRUE(text.IsOfFileType(type)) << type;
    for (const char* type : {"", "txt.", "doc", "x"}) EXPECT_FALSE(text.IsOfFileType(type)) << type;
    EXPECT_FALSE(URI("http://h/a/noext").IsOfFileType(""));
}

TEST(FileNames, IsUnderDirectoryMatchesWholeUnescapedSegments) {
    const URI uri("http://h/my%20dir/b/c.html");
    for (const char* name : {"my dir", "b", "c.html"}) EXPECT_TRUE(uri.IsUnderDirectory(name)) << name;
    for (const char* name : {"my%20dir", "B", "my dir/b", "", "h"}) EXPECT_FALSE(uri.IsUnderDirectory(name)) << name;
}

}  // namespace
