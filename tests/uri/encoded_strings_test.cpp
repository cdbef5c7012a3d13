// A URI read from and written into text of a named character set.
#include <string>

#include <gtest/gtest.h>
#include <tessera/Transcoder.h>

#include "uri_test_support.h"

namespace {

using Varn::URI;
using tessera_test::OpenURI;

TEST(NormalizeEncoding, EscapesAreBytesOfTheEncoding) {
    OpenURI u;
    std::string text = "caf%E9";
    EXPECT_TRUE(u.NormalizeEncoding(text, "iso-8859-1"));
    EXPECT_EQ(text, "caf\xC3\xA9");

    // Unescaped runs are UTF-8 and survive; ASCII escapes are decoded too; a broken
    // escape stays as its three bytes; a '%' near the end stays.
    text = "\xC3\xA9%2F%zz%E9%4";
    EXPECT_TRUE(u.NormalizeEncoding(text, "Windows-1252"));
    EXPECT_EQ(text, "\xC3\xA9/%zz\xC3\xA9%4");

    text = "";
    EXPECT_TRUE(u.NormalizeEncoding(text, "no such encoding"));  // returns before converting
    EXPECT_EQ(text, "");
}

TEST(EncodedStrings, FromEncodedStringStoresUTF8) {
    URI u;
    EXPECT_TRUE(u.FromEncodedString("http://h/caf%E9", "iso-8859-1"));
    EXPECT_TRUE(u.IsValidURI());
    EXPECT_EQ(u.GetPath(), "/caf\xC3\xA9");
    EXPECT_EQ(u.ToStringUTF8Escaped(), "http://h/caf%C3%A9");

    // Raw bytes of the encoding in the text, in every component.
    EXPECT_TRUE(u.FromEncodedString("http://\xE9:p\xE9@h\xE9:8/\xE9?q=\xE9 #\xE9", "iso-8859-1"));
    EXPECT_EQ(u.ToString(false), "http://\xC3\xA9:p\xC3\xA9@h\xC3\xA9:8/\xC3\xA9?q=\xC3\xA9%20#\xC3\xA9");

    EXPECT_TRUE(u.FromEncodedString("mailto:a%E9 b", "iso-8859-1"));
    EXPECT_EQ(u.ToString(false), "mailto:a\xC3\xA9%20b");
    EXPECT_FALSE(u.IsHierarchical());
}

TEST(EncodedStrings, FromEncodedStringParsesButSettersDecideValidity) {
    URI u;
    EXPECT_TRUE(u.FromEncodedString("http://", "iso-8859-1"));
    EXPECT_FALSE(u.IsValidURI());
    EXPECT_TRUE(u.FromEncodedString("h2://x", "iso-8859-1"));
    EXPECT_FALSE(u.IsValidURI());
    EXPECT_EQ(u.ToString(false), "unknown:");
}

TEST(EncodedStrings, ToEncodedStringConvertsTheReadableForm) {
    const URI u("http://h/caf%C3%A9%20x");
    EXPECT_EQ(u.ToStringUTF8(), "http://h/caf\xC3\xA9%20x");
    URI copy(u);
    EXPECT_EQ(copy.ToEncodedString("iso-8859-1"), "http://h/caf\xE9%20x");
    EXPECT_EQ(copy.ToEncodedString("utf-8"), "http://h/caf\xC3\xA9%20x");
}

TEST(EncodedStrings, UnknownEncodingNamesThrow) {
    URI u("http://h/");
    EXPECT_THROW(u.ToEncodedString("no such encoding"), Varn::UnknownEncoding);
    EXPECT_THROW(u.FromEncodedString("http://h/", "no such encoding"), Varn::UnknownEncoding);
}

}  // namespace
