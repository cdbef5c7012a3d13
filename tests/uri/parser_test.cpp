// Parsing: the order of the searches, what each component receives, and the validity
// rules.
#include <random>
#include <string>

#include <gtest/gtest.h>

#include "uri_test_support.h"

namespace {

using Varn::URI;
using tessera_test::OpenURI;

struct ParseCase {
    const char* text;
    const char* scheme;
    const char* username;
    const char* password;
    const char* host;  // written-out host as stored (IPv6 keeps its brackets)
    const char* port;
    const char* path;
    const char* query;
    const char* fragment;
    const char* nonHierarchical;
    bool relative;
    bool hierarchical;
};

// The host as stored, brackets included: what ToString(false) writes for it.
std::string StoredHost(const URI& u) {
    const std::string host = u.GetAuthority();
    return URI::IsIPv6(host) ? "[" + host + "]" : host;
}

void ExpectParsed(const ParseCase& c) {
    SCOPED_TRACE(c.text);
    const URI u(c.text);
    ASSERT_TRUE(u.IsValidURI());
    EXPECT_EQ(u.GetScheme(), c.scheme);
    EXPECT_EQ(u.GetUsername(), c.username);
    EXPECT_EQ(u.GetPassword(), c.password);
    EXPECT_EQ(StoredHost(u), c.host);
    EXPECT_EQ(u.GetServerPort(), c.port);
    EXPECT_EQ(u.GetPath(), c.path);
    EXPECT_EQ(u.GetQuery(false), c.query);
    EXPECT_EQ(u.GetFragment(), c.fragment);
    EXPECT_EQ(u.GetNonHierarchical(), c.nonHierarchical);
    EXPECT_EQ(u.IsRelative(), c.relative);
    EXPECT_EQ(u.IsAbsolute(), !c.relative);
    EXPECT_EQ(u.IsHierarchical(), c.hierarchical);
}

TEST(Parser, ComponentsOfValidTexts) {
    const ParseCase cases[] = {
        // text                                 scheme   user    pass   host          port    path            query  frag  nonhier     rel    hier
        {"HTTP://User@HOST:8080/a/B?x=1#top",    "http",  "User", "",    "host",       "8080", "/a/B",         "x=1", "top", "",         false, true},
        {"ftp://Me:Se:cret@h/",                  "ftp",   "Me",   "Se:cret", "h",      "",     "/",            "",    "",    "",         false, true},
        {"http://@h",                            "http",  "",     "",    "h",          "",     "",             "",    "",    "",         false, true},
        {"http://a@b@c/",                        "http",  "a",    "",    "b@c",        "",     "/",            "",    "",    "",         false, true},
        {"http://[FE80::1]:8080/x",              "http",  "",     "",    "[fe80::1]",  "8080", "/x",           "",    "",    "",         false, true},
        {"http://[::1]/",                        "http",  "",     "",    "[::1]",      "",     "/",            "",    "",    "",         false, true},
        {"http://::1/",                          "http",  "",     "",    "[::1]",      "",     "/",            "",    "",    "",         false, true},
        {"http://h:80:90/",                      "http",  "",     "",    "[h:80:90]",  "",     "/",            "",    "",    "",         false, true},
        {"http://[a:b]:1:2/",                    "http",  "",     "",    "[a:b]",      "1:2",  "/",            "",    "",    "",         false, true},
        {"http://h:/",                           "http",  "",     "",    "h",          "",     "/",            "",    "",    "",         false, true},
        {"file:///C:/dir/f.txt",                 "file",  "",     "",    "",           "",     "/C|/dir/f.txt","",    "",    "",         false, true},
        {"FILE:///c:",                           "file",  "",     "",    "",           "",     "/c|",          "",    "",    "",         false, true},
        {"file:///1:/x",                         "file",  "",     "",    "",           "",     "/1:/x",        "",    "",    "",         false, true},
        {"http:///C:/x",                         "http",  "",     "",    "",           "",     "/C:/x",        "",    "",    "",         false, true},
        {"file:////server/share",                "file",  "",     "",    "server",     "",     "/share",       "",    "",    "",         false, true},
        {"file://///server",                     "file",  "",     "",    "server",     "",     "",             "",    "",    "",         false, true},
        {"urn:isbn:123",                         "urn",   "",     "",    "",           "",     "",             "",    "",    "isbn:123", false, false},
        {"http:/a",                              "http",  "",     "",    "",           "",     "",             "",    "",    "/a",       false, false},
        {"mailto:user?subject=x#f",              "mailto","",     "",    "",           "",     "",             "subject=x", "f", "user", false, false},
        {"host:8080/x",                          "host",  "",     "",    "",           "",     "",             "",    "",    "8080/x",   false, false},
        {"/a/b?q#f",                             "",      "",     "",    "",           "",     "/a/b",         "q",   "f",   "",         true,  true},
        {"//server/share",                       "",      "",     "",    "",           "",     "//server/share","",   "",    "",         true,  true},
        {"a/b:c",                                "",      "",     "",    "",           "",     "a/b:c",        "",    "",    "",         true,  true},
        {"",                                     "",      "",     "",    "",           "",     "",             "",    "",    "",         true,  true},
        {"a#b#c",                                "",      "",     "",    "",           "",     "a#b",          "",    "c",   "",         true,  true},
        {"a?b?c#d?e",                            "",      "",     "",    "",           "",     "a",            "b?c", "d?e", "",         true,  true},
        {"x?",                                   "",      "",     "",    "",           "",     "x",            "",    "",    "",         true,  true},
        {"x#",                                   "",      "",     "",    "",           "",     "x",            "",    "",    "",         true,  true},
        {"http://h/a?b:c",                       "http",  "",     "",    "h",          "",     "/a",           "b:c", "",    "",         false, true},
        {"?x:y",                                 "",      "",     "",    "",           "",     "",             "x:y", "",    "",         true,  true},
        {"http://",                              "http",  "",     "",    "",           "",     "",             "",    "",    "",         false, true},
        {"http://a b/c d",                       "http",  "",     "",    "a b",        "",     "/c d",         "",    "",    "",         false, true},
        {"http://h/a%20b",                       "http",  "",     "",    "h",          "",     "/a b",         "",    "",    "",         false, true},
    };
    for (const ParseCase& c : cases) ExpectParsed(c);
}

TEST(Parser, StoresTextAsWritten) {
    // Nothing is escaped or unescaped, only scheme and host are lower-cased.
    const URI u("HTTP://Us%41r:P%41ss@H%4F ST:8%30/A b%41?Q %41#F %41");
    EXPECT_EQ(u.ToString(false), "http://Us%41r:P%41ss@h%4f st:8%30/A b%41?Q %41#F %41");
    // A bracketed host without "]:" keeps everything, port included, as its host.
    EXPECT_EQ(URI("http://[v:1]x:5/").ToString(false), "http://[v:1]x:5/");
    EXPECT_EQ(URI("http://[v:1]x:5/").GetServerPort(), "");
}

TEST(Parser, InvalidTextsLeaveTheDefaultState) {
    const char* invalid[] = {
        "c:/dir", "c:\\dir", "a:b", "svn+ssh://h/", "h2://x", "x-y:z", "a.b:c", "unknown://h/",
        "UNKNOWN:x", "http://h/a\\b", "mailto:a\\b", ":x", "://h/", "\\a",
    };
    for (const char* text : invalid) {
        SCOPED_TRACE(text);
        const URI u(text);
        EXPECT_FALSE(u.IsValidURI());
        EXPECT_EQ(u.GetScheme(), "unknown");
        EXPECT_FALSE(u.IsRelative());
        EXPECT_FALSE(u.IsHierarchical());
        EXPECT_EQ(u, URI());
        EXPECT_EQ(u.ToString(false), "unknown:");
    }
    // A backslash in the host, query or fragment is not examined.
    EXPECT_TRUE(URI("http://a\\b/").IsValidURI());
    EXPECT_TRUE(URI("http://h/?a\\b#c\\d").IsValidURI());
}

TEST(Parser, ReassigningFromInvalidTextResets) {
    URI u("http://user:pw@host:81/p?q#f");
    ASSERT_TRUE(u.IsValidURI());
    u = "h2://x";
    EXPECT_FALSE(u.IsValidURI());
    EXPECT_EQ(u.ToString(false), "unknown:");
    u = std::string("/rel");
    EXPECT_TRUE(u.IsRelative());
    u = static_cast<const char*>(nullptr);
    EXPECT_TRUE(u.IsValidURI());
    EXPECT_EQ(u.ToString(false), "");
    EXPECT_TRUE(URI(static_cast<const char*>(nullptr)).IsRelative());
}

TEST(Parser, ParseReturnsValidityAndMayReadItsOwnComponents) {
    OpenURI u;
    EXPECT_TRUE(u.ParseURI("http://h/x"));
    EXPECT_FALSE(u.ParseURI("a:b"));
    EXPECT_FALSE(u.IsValidURI());
    // Re-parsing from a string that the object itself returned.
    u = "http://h/x";
    const std::string written = u.ToString(false);
    EXPECT_TRUE(u.ParseURI(written));
    EXPECT_EQ(u.ToString(false), "http://h/x");
}

TEST(Parser, ValidateRulesOnHandMadeStates) {
    OpenURI u("http://h/p");
    EXPECT_TRUE(u.ValidateURI());
    u.SetScheme("h");  // one letter
    EXPECT_FALSE(u.ValidateURI());
    u.SetScheme("unknown");
    EXPECT_FALSE(u.ValidateURI());
    u.SetScheme("ht-tp");
    EXPECT_FALSE(u.ValidateURI());
    // A relative URI skips the scheme rule; a hierarchical one needs no host or path.
    OpenURI r("");
    EXPECT_TRUE(r.ValidateURI());
    OpenURI n("mailto:x");
    n.SetNonHierarchical("a\\b");  // stored escaped, so no raw backslash
    EXPECT_TRUE(n.ValidateURI());
}

// Texts made of separators and a few letters: whatever the parser makes of them, the
// flags agree with the components, and a failed parse leaves the default state.
TEST(Parser, InvariantsHoldForGeneratedTexts) {
    const std::string alphabet = ":/?#@[]%\\.aAbZ1 |";
    std::mt19937 random(20261205);
    for (int round = 0; round < 20000; ++round) {
        std::string text(random() % 14, ' ');
        for (char& c : text) c = alphabet[random() % alphabet.size()];
        SCOPED_TRACE(text);
        const URI u(text);
        if (!u.IsValidURI()) {
            ASSERT_EQ(u.ToString(false), "unknown:");
            ASSERT_FALSE(u.IsHierarchical());
            continue;
        }
        if (u.IsRelative()) {
            ASSERT_TRUE(u.IsHierarchical());
            ASSERT_EQ(u.GetScheme(), "");
        }
        if (u.IsHierarchical()) {
            ASSERT_EQ(u.GetNonHierarchical(), "");
        } else {
            ASSERT_EQ(u.GetPath(), "");
            ASSERT_EQ(u.GetAuthority(), "");
        }
        ASSERT_EQ(URI::VerifyAlpha(u.GetScheme()), true);
        ASSERT_EQ(u.GetPath().str().find('\\'), std::string::npos);
        // The stored query is written out as it is.
        const std::string written = u.ToString(false);
        ASSERT_NE(written.find(u.GetQuery(false).str()), std::string::npos);
    }
}

TEST(Parser, IsIPv6CountsColonsOnly) {
    EXPECT_TRUE(URI::IsIPv6("::"));
    EXPECT_TRUE(URI::IsIPv6("a:b:c"));
    EXPECT_TRUE(URI::IsIPv6("[::1]"));
    EXPECT_FALSE(URI::IsIPv6("h:80"));
    EXPECT_FALSE(URI::IsIPv6(":"));
    EXPECT_FALSE(URI::IsIPv6(""));
}

}  // namespace
