// Relations, relative forms and common parents: the rules, one example each (the
// step-by-step reference test compares all three with their literal steps on many more
// inputs), and the by-string forms and CompareAuthority, which that test leaves out.
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
        {"http://h/a//b", "http://h/a/b/c", true, kParent},
        // Default ports count for http, ftp and sftp only, and only as written.
        {"http://h:80/x", "http://h/x", true, kSame},
        {"http://h:080/x", "http://h/x", true, kNone},
        {"https://h:443/x", "https://h/x", true, kNone},
        {"http://h/A", "http://h/a", true, kNone},
        {"http://h/A/b", "http://h/a", false, kChild},
        {"http://h/%41", "http://h/A", true, kSame},
        // Query, fragment and user information do not count; relative references never relate.
        {"http://h/a?x=1#f", "http://h/a?y=2", true, kSame},
        {"http://u:p@h/a", "http://h/a", true, kSame},
        {"http://g/a", "http://h/a", true, kNone},
        {"a/b", "a/b", true, kNone},
        {"urn:x:1", "urn:x:1", true, kSame},
        {"c:/dir", "x\\y", true, kSame},  // both in the default state
        // IPv6 hosts compare in their full forms when both expand.
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

TEST(MakeRelativeURI, PathsOnTheSameHostAndRefusals) {
    struct Case {
        const char *target, *base;
        bool caseSensitive;
        const char* result;
    };  // null: refused
    const Case cases[] = {
        {"http://h/a/b/c.html", "http://h/a/d/e.html", true, "../b/c.html"},
        {"http://h/a/b/", "http://h/a/b/x.html", true, "./"},
        {"http://h/a", "http://h/a/b/", true, ".."},
        {"http://h/A/b", "http://h/a/", false, "b"},
        {"http://h:8080/a/b?x#y", "http://u@h/a/?z#w", true, "b?x#y"},
        {"http://[::1]/a/b", "http://[0:0:0:0:0:0:0:1]/a/", true, "b"},
        {"x/y", "http://h/", true, "x/y"},
        // The base's directory has its dots worked out (a last ".." is its file name).
        {"http://h/a/c/e", "http://h/a/./b/../c/d", true, "e"},
        {"http://h/a/c", "http://h/a/b/..", true, "../c"},
        {"http://h/a/b?q", "ftp://h/a/", true, nullptr},
        {"http://h/a/b?q", "http://g/a/", true, nullptr},
        {"http://h/a/b?q", "a/b/", true, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.target) + " from " + c.base);
        URI uri(c.target);
        EXPECT_EQ(uri.MakeRelativeURI(URI(c.base), c.caseSensitive), c.result != nullptr);
        EXPECT_EQ(uri.ToString(false).str(), c.result ? c.result : URI(c.target).ToString(false).str());
    }
}

TEST(GetCommonParent, NearestSharedDirectory) {
    struct Case {
        const char *a, *b;
        bool caseSensitive;
        const char* parent;
    };
    const Case cases[] = {
        {"http://h/a/b/c.html", "http://h/a/d/e.html", true, "http://h/a/"},
        {"http://h/a/b?q#f", "http://h/a/b?q#f", true, "http://h/a/"},
        {"http://h/a/b/", "http://h/a/b/c", true, "http://h/a/b/"},
        {"http://h/a/b", "ftp://g/x", true, "http://h/"},
        {"http://h/A/b", "http://h/a/c", false, "http://h/A/"},
        {"http://h/a/", "a/b", true, "unknown:"},
        {"mailto:x", "mailto:x", true, "mailto:"},
        // The default state turns relative under "." and would grow "../../.." forever.
        {"c:/dir", "c:/dir", true, "unknown:"},
        {"c:/dir", "http://h/a/", true, "unknown:"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.a) + " & " + c.b);
        const URI parent = URI(c.a).GetCommonParent(URI(c.b), c.caseSensitive);
        EXPECT_EQ(parent.ToString(false).str(), c.parent);
        EXPECT_FALSE(parent.IsRelative());
        EXPECT_EQ(URI::GetCommonParentByString(c.a, c.b, c.caseSensitive).ToString(false).str(), c.parent);
    }
}

}  // namespace
