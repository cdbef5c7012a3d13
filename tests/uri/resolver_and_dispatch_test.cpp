// The resolver hook (how often and where it is consulted) and the virtual operations
// through which the path and relation operations reach a derived class.
#include <string>
#include <vector>

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

// Installs a resolver for one test and removes it afterwards.
class ResolverTest : public ::testing::Test {
protected:
    void Install(Varn::URIResolver& resolver) { ASSERT_EQ(URI::SetResolver(&resolver), nullptr); }
    void TearDown() override { URI::SetResolver(nullptr); }
};

TEST_F(ResolverTest, SetResolverReturnsThePreviousOneAndResolveCopiesWithoutOne) {
    CountingResolver first, second;
    const URI uri("http://h/a?q#f");
    EXPECT_EQ(URI::Resolve(uri), uri);
    Install(first);
    EXPECT_EQ(URI::SetResolver(&second), &first);
    EXPECT_EQ(URI::SetResolver(nullptr), &second);
}

TEST_F(ResolverTest, CallCountsPerOperation) {
    CountingResolver counter;
    Install(counter);
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
    Install(fixed);
    EXPECT_EQ(URI("a/b").GetRelation(URI("ftp://g/"), true), URI::RELATION_SAME);
    EXPECT_TRUE(URI::CompareAuthority("http://g/", "http://h/"));
    EXPECT_EQ(URI("a").GetCommonParent(URI("b"), true).ToString(false), "http://alias/");
    URI reference("../y");
    EXPECT_TRUE(reference.MakeAbsoluteURI(URI("http://h/a/b/")));
    EXPECT_EQ(reference.ToString(false), "http://h/a/y");
}

// Overrides the virtual operations that the path and relation operations consult.
class Instrumented : public URI {
public:
    using URI::URI;
    bool IsRelative() const override { return relative < 0 ? URI::IsRelative() : relative != 0; }
    bool IsAbsolute() const override { return !IsRelative(); }
    bool IsDirectory() const override { return directory || URI::IsDirectory(); }
    bool IsOfType(StringProxy name) const override { return anyType || URI::IsOfType(name); }
    StringProxy ToString(bool unescaped) const override {
        if (text.empty()) return URI::ToString(unescaped);
        return text;
    }
    bool ChDir(StringProxy reference, bool escape) override {
        moves.push_back(reference);
        return URI::ChDir(reference, escape);
    }
    int relative = -1;
    bool directory = false, anyType = false;
    std::string text;
    std::vector<std::string> moves;
};

TEST(VirtualDispatch, MakeAbsoluteURIAsksTheReferenceAndTheBase) {
    Instrumented reference("a");
    reference.text = "b/c";  // the reference is what ToString writes
    EXPECT_TRUE(reference.MakeAbsoluteURI(URI("http://h/d/e")));
    EXPECT_EQ(reference.URI::ToString(false), "http://h/d/b/c");

    Instrumented relativeBase("http://h/");
    relativeBase.relative = 1;
    URI plain("x");
    EXPECT_FALSE(plain.MakeAbsoluteURI(relativeBase));
    Instrumented absoluteReference("x");
    absoluteReference.relative = 0;
    EXPECT_FALSE(absoluteReference.MakeAbsoluteURI(URI("http://h/")));
}

TEST(VirtualDispatch, MakeRelativeURIAsksIsRelativeAndIsOfType) {
    Instrumented target("http://h/a/b");
    target.anyType = true;  // scheme test passes whatever the base's scheme
    EXPECT_TRUE(target.MakeRelativeURI(URI("ftp://h/a/"), true));
    EXPECT_EQ(target.URI::ToString(false), "b");
    Instrumented relative("http://h/a/b");
    relative.relative = 1;
    EXPECT_TRUE(relative.MakeRelativeURI(URI("http://h/"), true));
    EXPECT_EQ(relative.URI::ToString(false), "http://h/a/b");  // taken as relative: unchanged
}

TEST(VirtualDispatch, FileNamesAndDirectoryMovesGoThroughTheVirtualTable) {
    Instrumented uri("http://h/a/b.txt");
    uri.directory = true;
    EXPECT_EQ(uri.GetFilename(false), "");
    uri.RemoveLastPathComponent();  // a directory moves to its parent
    EXPECT_EQ(uri.moves, std::vector<std::string>{".."});
    EXPECT_EQ(uri.URI::ToString(false), "http://h/");

    Instrumented root("http://h/");
    root.relative = 1;  // a ".." at the front now stays, as for a relative base
    root.ChDir("..", false);
    EXPECT_EQ(root.URI::ToString(false), "http://h/../");
}

}  // namespace
