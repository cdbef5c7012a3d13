// GetRelation's rules (kinds, schemes, hosts, default ports, IPv6 forms, paths),
// GetRelationByString and CompareAuthority.
#include <string>

#include <gtest/gtest.h>
#include <tessera/URI.h>

namespace {

using Varn::URI;
constexpr URI::RELATION kNone = URI::RELATION_NONE, kChild = URI::RELATION_CHILD, kSame = URI::RELATION_SAME,
                        kParent = URI::RELATION_PARENT;

TEST(GetRelation, Rules) {
    struct Case {
        const char *a, *b;
        bool caseSensitive;
        URI::RELATION relation;
    };
    const Case cases[] = {
        {"http://h/a/b", "http://h/a", true, kChild},
        {"http://h/a", "http://h/a/b", true, kParent},
        {"http://h/ab", "http://h/a", true, kNone},
        {"http://h/a/b/", "http://h/a/b", true, kSame},
        {"http://h/", "http://h", true, kSame},
        {"http://h", "http://h/x", true, kParent},
        {"http://h/a//b", "http://h/a/b/c", true, kParent},
        {"http://h/x/c", "http://h/a/b/c", true, kNone},
        {"http://h:80/x", "http://h/x", true, kSame},
        {"http://h:8080/x", "http://h/x", true, kNone},
        {"http://h:080/x", "http://h/x", true, kNone},
        {"https://h:443/x", "https://h/x", true, kNone},
        {"ftp://h:21/x", "ftp://h/x", true, kSame},
        {"file:///x", "file:///x/y", true, kParent},
        {"HTTP://H/x", "http://h/x", true, kSame},
        {"http://h/A", "http://h/a", true, kNone},
        {"http://h/A/b", "http://h/a", false, kChild},
        {"http://h/%41", "http://h/A", true, kSame},
        {"http://h/a?x=1#f", "http://h/a?y=2", true, kSame},
        {"http://u:p@h/a", "http://h/a", true, kSame},
        {"http://h/a", "ftp://h/a", true, kNone},
        {"http://g/a", "http://h/a", true, kNone},
        {"a/b", "a/b", true, kNone},
        {"/a", "http://h/a", true, kNone},
        {"urn:x:1", "urn:x:1", true, kSame},
        {"urn:x:1", "urn:x:2", true, kNone},
        {"h2://x", "h2://y", true, kSame},
        {"c:/dir", "x\\y", true, kSame},  // both in the default state
        // IPv6 hosts compare in their full forms when both expand.
        {"http://[::1]/a", "http://[0:0:0:0:0:0:0:1]/a/b", true, kParent},
        {"http://[FE80::1]/", "http://[fe80:0:0:0:0:0:0:1]/", true, kSame},
        {"http://[::1]/", "http://[1::2::3]/", true, kNone},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.a) + " ~ " + c.b);
        EXPECT_EQ(URI(c.a).GetRelation(URI(c.b), c.caseSensitive), c.relation);
        if (c.caseSensitive) {
            EXPECT_EQ(URI::GetRelationByString(c.a, c.b), c.relation);  // always case-sensitive
        }
    }
}

TEST(GetRelation, HostsSetAsIPv6TextAreExpandedToo) {
    URI a("http://h/a"), b("http://h/a/b");
    a.SetAuthority("::1");
    b.SetAuthority("0::0:1");
    EXPECT_EQ(a.GetRelation(b, true), kParent);
    b.SetAuthority("0::0:2");
    EXPECT_EQ(a.GetRelation(b, true), kNone);
}

TEST(CompareAuthority, ComparesOnlyTheHostsAsWritten) {
    const struct {
        const char *a, *b;
        bool same;
    } cases[] = {
        {"http://h:80/x", "ftp://u@H:21/y", true},
        {"http://[::1]/", "http://[0:0:0:0:0:0:0:1]/", false},
        {"a/b", "../c", true},
        {"http://g/", "http://h/", false},
    };
    for (const auto& c : cases) EXPECT_EQ(URI::CompareAuthority(c.a, c.b), c.same) << c.a << " ~ " << c.b;
}

}  // namespace
