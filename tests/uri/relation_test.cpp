// Relations: the rules with one example each, as anchors for the step-by-step reference
// test (which compares the fast routes with the literal steps on many more inputs);
// CompareAuthority, which compares hosts as written; and the resolver hook, how often and
// where the relations consult it.
#include <string>

#include <gtest/gtest.h>
#include <tessera/URI.h>

namespace {

using Varn::URI;
constexpr URI::RELATION kNone = URI::RELATION_NONE, kChild = URI::RELATION_CHILD, kSame = URI::RELATION_SAME,
                        kParent = URI::RELATION_PARENT;

TEST(GetRelation, RulesAndCompareAuthority) {
    struct Case {
        const char *a, *b;
        bool caseSensitive;
        URI::RELATION relation;
        bool sameAuthority;
    };
    const Case cases[] = {
        {"http://h/a/b", "http://h/a", true, kChild, true},
        {"http://h/a", "http://h/a/b", true, kParent, true},
        {"http://h/ab", "http://h/a", true, kNone, true},
        {"http://h/a/b/", "http://h/a/b", true, kSame, true},
        // Default ports count for http, ftp and sftp only, and only as written.
        {"http://h:80/x", "http://h/x", true, kSame, true},
        {"http://h:080/x", "http://h/x", true, kNone, true},
        {"https://h:443/x", "https://h/x", true, kNone, true},
        {"http://h/A/b", "http://h/a", false, kChild, true},
        {"http://h/%41", "http://h/A", true, kSame, true},
        // Query, fragment and user information do not count; relative references never relate.
        {"http://u:p@h/a?x=1#f", "http://h/a?y=2", true, kSame, true},
        {"a/b", "a/b", true, kNone, true},
        {"c:/dir", "x\\y", true, kSame, true},  // both in the default state
        // IPv6 hosts relate in their full forms when both expand (CompareAuthority: as written).
        {"http://[FE80::1]/", "http://[fe80:0:0:0:0:0:0:1]/", true, kSame, false},
        // CompareAuthority compares only the hosts: not ports, schemes, user names or case.
        {"http://h:80/x", "ftp://u@H:21/y", true, kNone, true},
        {"http://g/", "http://h/", true, kNone, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.a) + " ~ " + c.b);
        EXPECT_EQ(URI(c.a).GetRelation(URI(c.b), c.caseSensitive), c.relation);
        if (c.caseSensitive) {
            EXPECT_EQ(URI::GetRelationByString(c.a, c.b), c.relation);  // always case-sensitive
        }
        EXPECT_EQ(URI::CompareAuthority(c.a, c.b), c.sameAuthority);
    }
}

// Counts its calls; maps every URI to itself, or to one fixed URI when given.
class CountingResolver : public Varn::URIResolver {
public:
    explicit CountingResolver(const char* fixed = nullptr) : m_fixed(fixed) {}
    URI ResolveURI(const URI& uri) override {
        ++calls;
        return m_fixed ? URI(m_fixed) : uri;
    }
    int calls = 0;

private:
    const char* m_fixed;
};

class ResolverTest : public ::testing::Test {
protected:
    void TearDown() override { URI::SetResolver(nullptr); }
};

TEST_F(ResolverTest, CallsPerOperationAndResolvedURIsCompared) {
    CountingResolver counter, other;
    EXPECT_EQ(URI::Resolve(URI("http://h/a?q#f")), URI("http://h/a?q#f"));  // none installed: a copy
    ASSERT_EQ(URI::SetResolver(&other), nullptr);
    EXPECT_EQ(URI::SetResolver(&counter), &other);
    const URI a("http://h/a/b/c"), b("http://h/a/d");
    const auto callsOf = [&counter](auto operation) {
        counter.calls = 0;
        operation();
        return counter.calls;
    };
    EXPECT_EQ(callsOf([&] { a.GetRelation(b, true); }), 2);
    EXPECT_EQ(callsOf([&] { URI::GetRelationByString("http://h/a", "http://h/b"); }), 4);
    EXPECT_EQ(callsOf([&] { URI::CompareAuthority("http://h/a", "http://g/b"); }), 2);
    // Two to start, then two per pass: /a/b/ against /a/, then /a/ (the parent).
    EXPECT_EQ(callsOf([&] { a.GetCommonParent(b, true); }), 2 + 2 * 2);
    EXPECT_EQ(callsOf([&] { URI::GetCommonParentByString("http://h/a/b/c", "http://h/a/d", true); }), 1 + 2 + 2 * 2);
    EXPECT_EQ(callsOf([&] { URI("x").MakeAbsoluteURI(a); }), 0);
    EXPECT_EQ(callsOf([&] { URI(a).MakeRelativeURI(b, true); }), 0);
    // The comparisons use the URIs that the resolver gives.
    CountingResolver fixed("http://alias/x");
    URI::SetResolver(&fixed);
    EXPECT_EQ(URI("a/b").GetRelation(URI("ftp://g/"), true), URI::RELATION_SAME);
    EXPECT_TRUE(URI::CompareAuthority("http://g/", "http://h/"));
    EXPECT_EQ(URI("a").GetCommonParent(URI("b"), true).ToString(false), "http://alias/");
}

}  // namespace
