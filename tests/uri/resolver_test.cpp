// The resolver hook: how often and where it is consulted.
#include <gtest/gtest.h>
#include <tessera/URI.h>

namespace {

using Varn::URI;

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

TEST_F(ResolverTest, CallCountsPerOperation) {
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
}

TEST_F(ResolverTest, ComparisonsUseTheResolvedURIs) {
    CountingResolver fixed("http://alias/x");
    URI::SetResolver(&fixed);
    EXPECT_EQ(URI("a/b").GetRelation(URI("ftp://g/"), true), URI::RELATION_SAME);
    EXPECT_TRUE(URI::CompareAuthority("http://g/", "http://h/"));
    EXPECT_EQ(URI("a").GetCommonParent(URI("b"), true).ToString(false), "http://alias/");
}

}  // namespace
