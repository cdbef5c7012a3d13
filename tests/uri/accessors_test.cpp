// Getters and setters: the stored (escaped) form against the caller's plain form, and
// the flags that the structural setters recompute.
#include <functional>
#include <string>

#include <gtest/gtest.h>

#include "uri_test_support.h"

namespace {

using Varn::URI;

TEST(Getters, ReturnUnescapedComponents) {
    const URI u("http://us%20er:p%40ss@h%41:%38/a%20b?x=%41&y=1+2#%7E");
    EXPECT_EQ(u.GetUsername().str() + "|" + u.GetPassword().str() + "|" + u.GetAuthority().str() + "|" +
                  u.GetServerPort().str() + "|" + u.GetPath().str() + "|" + u.GetQuery(true).str() + "|" +
                  u.GetFragment().str(),
              "us er|p@ss|hA|8|/a b|x=A&y=1+2|~");  // '+' stays; the host is lower-cased as text
    EXPECT_EQ(u.GetQuery(false), "x=%41&y=1+2");
    EXPECT_EQ(URI("mailto:a%20b").GetNonHierarchical(), "a b");
    EXPECT_EQ(URI("http://[::1]:80/").GetAuthority(), "::1");
    EXPECT_EQ(URI("http://[a%3Ab]/").GetAuthority(), "[a:b]");  // a literal needs two ':' as stored
}

// Flags as "VRH": valid, relative, hierarchical, '-' where false.
std::string Flags(const URI& u) {
    return std::string(u.IsValidURI() ? "V" : "-") + (u.IsRelative() ? "R" : "-") + (u.IsHierarchical() ? "H" : "-");
}

// Each step changes the URI parsed from start (or, when start is null, the URI of the
// step before) and is checked by the written-out text and the flags.
struct Step {
    const char* start;
    std::function<void(URI&)> change;
    const char *written, *flags;
};

TEST(Setters, EscapingAndFlagRecomputation) {
    const Step steps[] = {
        {"http://old:9/", [](URI& u) { u.SetAuthority("FE80::1"); }, "http://[fe80::1]:9/", "V-H"},
        {nullptr, [](URI& u) { u.SetAuthority("[::1]"); }, "http://[::1]:9/", "V-H"},
        {nullptr, [](URI& u) { u.SetAuthority("::"); }, "http://:::9/", "V-H"},  // too short to bracket
        {nullptr, [](URI& u) { u.SetAuthority("Ex ample"); }, "http://ex%20ample:9/", "V-H"},
        {nullptr, [](URI& u) { u.SetAuthority("u@h:1"); }, "http://u%40h%3A1:9/", "V-H"},  // never split
        {nullptr, [](URI& u) { u.SetAuthority("A%2f"); }, "http://a%252f:9/", "V-H"},
        {nullptr, [](URI& u) { u.SetAuthority(""); }, "http:/", "V-H"},
        {nullptr, [](URI& u) { u.SetPath(""); }, "http:", "--H"},
        {"http://h/", [](URI& u) { u.SetPath("/a b#c|"); }, "http://h/a%20b%23c%7C", "V-H"},
        {"file:///", [](URI& u) { u.SetPath("/C|/x y"); }, "file:///C|/x%20y", "V-H"},
        {nullptr, [](URI& u) { u.SetPath("/C|"); }, "file:///C%7C", "V-H"},
        {nullptr, [](URI& u) { u.SetPath("ab|d|"); }, "file://ab|d%7C", "V-H"},
        {nullptr, [](URI& u) { u.SetPath("/a;b/%41"); }, "file:///a;b/%2541", "V-H"},
        {"h2://x", [](URI& u) { u.SetPath("x"); }, "x", "VRH"},                  // "unknown" becomes ""
        {"http://h/p", [](URI& u) { u.SetScheme("A{"); }, "a%7b://h/p", "V-H"},  // lower-cased after escaping
        {nullptr, [](URI& u) { u.SetScheme(""); }, "//h/p", "V-H"},              // flags not recomputed
        {nullptr, [](URI& u) { u.SetPath(u.GetPath()); }, "/p", "VRH"},
        {"http://h/", [](URI& u) { u.SetQuery("a%20b", false); }, "http://h/?a%20b", "V-H"},
        {"mailto:x", [](URI& u) { u.SetNonHierarchical("x y"); }, "mailto:x%20y", "V--"},
        {"http://u:p@h:1/p?q#f", [](URI& u) { u.SetNonHierarchical("a@b"); }, "http:a@b?q#f", "V--"},
        {nullptr, [](URI& u) { u.SetServerPort("8080"); }, "http:?q#f", "--H"},  // neither host nor path
        {nullptr, [](URI& u) { u.SetAuthority("h"); }, "http://h:8080?q#f", "V-H"},
        {nullptr, [](URI& u) { u.SetServerPort(""); }, "http://h?q#f", "V-H"},
        {"h2://x", [](URI& u) { u.SetNonHierarchical("x"); }, "unknown:x", "---"},
        {"mailto:x", [](URI& u) { u.SetUsername("keep"); }, "mailto:x", "V--"},
        {nullptr, [](URI& u) { u.SetParts("HTTP", "Host", "81", "/a b", "q r", "f g"); },
         "http://keep@host:81/a%20b?q%20r#f%20g", "V-H"},
        {nullptr, [](URI& u) { u.SetParts("unknown", "", "", "", "", ""); }, "", "-RH"},
        {"h2://x", [](URI& u) { u.SetParts("file", "", "", "/C|/a b", "", ""); }, "file:///C|/a%20b", "V-H"},
        {"HTTP://H%41 x/a b%20c?x y%41#f g", [](URI& u) { u.ForceEscape(); }, "http://ha%20x/a%20b%20c?x%20yA#f%20g",
         "V-H"},
        {"mailto:a b%41", [](URI& u) { u.ForceEscape(); }, "mailto:a%20bA", "V--"},
        {"http://a b@h/", [](URI& u) { u.ForceEscape(); }, "http://a b@h/", "V-H"},  // user information stays
        {"http://", [](URI& u) { u.ForceEscape(); }, "http:", "--H"},
    };
    URI u;
    for (const Step& step : steps) {
        if (step.start != nullptr) u = step.start;
        step.change(u);
        EXPECT_EQ(u.ToString(false), step.written) << "from " << (step.start ? step.start : "previous step");
        EXPECT_EQ(Flags(u), step.flags) << step.written;
    }
}

TEST(GetParts, NarrowAndWideTargets) {
    const URI u("http://[::1]:8/p%C3%A9?q=%41#f");
    std::string scheme, host, port, path, query, fragment;
    u.GetParts(scheme, host, port, path, query, fragment);
    EXPECT_EQ(scheme + "|" + host + "|" + port + "|" + path + "|" + query + "|" + fragment,
              "http|::1|8|/p\xC3\xA9|q=A|f");
    // Wide targets get UTF-16; a character outside the BMP arrives as a surrogate pair.
    std::wstring wHost, wPath;
    URI("http://[::1]/p%C3%A9%F0%9F%98%80").GetParts(scheme, wHost, port, wPath, query, fragment);
    EXPECT_EQ(wHost, L"::1");
    EXPECT_EQ(wPath, (std::wstring{L'/', L'p', wchar_t(0xE9), wchar_t(0xD83D), wchar_t(0xDE00)}));
}

}  // namespace
