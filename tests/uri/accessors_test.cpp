// Getters and setters: stored (escaped) form against the caller's (plain) form, and the
// flags that the structural setters recompute.
#include <string>

#include <gtest/gtest.h>

#include "uri_test_support.h"

namespace {

using Varn::URI;
using tessera_test::OpenURI;

TEST(Getters, ReturnUnescapedComponents) {
    const URI u("http://us%20er:p%40ss@h%41/a%20b?x=%41&y=1+2#%7E");
    EXPECT_EQ(u.GetPath(), "/a b");
    EXPECT_EQ(u.GetQuery(true), "x=A&y=1+2");
    EXPECT_EQ(u.GetQuery(false), "x=%41&y=1+2");
    EXPECT_EQ(u.GetFragment(), "~");
    EXPECT_EQ(u.GetUsername(), "us er");
    EXPECT_EQ(u.GetPassword(), "p@ss");
    EXPECT_EQ(u.GetAuthority(), "hA");  // host lower-cased as text, escape decoded after
    EXPECT_EQ(URI("mailto:a%20b").GetNonHierarchical(), "a b");
}

TEST(Getters, AuthorityOfIPv6LiteralsAndPorts) {
    const URI u("http://[::1]:80/");
    EXPECT_EQ(u.GetAuthority(), "::1");
    EXPECT_EQ(u.GetServerPort(), "80");
    EXPECT_EQ(URI("http://h:%38%30/").GetServerPort(), "80");
    // Not a literal unless bracketed with two ':' inside.
    EXPECT_EQ(URI("http://[a%3Ab]/").GetAuthority(), "[a:b]");
    EXPECT_EQ(URI("http://[v:1]x:2/").GetAuthority(), "[v:1]x:2");
}

TEST(Setters, AuthorityEscapingAndIPv6Brackets) {
    struct Case {
        const char* text;
        const char* stored;
    } cases[] = {
        {"FE80::1", "[fe80::1]"}, {"[::1]", "[::1]"},          {"::", "::"},
        {"[::", "[::"},           {"Ex ample", "ex%20ample"}, {"u@h:1", "u%40h%3A1"},
        {"A%2f", "a%252f"},
    };
    for (const Case& c : cases) {
        URI u("http://old:9/");
        u.SetUsername("keep");
        u.SetAuthority(c.text);
        // User information and port are not touched.
        EXPECT_EQ(u.ToString(false), "http://keep@" + std::string(c.stored) + ":9/") << c.text;
    }
    URI u("http://h/");
    u.SetAuthority("");
    EXPECT_EQ(u.ToString(false), "http:/");
    EXPECT_TRUE(u.IsValidURI());
    u.SetPath("");
    EXPECT_FALSE(u.IsValidURI());
}

TEST(Setters, PathEscapingAndDriveMark) {
    URI u("http://h/");
    u.SetPath("/a b#c");
    EXPECT_EQ(u.ToString(false), "http://h/a%20b%23c");
    u.SetPath("/C|/x");  // not a file URI: '|' is escaped
    EXPECT_EQ(u.ToString(false), "http://h/C%7C/x");

    URI f("file:///");
    f.SetPath("/C|/x y");
    EXPECT_EQ(f.ToString(false), "file:///C|/x%20y");
    f.SetPath("/C|");
    EXPECT_EQ(f.ToString(false), "file:///C%7C");
    f.SetPath("ab|d|");
    EXPECT_EQ(f.ToString(false), "file://ab|d%7C");
    f.SetPath("/a;b/%41");
    EXPECT_EQ(f.ToString(false), "file:///a;b/%2541");
}

TEST(Setters, PathOnDefaultURIMakesRelativeReference) {
    URI u;
    u.SetPath("x");
    EXPECT_EQ(u.GetScheme(), "");
    EXPECT_TRUE(u.IsRelative());
    EXPECT_TRUE(u.IsHierarchical());
    EXPECT_TRUE(u.IsValidURI());
    EXPECT_EQ(u.ToString(false), "x");
}

TEST(Setters, ComponentsWithoutStructureLeaveFlagsAlone) {
    URI u("http://h/p");
    u.SetScheme("A{");
    EXPECT_EQ(u.GetScheme(), "a{");
    EXPECT_EQ(u.ToString(false), "a%7b://h/p");  // escape first, then lower-cased
    EXPECT_TRUE(u.IsValidURI());
    u.SetScheme("");
    EXPECT_FALSE(u.IsRelative());  // not recomputed by SetScheme
    u.SetPath(u.GetPath());
    EXPECT_TRUE(u.IsRelative());

    URI q("http://h/");
    q.SetQuery("a b?c", true);
    EXPECT_EQ(q.GetQuery(false), "a%20b?c");
    q.SetQuery("a%20b", false);
    EXPECT_EQ(q.GetQuery(false), "a%20b");
    q.SetFragment("a@b");
    q.SetUsername("a:b");
    q.SetPassword("/:@");
    EXPECT_EQ(q.ToString(false), "http://a%3Ab:%2F%3A%40@h/?a%20b#a%40b");
}

TEST(Setters, NonHierarchicalAndBack) {
    URI m("mailto:x");
    m.SetUsername("u");
    m.SetNonHierarchical("x y");
    EXPECT_EQ(m.ToString(false), "mailto:x%20y");
    EXPECT_TRUE(m.IsValidURI());
    EXPECT_FALSE(m.IsHierarchical());
    EXPECT_FALSE(m.IsRelative());

    URI h("http://u:p@h:1/p?q#f");
    h.SetNonHierarchical("a@b");
    EXPECT_EQ(h.ToString(false), "http:a@b?q#f");
    EXPECT_EQ(h.GetUsername(), "");
    EXPECT_EQ(h.GetServerPort(), "");

    URI d;
    d.SetNonHierarchical("x");
    EXPECT_FALSE(d.IsValidURI());

    h.SetServerPort("8080");  // hierarchical again, but neither host nor path
    EXPECT_TRUE(h.IsHierarchical());
    EXPECT_EQ(h.GetNonHierarchical(), "");
    EXPECT_FALSE(h.IsValidURI());
    h.SetAuthority("h");
    EXPECT_TRUE(h.IsValidURI());
    h.SetServerPort("");
    EXPECT_TRUE(h.IsValidURI());
}

TEST(Setters, SetPartsInOrder) {
    URI u("mailto:x");
    u.SetUsername("keep");
    u.SetParts("HTTP", "Host", "81", "/a b", "q r", "f g");
    EXPECT_EQ(u.ToString(false), "http://keep@host:81/a%20b?q%20r#f%20g");
    EXPECT_TRUE(u.IsValidURI());
    EXPECT_TRUE(u.IsHierarchical());

    u.SetParts("unknown", "", "", "", "", "");
    EXPECT_EQ(u.GetScheme(), "");
    EXPECT_TRUE(u.IsRelative());
    EXPECT_TRUE(u.IsHierarchical());
    EXPECT_FALSE(u.IsValidURI());

    URI f;
    f.SetParts("file", "", "", "/C|/a b", "", "");
    EXPECT_EQ(f.ToString(false), "file:///C|/a%20b");
}

TEST(GetParts, NarrowAndWideTargets) {
    const URI u("http://[::1]:8/p%C3%A9?q=%41#f");
    std::string scheme, host, port, path, query, fragment;
    u.GetParts(scheme, host, port, path, query, fragment);
    EXPECT_EQ(scheme, "http");
    EXPECT_EQ(host, "::1");
    EXPECT_EQ(port, "8");
    EXPECT_EQ(path, "/p\xC3\xA9");
    EXPECT_EQ(query, "q=A");
    EXPECT_EQ(fragment, "f");

    std::wstring wScheme, wHost, wPort, wPath, wQuery, wFragment;
    u.GetParts(wScheme, wHost, wPort, wPath, wQuery, wFragment);
    EXPECT_EQ(wScheme, L"http");
    EXPECT_EQ(wHost, L"::1");
    EXPECT_EQ(wPath, std::wstring(L"/p") + static_cast<wchar_t>(0xE9));
    EXPECT_EQ(wQuery, L"q=A");

    // Mixed targets; a character outside the BMP arrives as a surrogate pair.
    std::wstring wide;
    std::string narrow;
    URI("http://h/%F0%9F%98%80").GetParts(narrow, narrow, narrow, wide, narrow, narrow);
    EXPECT_EQ(wide, (std::wstring{L'/', static_cast<wchar_t>(0xD83D), static_cast<wchar_t>(0xDE00)}));
}

TEST(ForceEscape, BringsComponentsIntoCanonicalForm) {
    URI u("HTTP://H%41 x/a b%20c?x y%41#f g");
    u.ForceEscape();
    EXPECT_EQ(u.ToString(false), "http://ha%20x/a%20b%20c?x%20yA#f%20g");

    URI n("mailto:a b%41");
    n.ForceEscape();
    EXPECT_EQ(n.ToString(false), "mailto:a%20bA");

    URI empty("http://");
    EXPECT_TRUE(empty.IsValidURI());
    empty.ForceEscape();
    EXPECT_FALSE(empty.IsValidURI());

    URI user("http://a b@h/");  // user information is left as stored
    user.ForceEscape();
    EXPECT_EQ(user.ToString(false), "http://a b@h/");
}

TEST(IsOfType, ComparesStoredSchemeIgnoringCase) {
    EXPECT_TRUE(URI("file:///x").IsOfType("FILE"));
    EXPECT_FALSE(URI().IsOfType("file"));
    EXPECT_TRUE(URI().IsOfType("Unknown"));
    EXPECT_TRUE(URI("/x").IsOfType(""));
}

}  // namespace
