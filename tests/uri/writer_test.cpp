// Writing a URI out, escaped and unescaped (the UTF-8 forms against ToString, and a URI
// against its own text, are the fuzz replay's; equality as a comparison of written-out
// text is the virtual-dispatch test's).
#include <string>

#include <gtest/gtest.h>

#include "uri_test_support.h"

namespace {

using Varn::URI;

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
