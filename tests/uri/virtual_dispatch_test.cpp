// The URI operations call one another through the virtual operations, so a derived
// class that overrides one changes the others (path and relation operations, guessing and
// the generic local-path operations included).
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "uri_test_support.h"

namespace tessera_test {
namespace {

using Varn::URI;

// Every overridable query answers from a switch (-1: the base class answers); moves and
// local-path operations are recorded, and the local-path operations do nothing else.
class SteeredURI : public OpenURI {
public:
    using OpenURI::OpenURI;
    using OpenURI::operator=;

    const char* written = nullptr;
    const char* utf8 = nullptr;
    int absolute = -1, relative = -1, hierarchical = -1, ofType = -1;
    bool directory = false;
    mutable std::vector<std::string> calls;
    mutable int ofTypeAsked = 0;

    StringProxy ToString(bool unescaped) const override {
        return written ? StringProxy(written) : URI::ToString(unescaped);
    }
    StringProxy ToStringUTF8() const override { return utf8 ? StringProxy(utf8) : URI::ToStringUTF8(); }
    bool IsAbsolute() const override { return absolute < 0 ? URI::IsAbsolute() : absolute != 0; }
    bool IsRelative() const override { return relative < 0 ? URI::IsRelative() : relative != 0; }
    bool IsHierarchical() const override { return hierarchical < 0 ? URI::IsHierarchical() : hierarchical != 0; }
    bool IsOfType(StringProxy name) const override {
        ++ofTypeAsked;
        return ofType < 0 ? URI::IsOfType(name) : ofType != 0;
    }
    bool IsDirectory() const override { return directory || URI::IsDirectory(); }
    bool ChDir(StringProxy reference, bool escape) override {
        calls.push_back("ChDir " + reference.str());
        return URI::ChDir(reference, escape);
    }
    StringProxy ToLocalPathWin() const override { return Record("ToLocalPathWin"); }
    StringProxy ToLocalPathUnix() const override { return Record("ToLocalPathUnix"); }
    void LocalPathToURIWin(StringProxy path) override { Record("LocalPathToURIWin " + path.str()); }
    void LocalPathToURIUnix(StringProxy path) override { Record("LocalPathToURIUnix " + path.str()); }

private:
    StringProxy Record(const std::string& call) const {
        calls.push_back(call);
        return call;
    }
};

TEST(VirtualDispatch, PathOperationsAskTheVirtualTable) {
    SteeredURI reference("a");
    reference.written = "b/c";  // the reference is what ToString writes
    EXPECT_TRUE(reference.MakeAbsoluteURI(URI("http://h/d/e")));
    EXPECT_EQ(reference.URI::ToString(false), "http://h/d/b/c");
    SteeredURI relativeBase("http://h/"), absoluteReference("x");
    relativeBase.relative = 1;
    absoluteReference.absolute = 1;
    EXPECT_FALSE(URI("x").MakeAbsoluteURI(relativeBase));
    EXPECT_FALSE(absoluteReference.MakeAbsoluteURI(URI("http://h/")));

    SteeredURI target("http://h/a/b");
    target.ofType = 1;  // the scheme test passes whatever the base's scheme
    EXPECT_TRUE(target.MakeRelativeURI(URI("ftp://h/a/"), true));
    EXPECT_EQ(target.URI::ToString(false), "b");
    target = "http://h/a/b";
    target.relative = 1;
    EXPECT_TRUE(target.MakeRelativeURI(URI("http://h/"), true));
    EXPECT_EQ(target.URI::ToString(false), "http://h/a/b");  // taken as relative: unchanged
    SteeredURI elsewhere("http://h/a/b");
    EXPECT_FALSE(elsewhere.MakeRelativeURI(URI("http://other/a/"), true));
    EXPECT_EQ(elsewhere.ofTypeAsked, 1);  // the scheme is asked before the hosts are compared

    SteeredURI uri("http://h/a/b.txt");
    uri.directory = true;
    EXPECT_EQ(uri.GetFilename(false), "");
    uri.RemoveLastPathComponent();  // a directory moves to its parent
    EXPECT_EQ(uri.calls, std::vector<std::string>{"ChDir .."});
    EXPECT_EQ(uri.URI::ToString(false), "http://h/");
    SteeredURI root("http://h/");
    root.relative = 1;  // a ".." at the front now stays, as for a relative base
    root.ChDir("..", false);
    EXPECT_EQ(root.URI::ToString(false), "http://h/../");
}

TEST(VirtualDispatch, WritingOutAsksTheVirtualTable) {
    SteeredURI u("http://h/a");
    u.written = "x:%C3%A9\xC3\xA9";  // equality and the UTF-8 forms use ToString, on either side
    EXPECT_TRUE(u == "x:%C3%A9\xC3\xA9" && u == URI::StringProxy("x:%C3%A9\xC3\xA9") && !(u != "x:%C3%A9\xC3\xA9"));
    EXPECT_TRUE(u != URI("http://h/a") && URI("http://h/a") != u);
    // The text compared with is not parsed, and a null text is the empty one.
    EXPECT_TRUE(URI("http://h/a") != "HTTP://h/a" && URI("") == static_cast<const char*>(nullptr));
    EXPECT_EQ(u.ToStringUTF8(), "x:\xC3\xA9\xC3\xA9");
    EXPECT_EQ(u.ToStringUTF8Escaped(), "x:%C3%A9%C3%A9");
    SteeredURI encoded("http://h/a");
    encoded.utf8 = "x:\xC3\xA9";
    EXPECT_EQ(encoded.ToEncodedString("iso-8859-1"), "x:\xE9");
    encoded.hierarchical = 0;  // only the non-hierarchical part, query and fragment are renewed
    EXPECT_TRUE(encoded.FromEncodedString("http://h/p%E9?q%E9", "iso-8859-1"));
    encoded.hierarchical = -1;
    EXPECT_EQ(encoded.ToString(false), "http:?q\xC3\xA9");

    SteeredURI opaque("http://h/a b");
    opaque.hierarchical = 0;
    EXPECT_EQ(opaque.ToString(false), "http:");
    opaque.ForceEscape();  // takes the non-hierarchical branch: host and path are cleared
    opaque.hierarchical = -1;
    EXPECT_FALSE(opaque.IsHierarchical());
    EXPECT_EQ(opaque.ToString(false), "http:");
    SteeredURI file("http://h/");
    file.ofType = 1;  // every scheme is "file"
    file.SetAuthority("");
    file.SetPath("/C|/x");
    EXPECT_EQ(file.ToString(false), "http:///C|/x");
    SteeredURI notFile("file:///C:/y");
    notFile.ofType = 0;  // not even "file" is
    EXPECT_EQ(notFile.ToString(false), "file:/C|/y");
    notFile.SetPath("/C|/y");
    EXPECT_EQ(notFile.ToString(false), "file:/C%7C/y");
}

TEST(VirtualDispatch, ValidationUsesIsAbsoluteAndIsRelative) {
    SteeredURI u, v;
    u.absolute = 0;  // the scheme rule is skipped
    u = "h2://x";
    EXPECT_TRUE(u.IsValidURI());
    u = "unknown://h/";
    EXPECT_FALSE(u.IsValidURI());  // still absolute for the hierarchical rule
    u.relative = 1;
    u = "unknown://h/";
    EXPECT_TRUE(u.IsValidURI());
    v.absolute = 1;  // a relative reference now needs a proper scheme
    v = "/a/b";
    EXPECT_FALSE(v.IsValidURI());
}

TEST(VirtualDispatch, LocalPathOperationsGoThroughTheVirtualTable) {
    SteeredURI uri;
    for (const char* text : {"C:\\a", "//s/x", "/a", "\\a\\b", "http://h/"})
        EXPECT_TRUE(uri.UnknownToURI(text, "http"));
    EXPECT_EQ(uri.calls, (std::vector<std::string>{"LocalPathToURIWin C:\\a", "LocalPathToURIWin //s/x",
                                                   "LocalPathToURIUnix /a", "LocalPathToURIUnix /a/b"}));
    // The generic local-path operations take the platform's notation (that it gives the
    // same results is the fuzz replay's).
#if defined(_WIN32)
    const std::string platform = "Win";
#else
    const std::string platform = "Unix";
#endif
    SteeredURI recording;
    EXPECT_EQ(recording.ToLocalPath(), "ToLocalPath" + platform);
    recording.LocalPathToURI("p");
    EXPECT_EQ(recording.calls.back(), "LocalPathToURI" + platform + " p");
}

}  // namespace
}  // namespace tessera_test
