// File names, extensions, last components and their removal, directories, file types and
// directory membership.
#include <gtest/gtest.h>
#include <tessera/URI.h>

namespace {

using Varn::URI;

// A directory's path ends with a slash (not its query's); its file name is empty, and
// removing its last component moves it to its parent; nothing is removed at the root.
TEST(FileNames, NameExtensionLastComponentAndDirectory) {
    struct Case {
        const char* uri;
        const char *name, *stem, *extension, *bareExtension, *last;
        bool directory;
        const char* left;  // after RemoveLastPathComponent, which returns last and drops the query
    };
    const Case cases[] = {
        {"http://h/a/archive.tar.gz", "archive.tar.gz", "archive.tar", ".gz", "gz", "archive.tar.gz", false,
         "http://h/a/"},
        {"http://h/a/.profile", ".profile", "", "", "", ".profile", false, "http://h/a/"},
        {"http://h/a/noext", "noext", "noext", "", "", "noext", false, "http://h/a/"},
        {"http://h/a/b/", "", "", "", "", "b", true, "http://h/a/"},
        {"http://h/my%20dir/x%20y.t", "x y.t", "x y", ".t", "t", "x y.t", false, "http://h/my%20dir/"},
        {"http://h/", "", "", "", "", "", true, "http://h/"},
        {"http://h//", "", "", "", "", "", true, "http://h/"},
        {"http://h", "", "", "", "", "", false, "http://h"},
        {"http://h/a?b/", "a", "a", "", "", "a", false, "http://h/"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.uri);
        const URI uri(c.uri);
        EXPECT_EQ(uri.GetFilename(false).str(), c.name);
        EXPECT_EQ(uri.GetFilename(true).str(), c.stem);
        EXPECT_EQ(uri.GetExtension(false).str(), c.extension);
        EXPECT_EQ(uri.GetExtension(true).str(), c.bareExtension);
        EXPECT_EQ(uri.GetLastPathComponent().str(), c.last);
        EXPECT_EQ(uri.IsDirectory(), c.directory);
        URI removed(c.uri);
        EXPECT_EQ(removed.RemoveLastPathComponent().str(), c.last);
        EXPECT_EQ(removed.ToString(false).str(), c.left);
    }
}

// IsOfFileType reduces its argument to what follows its last '.' and ignores case;
// IsUnderDirectory matches whole unescaped segments, the file name's too.
TEST(FileNames, IsOfFileTypeAndIsUnderDirectory) {
    const char kNotes[] = "http://h/my%20dir/b/notes.TxT";
    const struct {
        const char *uri, *argument;
        bool ofFileType, underDirectory;
    } cases[] = {
        {kNotes, "txt", true, false},
        {kNotes, ".TXT", true, false},
        {kNotes, "other.txt", true, false},
        {kNotes, "notes.TxT", true, true},
        {kNotes, "my dir", false, true},
        // No extension, or another one; escaped text, another case, two segments, the host.
        {kNotes, "", false, false},
        {"http://h/a/noext", "", false, false},
        {kNotes, "txt.", false, false},
        {kNotes, "my%20dir", false, false},
        {kNotes, "B", false, false},
        {kNotes, "my dir/b", false, false},
        {kNotes, "h", false, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(URI(c.uri).IsOfFileType(c.argument), c.ofFileType) << c.uri << " " << c.argument;
        EXPECT_EQ(URI(c.uri).IsUnderDirectory(c.argument), c.underDirectory) << c.uri << " " << c.argument;
    }
}

}  // namespace
