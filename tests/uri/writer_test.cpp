// Writing a URI out (escaped, unescaped, UTF-8 forms) and equality.
#include <string>

#include <gtest/gtest.h>

#include "uri_test_support.h"

namespace {

using Varn::URI;

TEST(ToString, EscapedAndUnescapedForms) {
    struct Case {
        const char* text;
        const char* escaped;
        const char* unescaped;
    } cases[] = {
        {"HTTP://u@Host:81/a%20b?q=%41#f%42", "http://u@host:81/a%20b?q=%41#f%42", "http://u@host:81/a b?q=A#fB"},
        {"http://u%41:p%42@h/", "http://u%41:p%42@h/", "http://uA:pB@h/"},
        {"http://h:8080/%41", "http://h:8080/%41", "http://h:8080/A"},
        {"http://h:%38/", "http://h:%38/", "http://h:%38/"},  // the port is never unescaped
        {"http://[::1]:80/", "http://[::1]:80/", "http://[::1]:80/"},
        {"http://h%41/", "http://h%41/", "http://hA/"},
        {"file:///C:/x", "file:///C|/x", "file:///C|/x"},
        {"file:", "file:", "file:"},
        {"http://", "http:", "http:"},
        {"http://a?b", "http://a?b", "http://a?b"},
        {"../a?b#c", "../a?b#c", "../a?b#c"},
        {"%41?%42#%43", "%41?%42#%43", "A?B#C"},
        {"", "", ""},
        {"mailto:user?subject=x", "mailto:user?subject=x", "mailto:user?subject=x"},
        {"mailto:a%40b?s=%41+b#%41", "mailto:a%40b?s=%41+b#%41", "mailto:a@b?s=A+b#A"},
        {"h2://x", "unknown:", "unknown:"},
    };
    for (const Case& c : cases) {
        const URI u(c.text);
        EXPECT_EQ(u.ToString(false), c.escaped) << c.text;
        EXPECT_EQ(u.ToString(true), c.unescaped) << c.text;
        EXPECT_EQ(u.ToString(), c.escaped) << c.text;
    }
}

TEST(ToString, UserInformationRules) {
    URI u("http://h/");
    u.SetUsername("user");
    EXPECT_EQ(u.ToString(false), "http://user@h/");  // empty password: no ':'
    u.SetPassword("p w");
    EXPECT_EQ(u.ToString(false), "http://user:p%20w@h/");
    EXPECT_EQ(u.ToString(true), "http://user:p w@h/");
    u.SetUsername("");
    EXPECT_EQ(u.ToString(false), "http://h/");  // a password alone is not written
    // User information is written only together with "//".
    URI noHost("http://u@h");
    noHost.SetAuthority("");
    EXPECT_EQ(noHost.ToString(false), "http:");
}

TEST(ToString, FileSchemeAlwaysGetsSlashes) {
    URI u("file:///x");
    EXPECT_EQ(u.ToString(false), "file:///x");
    URI upper("http://h/x");
    upper.SetScheme("FILE");
    upper.SetAuthority("");
    EXPECT_EQ(upper.ToString(false), "file:///x");
    URI relative("x");
    relative.SetScheme("file");  // still relative: only the path is written
    EXPECT_EQ(relative.ToString(false), "x");
}

TEST(ToString, DefaultStateAndEquality) {
    const URI d;
    EXPECT_EQ(d.ToString(false), "unknown:");
    EXPECT_TRUE(d == "unknown:");
    EXPECT_TRUE(d == URI("a:b"));
    EXPECT_TRUE(URI("HTTP://HOST/a") == URI("http://host/a"));
    EXPECT_TRUE(URI("http://h/%41") != URI("http://h/A"));
    EXPECT_TRUE(URI("http://h/a") == std::string("http://h/a"));
    EXPECT_TRUE(URI("http://h/a") != "HTTP://h/a");  // the text is not parsed
    EXPECT_TRUE(URI("") == static_cast<const char*>(nullptr));
    EXPECT_FALSE(URI("") != static_cast<const char*>(nullptr));
    EXPECT_FALSE(URI("x") == URI::StringProxy("y"));
    EXPECT_TRUE(URI("x") != URI::StringProxy("y"));
}

TEST(ToStringUTF8, DecodesOnlyHighByteEscapes) {
    EXPECT_EQ(URI("http://h/a%20%C3%A9").ToStringUTF8(), "http://h/a%20\xC3\xA9");
    EXPECT_EQ(URI("http://h/%e9%41").ToStringUTF8(), "http://h/\xE9%41");
    EXPECT_EQ(URI("http://h/\xC3\xA9").ToStringUTF8Escaped(), "http://h/%C3%A9");
    EXPECT_EQ(URI("http://h/%C3%A9 x").ToStringUTF8Escaped(), "http://h/%C3%A9 x");
}

}  // namespace
