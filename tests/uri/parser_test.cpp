// Parsing: the order of the searches, what each component receives, the validity rules.
#include <array>
#include <string>

#include <gtest/gtest.h>

#include "uri_test_support.h"

namespace tessera_test {
namespace {

using Varn::URI;

/// The components as the getters return them (unescaped, the query too): scheme, user,
/// password, host, port, path, query, fragment, opaque part.
using Components = std::array<std::string, 9>;

/// What a failed parse leaves: the default state, "unknown:".
const Components kUnknown{"unknown", "", "", "", "", "", "", "", ""};

Components Read(const URI& u) {
    return {u.GetScheme(), u.GetUsername(),  u.GetPassword(), u.GetAuthority(),      u.GetServerPort(),
            u.GetPath(),   u.GetQuery(true), u.GetFragment(), u.GetNonHierarchical()};
}

TEST(Parser, ComponentsOfValidTexts) {
    struct Case {
        const char* text;
        Components parsed;
        const char* flags;
    };
    const Case cases[] = {
        {"HTTP://Me@HOST:8080/a/B?x=1#top", {"http", "Me", "", "host", "8080", "/a/B", "x=1", "top", ""}, kAbsolute},
        {"ftp://Me:Se:cret@h/", {"ftp", "Me", "Se:cret", "h", "", "/", "", "", ""}, kAbsolute},
        {"http://@h", {"http", "", "", "h", "", "", "", "", ""}, kAbsolute},
        {"http://a@b@c/", {"http", "a", "", "b@c", "", "/", "", "", ""}, kAbsolute},
        // Getters unescape; the host is lower-cased as stored, before unescaping.
        {"http://u%20r:p%40s@H%41:%38/a%20b?x=%41&y=1+2#%7E",
         {"http", "u r", "p@s", "hA", "8", "/a b", "x=A&y=1+2", "~", ""},
         kAbsolute},
        {"http://a b/c d", {"http", "", "", "a b", "", "/c d", "", "", ""}, kAbsolute},
        // IPv6 literals: two colons make one, with or without brackets.
        {"http://[FE80::1]:8080/x", {"http", "", "", "fe80::1", "8080", "/x", "", "", ""}, kAbsolute},
        {"http://::1/", {"http", "", "", "::1", "", "/", "", "", ""}, kAbsolute},
        {"http://h:80:90/", {"http", "", "", "h:80:90", "", "/", "", "", ""}, kAbsolute},
        {"http://[a:b]:1:2/", {"http", "", "", "[a:b]", "1:2", "/", "", "", ""}, kAbsolute},
        {"http://[a%3Ab]/", {"http", "", "", "[a:b]", "", "/", "", "", ""}, kAbsolute},  // one ':' as stored
        {"http://[v:1]x:5/", {"http", "", "", "[v:1]x:5", "", "/", "", "", ""}, kAbsolute},
        {"http://h:/", {"http", "", "", "h", "", "/", "", "", ""}, kAbsolute},
        {"http://", {"http", "", "", "", "", "", "", "", ""}, kAbsolute},
        // Drive marks after a "file" authority, and the slashes around a file server.
        {"file:///C:/dir/f.txt", {"file", "", "", "", "", "/C|/dir/f.txt", "", "", ""}, kAbsolute},
        {"FILE:///c:", {"file", "", "", "", "", "/c|", "", "", ""}, kAbsolute},
        {"file:///1:/x", {"file", "", "", "", "", "/1:/x", "", "", ""}, kAbsolute},
        {"http:///C:/x", {"http", "", "", "", "", "/C:/x", "", "", ""}, kAbsolute},
        {"file:////server/share", {"file", "", "", "server", "", "/share", "", "", ""}, kAbsolute},
        {"file://///server", {"file", "", "", "server", "", "", "", "", ""}, kAbsolute},
        // Without "//" after the scheme the rest is opaque.
        {"urn:isbn:123", {"urn", "", "", "", "", "", "", "", "isbn:123"}, kOpaque},
        {"http:/a", {"http", "", "", "", "", "", "", "", "/a"}, kOpaque},
        {"mailto:user?subject=x#f", {"mailto", "", "", "", "", "", "subject=x", "f", "user"}, kOpaque},
        {"mailto:a%20b", {"mailto", "", "", "", "", "", "", "", "a b"}, kOpaque},
        {"host:8080/x", {"host", "", "", "", "", "", "", "", "8080/x"}, kOpaque},
        // References: the first '?' and the last '#' split; a ':' after a '/' is no scheme.
        {"/a/b?q#f", {"", "", "", "", "", "/a/b", "q", "f", ""}, kReference},
        {"//server/share", {"", "", "", "", "", "//server/share", "", "", ""}, kReference},
        {"a/b:c", {"", "", "", "", "", "a/b:c", "", "", ""}, kReference},
        {"", {"", "", "", "", "", "", "", "", ""}, kReference},
        {"a#b#c", {"", "", "", "", "", "a#b", "", "c", ""}, kReference},
        {"a?b?c#d?e", {"", "", "", "", "", "a", "b?c", "d?e", ""}, kReference},
        {"x?#", {"", "", "", "", "", "x", "", "", ""}, kReference},
        {"?x:y", {"", "", "", "", "", "", "x:y", "", ""}, kReference},
        // A backslash is examined in the path only.
        {"http://a\\b/?a\\b#c\\d", {"http", "", "", "a\\b", "", "/", "a\\b", "c\\d", ""}, kAbsolute},
        {"ab://\\/?\\", {"ab", "", "", "\\", "", "/", "\\", "", ""}, kAbsolute},  // short texts too
        {"g?x\\y#\\", {"", "", "", "", "", "g", "x\\y", "\\", ""}, kReference},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const URI u(c.text);
        EXPECT_EQ(Read(u), c.parsed);
        EXPECT_EQ(FlagsOf(u), c.flags);
    }
}

TEST(Parser, InvalidTextsLeaveTheDefaultStateThatAURIStartsIn) {
    for (const char* text : {"c:/dir", "c:\\dir", "a:b", "svn+ssh://h/", "h2://x", "x-y:z", "a.b:c", "unknown://h/",
                             "UNKNOWN:x", "http://h/a\\b", "mailto:a\\b", ":x", "://h/", "\\a"}) {
        const URI u(text);
        EXPECT_EQ(Read(u), kUnknown) << text;
        EXPECT_EQ(FlagsOf(u), kDefaultState) << text;
    }
    const URI u;
    EXPECT_EQ(Read(u), kUnknown);
    EXPECT_EQ(FlagsOf(u), kDefaultState);
    // The default state is absolute, of type "unknown"; types compare in any case.
    EXPECT_TRUE(u.IsAbsolute() && u.IsOfType("Unknown") && !u.IsOfType("file") && URI("file:///x").IsOfType("FILE"));
}

TEST(Parser, ParsingAgainReplacesEverything) {
    OpenURI u("http://user:pw@host:81/p?q#f");
    EXPECT_FALSE(u.ParseURI("h2://x"));
    EXPECT_EQ(u.ToString(false), "unknown:");
    EXPECT_EQ(FlagsOf(u), kDefaultState);
    u = static_cast<const char*>(nullptr);  // the empty text
    EXPECT_EQ(Read(u), Components{});
    EXPECT_EQ(FlagsOf(u), kReference);
}

}  // namespace
}  // namespace tessera_test
