// Setters: the stored (escaped) form against the caller's plain form, and the flags that
// the structural setters recompute (and copies carry); writing a URI out, escaped and
// unescaped. What each getter returns is part of the parser's table; GetParts, narrow and
// wide, the UTF-8 forms against ToString and a URI against its own text are the fuzz
// replay's; equality as a comparison of written-out text is the virtual-dispatch test's.
#include <functional>
#include <string>

#include <gtest/gtest.h>

#include "uri_test_support.h"

namespace tessera_test {
namespace {

using Varn::URI;

// Each step changes the URI parsed from start (or, when start is null, the URI of the
// step before) and is checked by the written-out text and the flags. Which bytes each
// setter escapes is the escape-set test's.
struct Step {
    const char* start;
    std::function<void(URI&)> change;
    const char* written;
    const char* flags;
};

TEST(Setters, EscapingAndFlagRecomputation) {
    const Step steps[] = {
        // Two ':' make an IPv6 host, written in brackets; one ':' makes none.
        {"http://old:9/", [](URI& u) { u.SetAuthority("FE80::1"); }, "http://[fe80::1]:9/", kAbsolute},
        {nullptr, [](URI& u) { u.SetAuthority("[::1]"); }, "http://[::1]:9/", kAbsolute},
        {nullptr, [](URI& u) { u.SetAuthority("::"); }, "http://:::9/", kAbsolute},            // too short to bracket
        {nullptr, [](URI& u) { u.SetAuthority("u@h:1"); }, "http://u%40h%3A1:9/", kAbsolute},  // one ':', never split
        {nullptr, [](URI& u) { u.SetAuthority(""); }, "http:/", kAbsolute},
        {nullptr, [](URI& u) { u.SetPath(""); }, "http:", "hierarchical"},
        {"file:///", [](URI& u) { u.SetPath("/C|/x y"); }, "file:///C|/x%20y", kAbsolute},
        {nullptr, [](URI& u) { u.SetPath("/C|"); }, "file:///C%7C", kAbsolute},
        {nullptr, [](URI& u) { u.SetPath("ab|d|"); }, "file://ab|d%7C", kAbsolute},
        {"h2://x", [](URI& u) { u.SetPath("x"); }, "x", kReference},          // "unknown" becomes ""
        {"http://h/p", [](URI& u) { u.SetScheme(""); }, "//h/p", kAbsolute},  // flags not recomputed
        {nullptr, [](URI& u) { u.SetPath(u.GetPath()); }, "/p", kReference},
        {"http://h/", [](URI& u) { u.SetQuery("a%20b", false); }, "http://h/?a%20b", kAbsolute},
        {"http://u:p@h:1/p?q#f", [](URI& u) { u.SetNonHierarchical("a@b"); }, "http:a@b?q#f", kOpaque},
        {nullptr, [](URI& u) { u.SetServerPort("8080"); }, "http:?q#f", "hierarchical"},  // neither host nor path
        {nullptr, [](URI& u) { u.SetAuthority("h"); }, "http://h:8080?q#f", kAbsolute},
        {nullptr, [](URI& u) { u.SetServerPort(""); }, "http://h?q#f", kAbsolute},
        {"h2://x", [](URI& u) { u.SetNonHierarchical("x"); }, "unknown:x", kDefaultState},
        {"mailto:x", [](URI& u) { u.SetUsername("keep"); }, "mailto:x", kOpaque},
        {nullptr, [](URI& u) { u.SetParts("HTTP", "Host", "81", "/a b", "q r", "f g"); },
         "http://keep@host:81/a%20b?q%20r#f%20g", kAbsolute},
        {nullptr, [](URI& u) { u.SetParts("unknown", "", "", "", "", ""); }, "", "relative hierarchical"},
        {"h2://x", [](URI& u) { u.SetParts("file", "", "", "/C|/a b", "", ""); }, "file:///C|/a%20b", kAbsolute},
        {"HTTP://H%41 x/a b%20c?x y%41#f g", [](URI& u) { u.ForceEscape(); }, "http://ha%20x/a%20b%20c?x%20yA#f%20g",
         kAbsolute},
        {"http://a b@h/", [](URI& u) { u.ForceEscape(); }, "http://a b@h/", kAbsolute},  // user information stays
        {"http://", [](URI& u) { u.ForceEscape(); }, "http:", "hierarchical"},
        // User information is written only with a user name, its ':' only with a password;
        // a file URI is written with "//" even without a host, unless it is relative.
        {"http://h/", [](URI& u) { u.SetUsername("user"); }, "http://user@h/", kAbsolute},
        {nullptr, [](URI& u) { u.SetPassword("pw"); }, "http://user:pw@h/", kAbsolute},
        {nullptr, [](URI& u) { u.SetUsername(""); }, "http://h/", kAbsolute},
        {nullptr, [](URI& u) { u.SetScheme("FILE"), u.SetAuthority(""); }, "file:///", kAbsolute},
        {"x", [](URI& u) { u.SetScheme("file"); }, "x", kReference},
    };
    URI u;
    for (const Step& step : steps) {
        if (step.start != nullptr) u = step.start;
        step.change(u);
        SCOPED_TRACE(std::string("from ") + (step.start ? step.start : "the step before") + " to " + step.written);
        URI copy("mailto:x");
        copy = URI(u);  // copies carry the stored flags, also those that a setter left stale
        copy = *&copy;
        for (const URI* v : {&u, &copy}) {
            EXPECT_EQ(v->ToString(false).str(), step.written);
            EXPECT_EQ(FlagsOf(*v), step.flags);
        }
    }
}

// The text is written back as parsed: nothing escaped or unescaped, only scheme and host
// lower-cased (the host as stored, escapes included); the unescaped form decodes every
// component but the port.
TEST(ToString, EscapedAndUnescapedForms) {
    const struct {
        const char *text, *escaped, *unescaped;
    } cases[] = {
        {"HTTP://u@Host:81/a%20b?q=%41+#f%42", "http://u@host:81/a%20b?q=%41+#f%42", "http://u@host:81/a b?q=A+#fB"},
        {"HTTP://U%41:P%41@H%4F ST:8%30/A b%41?Q %41#F %41", "http://U%41:P%41@h%4f st:8%30/A b%41?Q %41#F %41",
         "http://UA:PA@hO st:8%30/A bA?Q A#F A"},
        {"http://[::1]:80/%41", "http://[::1]:80/%41", "http://[::1]:80/A"},
        {"file:///C:/x", "file:///C|/x", "file:///C|/x"},
        {"file:", "file:", "file:"},
        {"%41?%42#%43", "%41?%42#%43", "A?B#C"},
        {"mailto:a%40b?s=%41#%41", "mailto:a%40b?s=%41#%41", "mailto:a@b?s=A#A"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        const URI u(c.text);
        EXPECT_EQ(u.ToString().str(), c.escaped);
        EXPECT_EQ(u.ToString(true).str(), c.unescaped);
    }
}

}  // namespace
}  // namespace tessera_test
