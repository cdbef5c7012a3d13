// A URI read from and written into text of a named character set.
#include <string>

#include <gtest/gtest.h>
#include <tessera/Transcoder.h>

#include "uri_test_support.h"

namespace tessera_test {
namespace {

using Varn::URI;

TEST(NormalizeEncoding, EscapesAreBytesOfTheEncoding) {
    struct Case {
        const char *text, *encoding;
        bool ok;
        const char* result;
    };
    const Case cases[] = {
        {"caf%E9", "iso-8859-1", true, "caf\xC3\xA9"},
        // Unescaped runs are UTF-8 and survive; ASCII escapes are decoded too; a broken
        // escape stays as its three bytes; a '%' near the end stays.
        {"\xC3\xA9%2F%zz%E9%4", "Windows-1252", true, "\xC3\xA9/%zz\xC3\xA9%4"},
        {"", "no such encoding", true, ""},  // returns before converting
        // A run that converts to nothing fails and leaves the text as it was, wherever the
        // run stands; text of escapes alone has no run and ends as the encoding reads it back.
        {"x%41", "utf-16", false, "x%41"},
        {"%41x", "utf-16", false, "%41x"},
        {"ab%", "utf-16", false, "ab%"},
        {"%41", "utf-16", true, ""},
    };
    OpenURI u;
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.text) + " in " + c.encoding);
        std::string text = c.text;
        EXPECT_EQ(u.NormalizeEncoding(text, c.encoding), c.ok);
        EXPECT_EQ(text, c.result);
    }
}

TEST(EncodedStrings, FromEncodedStringStoresUTF8AndSettersDecideValidity) {
    struct Case {
        const char *text, *written;
        const char* flags;
    };
    const Case cases[] = {
        // Raw bytes of the encoding in every component (escapes of them are NormalizeEncoding's).
        {"http://\xE9:p\xE9@h\xE9:8/\xE9?q=\xE9 #\xE9",
         "http://\xC3\xA9:p\xC3\xA9@h\xC3\xA9:8/\xC3\xA9?q=\xC3\xA9%20#\xC3\xA9", kAbsolute},
        {"mailto:a%E9 b", "mailto:a\xC3\xA9%20b", kOpaque},
        {"http://", "http:", "hierarchical"},  // parsed, but no host and no path
        {"h2://x", "unknown:", kDefaultState},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        URI u;
        EXPECT_TRUE(u.FromEncodedString(c.text, "iso-8859-1"));
        EXPECT_EQ(u.ToString(false).str(), c.written);
        EXPECT_EQ(FlagsOf(u), c.flags);
    }
    // ToEncodedString converts ToStringUTF8 (the virtual-dispatch test's); both refuse an
    // unknown encoding.
    EXPECT_THROW(URI("http://h/").ToEncodedString("no such encoding"), Varn::UnknownEncoding);
    EXPECT_THROW(URI().FromEncodedString("http://h/", "no such encoding"), Varn::UnknownEncoding);
}

}  // namespace
}  // namespace tessera_test
