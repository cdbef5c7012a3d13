// Guessing a URI from typed text (the local-path operations it calls through the virtual
// table are the virtual-dispatch test's).
#include <gtest/gtest.h>

#include <string>

#include <tessera/URI.h>

namespace {

using Varn::URI;

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
