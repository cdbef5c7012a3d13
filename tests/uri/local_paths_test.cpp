// File URIs and local paths in Windows, Unix and classic Macintosh notation.
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

TEST(LocalPath, LocalPathToURIAndBack) {
    using Convert = void (URI::*)(URI::StringProxy);
    using Back = URI::StringProxy (URI::*)() const;
    struct Case {
        Convert convert;
        Back back;
        const char* path;
        const char* uri;
        const char* pathBack;
    };
    const Convert fromWin = &URI::LocalPathToURIWin, fromUnix = &URI::LocalPathToURIUnix,
                  fromMac = &URI::LocalPathToURIMac;
    const Back toWin = &URI::ToLocalPathWin, toUnix = &URI::ToLocalPathUnix, toMac = &URI::ToLocalPathMac;
    const Case cases[] = {
        {fromWin, toWin, "C:\\100% #?.txt", "file:///C|/100%25%20%23%3F.txt", "C:\\100% #?.txt"},
        {fromWin, toWin, "\\\\Server\\share\\x", "file://server/share/x", "\\\\server\\share\\x"},
        {fromWin, toWin, "\\\\server", "file://server", "\\\\server"},
        {fromWin, toWin, "D:", "file:///D%7C", "D:"},  // a bare drive mark is escaped
        {fromWin, toWin, "a:b:c", "file:///a|b%7Cc", "a:b:c"},
        {fromWin, toWin, "\\dir\\x", "file:///dir/x", "dir\\x"},  // the root is not restored
        {fromUnix, toUnix, "/tmp/100% #?/x", "file:///tmp/100%25%20%23%3F/x", "/tmp/100% #?/x"},
        {fromUnix, toUnix, "rel/x", "file:///rel/x", "/rel/x"},
        {fromUnix, toUnix, "", "file:///", "/"},
        {fromMac, toMac, "Disk:Users:100%", "file:///Disk/Users/100%25", "Disk:Users:100%"},
        {fromMac, toMac, ":a:b", "file:///a/b", "a:b"},
        {fromMac, toMac, "", "file:///", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        URI uri("http://old/a?q#f");
        (uri.*c.convert)(c.path);
        EXPECT_EQ(uri.ToString(false).str(), c.uri);
        EXPECT_EQ(FlagNames(FlagsOf(uri)), FlagNames(kAbsolute));
        EXPECT_EQ((uri.*c.back)().str(), c.pathBack);
    }
    URI untouched("http://h/a?b#c");
    untouched.LocalPathToURIWin("");
    EXPECT_EQ(untouched.ToString(false), "http://h/a?b#c");
}

}  // namespace
}  // namespace tessera_test
