// File URIs and local paths in Windows, Unix and classic Macintosh notation, and guessing
// a URI from typed text, local paths first (the local-path operations that the guess calls
// through the virtual table are the virtual-dispatch test's).
#include <string>

#include <gtest/gtest.h>

#include "uri_test_support.h"

namespace tessera_test {
namespace {

using Varn::URI;

TEST(LocalPath, ToLocalPathInEveryNotation) {
    struct Case {
        const char* uri;
        const char* winPath;
        const char* unixPath;
        const char* macPath;
    };
    const Case cases[] = {
        {"file:///D:/dir/a%20b.txt", "D:\\dir\\a b.txt", "/D|/dir/a b.txt", "D|:dir:a b.txt"},
        {"file:///Disk/100%25%7C", "Disk\\100%:", "/Disk/100%|", "Disk:100%|"},
        {"file://server/share/x", "\\\\server\\share\\x", "", ""},
        {"file://localhost/D|/x", "\\\\localhost\\D:\\x", "", "D|:x"},
        {"a/b%20c", "a\\b c", "a/b c", ":a:b c"},  // relative references
        {"/a", "\\a", "/a", "::a"},
        {"http://h/x", "", "", ""},  // other schemes have none
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.uri);
        const URI uri(c.uri);
        EXPECT_EQ(uri.ToLocalPathWin().str(), c.winPath);
        EXPECT_EQ(uri.ToLocalPathUnix().str(), c.unixPath);
        EXPECT_EQ(uri.ToLocalPathMac().str(), c.macPath);
    }
}

// What each path reads back as is the fuzz replay's (for all but UNC paths, whose server
// the URI holds as its host: ToLocalPathInEveryNotation writes them).
TEST(LocalPath, LocalPathToURI) {
    using Convert = void (URI::*)(URI::StringProxy);
    struct Case {
        Convert convert;
        const char* path;
        const char* uri;
    };
    const Convert fromWin = &URI::LocalPathToURIWin, fromUnix = &URI::LocalPathToURIUnix,
                  fromMac = &URI::LocalPathToURIMac;
    const Case cases[] = {
        {fromWin, "C:\\100% #?.txt", "file:///C|/100%25%20%23%3F.txt"},
        {fromWin, "\\\\Server\\share\\x", "file://server/share/x"},
        {fromWin, "\\\\server", "file://server"},
        {fromWin, "D:", "file:///D%7C"},  // a bare drive mark is escaped
        {fromWin, "a:b:c", "file:///a|b%7Cc"},
        {fromWin, "\\dir\\x", "file:///dir/x"},
        {fromUnix, "/tmp/100% #?/x", "file:///tmp/100%25%20%23%3F/x"},
        {fromUnix, "rel/x", "file:///rel/x"},
        {fromUnix, "", "file:///"},
        {fromMac, "Disk:Users:100%", "file:///Disk/Users/100%25"},
        {fromMac, ":a:b", "file:///a/b"},
        {fromMac, "", "file:///"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        URI uri("http://old/a?q#f");
        (uri.*c.convert)(c.path);
        EXPECT_EQ(uri.ToString(false).str(), c.uri);
        EXPECT_EQ(FlagsOf(uri), kAbsolute);
    }
}

TEST(UnknownToURI, EachStepInOrderAndWhatAFailureLeaves) {
    struct Case {
        const char *text, *scheme;
        bool ok;
        const char* uri;
    };
    const Case cases[] = {
        {"D:\\dir\\a.txt", "http", true, "file:///D|/dir/a.txt"},    // drive letter
        {"x:/y", "http", true, "file:///x|/y"},                      // never the scheme x
        {"\\\\server\\share", "http", true, "file://server/share"},  // UNC
        {"/usr/lib", "http", true, "file:///usr/lib"},               // Unix path
        {"\\dir\\x", "http", true, "file:///dir/x"},                 // root-relative Windows path
        {"host:80/dir", "http", true, "host:80/dir"},                // opaque: scheme "host"
        {"HTTP://Host/a b?q=1 2", "http", true, "http://host/a%20b?q=1%202"},
        {"file:///C:/x y", "http", true, "file:///C|/x%20y"},
        {"../up/x y.html", "http", true, "../up/x%20y.html"},  // explicit relative references
        {"ftp:///dir", "http", true, "http://ftp///dir"},      // a scheme, no host, a path
        {"myhost/page", "http", true, "http://myhost/page"},   // bare host names
        {"a", "ftp", true, "ftp://a"},
        {"", "http", false, "http://keep/me?q#f"},        // unchanged
        {"h2://x", "http", false, "http://keep/me?q#f"},  // the parse fails: unchanged
        {"name://", "http", false, "name:"},              // only the scheme is left
        {"?q", "http", false, ""},                        // cleared
        {"plainword", "", false, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.text) + ", scheme " + c.scheme);
        URI uri("http://keep/me?q#f");
        EXPECT_EQ(uri.UnknownToURI(c.text, c.scheme), c.ok);
        EXPECT_EQ(uri.ToString(false).str(), c.uri);
        EXPECT_TRUE(uri.IsValidURI() || !c.ok);
    }
}

}  // namespace
}  // namespace tessera_test
