// Parsing: the order of the searches, what each component receives, the validity rules.
#include <random>
#include <string>

#include <gtest/gtest.h>

#include "uri_test_support.h"

namespace {

using tessera_test::OpenURI;
using Varn::URI;

// "scheme|user|password|host|port|path|query|fragment|non-hierarchical" read through
// the getters (an IPv6 host with its brackets), then " R" for a relative and " N" for a
// non-hierarchical URI.
std::string Describe(const URI& u) {
    std::string host = u.GetAuthority();
    if (URI::IsIPv6(host) && host[0] != '[') host = "[" + host + "]";
    return u.GetScheme().str() + "|" + u.GetUsername().str() + "|" + u.GetPassword().str() + "|" + host + "|" +
           u.GetServerPort().str() + "|" + u.GetPath().str() + "|" + u.GetQuery(false).str() + "|" +
           u.GetFragment().str() + "|" + u.GetNonHierarchical().str() + (u.IsRelative() ? " R" : "") +
           (u.IsHierarchical() ? "" : " N");
}

TEST(Parser, ComponentsOfValidTexts) {
    const struct {
        const char *text, *parsed;
    } cases[] = {
        {"HTTP://User@HOST:8080/a/B?x=1#top", "http|User||host|8080|/a/B|x=1|top|"},
        {"ftp://Me:Se:cret@h/", "ftp|Me|Se:cret|h||/|||"},
        {"http://@h", "http|||h|||||"},
        {"http://a@b@c/", "http|a||b@c||/|||"},
        {"http://[FE80::1]:8080/x", "http|||[fe80::1]|8080|/x|||"},
        {"http://[::1]/", "http|||[::1]||/|||"},
        {"http://::1/", "http|||[::1]||/|||"},
        {"http://h:80:90/", "http|||[h:80:90]||/|||"},
        {"http://[a:b]:1:2/", "http|||[a:b]|1:2|/|||"},
        {"http://[v:1]x:5/", "http|||[v:1]x:5||/|||"},
        {"http://h:/", "http|||h||/|||"},
        {"file:///C:/dir/f.txt", "file|||||/C|/dir/f.txt|||"},
        {"FILE:///c:", "file|||||/c||||"},
        {"file:///1:/x", "file|||||/1:/x|||"},
        {"http:///C:/x", "http|||||/C:/x|||"},
        {"file:////server/share", "file|||server||/share|||"},
        {"file://///server", "file|||server|||||"},
        {"urn:isbn:123", "urn||||||||isbn:123 N"},
        {"http:/a", "http||||||||/a N"},
        {"mailto:user?subject=x#f", "mailto||||||subject=x|f|user N"},
        {"host:8080/x", "host||||||||8080/x N"},
        {"/a/b?q#f", "|||||/a/b|q|f| R"},
        {"//server/share", "|||||//server/share||| R"},
        {"a/b:c", "|||||a/b:c||| R"},
        {"", "|||||||| R"},
        {"a#b#c", "|||||a#b||c| R"},
        {"a?b?c#d?e", "|||||a|b?c|d?e| R"},
        {"x?#", "|||||x||| R"},
        {"?x:y", "||||||x:y|| R"},
        {"http://h/a?b:c", "http|||h||/a|b:c||"},
        {"http://", "http||||||||"},
        {"http://a b/c d", "http|||a b||/c d|||"},
    };
    for (const auto& c : cases) {
        const URI u(c.text);
        EXPECT_TRUE(u.IsValidURI()) << c.text;
        EXPECT_EQ(Describe(u), c.parsed) << c.text;
    }
    // Nothing is escaped or unescaped; only scheme and host are lower-cased.
    EXPECT_EQ(URI("HTTP://U%41:P%41@H%4F ST:8%30/A b%41?Q %41#F %41").ToString(false),
              "http://U%41:P%41@h%4f st:8%30/A b%41?Q %41#F %41");
}

TEST(Parser, InvalidTextsLeaveTheDefaultState) {
    for (const char* text : {"c:/dir", "c:\\dir", "a:b", "svn+ssh://h/", "h2://x", "x-y:z", "a.b:c", "unknown://h/",
                             "UNKNOWN:x", "http://h/a\\b", "mailto:a\\b", ":x", "://h/", "\\a"}) {
        const URI u(text);
        EXPECT_FALSE(u.IsValidURI()) << text;
        EXPECT_EQ(Describe(u), "unknown|||||||| N") << text;
    }
    // A backslash in the host, query or fragment is not examined.
    EXPECT_TRUE(URI("http://a\\b/?a\\b#c\\d").IsValidURI());

    OpenURI u("http://user:pw@host:81/p?q#f");
    EXPECT_FALSE(u.ParseURI("h2://x"));  // re-parsing replaces everything
    EXPECT_EQ(u.ToString(false), "unknown:");
    u = static_cast<const char*>(nullptr);  // the empty text
    EXPECT_EQ(Describe(u), "|||||||| R");
}

// Texts of separators and a few letters: the flags agree with the components, and a
// failed parse leaves the default state.
TEST(Parser, InvariantsHoldForGeneratedTexts) {
    const std::string alphabet = ":/?#@[]%\\.aAbZ1 |";
    std::mt19937 random(20261205);
    for (int round = 0; round < 20000; ++round) {
        std::string text(random() % 14, ' ');
        for (char& c : text) c = alphabet[random() % alphabet.size()];
        const URI u(text);
        const std::string parsed = Describe(u);
        const bool consistent = u.IsValidURI()
                                    ? (!u.IsRelative() || parsed.compare(0, 4, "||||") == 0) &&
                                          (u.IsHierarchical() ? u.GetNonHierarchical().empty()
                                                              : u.GetAuthority().empty() && u.GetPath().empty())
                                    : parsed == "unknown|||||||| N";
        ASSERT_TRUE(consistent) << text << " -> " << parsed;
    }
}

TEST(Parser, IsIPv6CountsColonsOnly) {
    for (const char* yes : {"::", "a:b:c", "[::1]"}) EXPECT_TRUE(URI::IsIPv6(yes)) << yes;
    for (const char* no : {"h:80", ":", ""}) EXPECT_FALSE(URI::IsIPv6(no)) << no;
}

}  // namespace
