// Relations: the rules with one example each, as anchors for the step-by-step reference
// test (which compares the fast routes with the literal steps on many more inputs), and
// CompareAuthority, which compares hosts as written.
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
        // Default ports count for http, ftp and sftp only, and only as written.
        {"http://h:80/x", "http://h/x", true, kSame},
        {"http://h:080/x", "http://h/x", true, kNone},
        {"https://h:443/x", "https://h/x", true, kNone},
        {"http://h/A/b", "http://h/a", false, kChild},
        {"http://h/%41", "http://h/A", true, kSame},
        // Query, fragment and user information do not count; relative references never relate.
        {"http://u:p@h/a?x=1#f", "http://h/a?y=2", true, kSame},
        {"a/b", "a/b", true, kNone},
        {"c:/dir", "x\\y", true, kSame},  // both in the default state
        // IPv6 hosts compare in their full forms when both expand.
        {"http://[FE80::1]/", "http://[fe80:0:0:0:0:0:0:1]/", true, kSame},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.a) + " ~ " + c.b);
        EXPECT_EQ(URI(c.a).GetRelation(URI(c.b), c.caseSensitive), c.relation);
        if (c.caseSensitive) {
            EXPECT_EQ(URI::GetRelationByString(c.a, c.b), c.relation);  // always case-sensitive
        }
    }
}

TEST(CompareAuthority, ComparesOnlyTheHostsAsWritten) {
    const struct {
        const char *a, *b;
        bool same;
    } cases[] = {
        {"http://h:80/x", "ftp://u@H:21/y", true},
        {"http://[::1]/", "http://[0:0:0:0:0:0:0:1]/", false},
        {"http://g/", "http://h/", false},
    };
    for (const auto& c : cases) EXPECT_EQ(URI::CompareAuthority(c.a, c.b), c.same) << c.a << " ~ " << c.b;
}

}  // namespace
