// Guessing a URI from typed text, and the virtual local-path operations it goes through.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include <tessera/URI.h>

namespace {

using Varn::URI;

TEST(UnknownToURI, EachStepInOrder) {
    struct Case { const char* text; const char* scheme; const char* uri; };
    const Case cases[] = {
        {"D:\\dir\\a.txt", "http", "file:///D|/dir/a.txt"},         // drive letter
        {"x:/y", "http", "file:///x|/y"},                           // never the scheme x
        {"x://host", "http", "file:///x|//host"},
        {"\\\\server\\share", "http", "file://server/share"},       // UNC
        {"//host/share", "http", "file://host/share"},
        {"/usr/lib", "http", "file:///usr/lib"},                    // Unix path
        {"\\dir\\x", "http", "file:///dir/x"},                      // root-relative Windows path
        {"host:80/dir", "http", "host:80/dir"},                     // opaque: scheme "host"
        {"mailto:a@b.example", "http", "mailto:a@b.example"},
        {"name:", "http", "name:"},
        {"HTTP://Host/a b?q=1 2", "http", "http://host/a%20b?q=1%202"},
        {"file:///C:/x y", "http", "file:///C|/x%20y"},
        {"../up/x y.html", "http", "../up/x%20y.html"},             // explicit relative references
        {"./", "http", "./"}, {".", "http", "."}, {"..", "http", ".."},
        {"ftp:///dir", "http", "http://ftp///dir"},                 // scheme, no host, a path
        {"myhost/page", "http", "http://myhost/page"},              // bare host names
        {"plainword", "http", "http://plainword"},
        {"a", "ftp", "ftp://a"},
    };
    for (const Case& c : cases) {
        URI uri;
        EXPECT_TRUE(uri.UnknownToURI(c.text, c.scheme)) << c.text;
        EXPECT_EQ(uri.ToString(false), c.uri) << c.text;
        EXPECT_TRUE(uri.IsValidURI()) << c.text;
    }
}

TEST(UnknownToURI, FalseLeavesUnchangedOrSchemeOnlyOrCleared) {
    const char* unchanged[] = {"", "h2://x", "a\\b"};  // empty text; the parse fails
    for (const char* text : unchanged) {
        URI uri("http://keep/me?q#f");
        EXPECT_FALSE(uri.UnknownToURI(text, "http")) << text;
        EXPECT_EQ(uri.ToString(false), "http://keep/me?q#f") << text;
        EXPECT_TRUE(uri.IsValidURI()) << text;
    }

    URI schemeOnly("http://keep/me");
    EXPECT_FALSE(schemeOnly.UnknownToURI("name://", "http"));
    EXPECT_EQ(schemeOnly.GetScheme(), "name");
    EXPECT_EQ(schemeOnly.ToString(false), "name:");

    const char* clearedBy[][2] = {{"?q", "http"}, {"plainword", ""}};
    for (const auto& input : clearedBy) {
        URI uri("http://keep/me?q#f");
        EXPECT_FALSE(uri.UnknownToURI(input[0], input[1])) << input[0];
        EXPECT_EQ(uri.ToString(false), "") << input[0];
        EXPECT_TRUE(uri.IsRelative() && uri.IsHierarchical() && !uri.IsValidURI()) << input[0];
    }
}

/// Replaces the Windows and Unix notations and records what the library called.
class RecordingURI : public URI {
public:
    mutable std::vector<std::string> calls;

    StringProxy ToLocalPathWin() const override {
        calls.push_back("ToLocalPathWin");
        return "win";
    }
    StringProxy ToLocalPathUnix() const override {
        calls.push_back("ToLocalPathUnix");
        return "unix";
    }
    void LocalPathToURIWin(StringProxy path) override {
        calls.push_back("LocalPathToURIWin " + path.str());
        SetParts("win", "h", "", "/", "", "");
    }
    void LocalPathToURIUnix(StringProxy path) override {
        calls.push_back("LocalPathToURIUnix " + path.str());
        SetParts("unix", "h", "", "/", "", "");
    }
};

TEST(UnknownToURI, GoesThroughOverriddenLocalPathOperations) {
    struct Case { const char* text; const char* call; const char* uri; };
    const Case cases[] = {
        {"C:\\a", "LocalPathToURIWin C:\\a", "win://h/"},
        {"//s/x", "LocalPathToURIWin //s/x", "win://h/"},
        {"/a", "LocalPathToURIUnix /a", "unix://h/"},
        {"\\a\\b", "LocalPathToURIUnix /a/b", "unix://h/"},
    };
    for (const Case& c : cases) {
        RecordingURI uri;
        EXPECT_TRUE(uri.UnknownToURI(c.text, "http"));
        EXPECT_EQ(uri.calls, std::vector<std::string>{c.call}) << c.text;
        EXPECT_EQ(uri.ToString(false), c.uri) << c.text;
    }
    RecordingURI web;
    EXPECT_TRUE(web.UnknownToURI("http://h/", "http"));
    EXPECT_TRUE(web.calls.empty());
}

TEST(LocalPath, GenericOperationsFollowOverrides) {
    RecordingURI uri;
#if defined(_WIN32)
    const std::string platform = "Win";
#else
    const std::string platform = "Unix";
#endif
    EXPECT_EQ(uri.ToLocalPath(), platform == "Win" ? "win" : "unix");
    uri.LocalPathToURI("p");
    EXPECT_EQ(uri.calls, (std::vector<std::string>{"ToLocalPath" + platform, "LocalPathToURI" + platform + " p"}));
}

}  // namespace
