// The URI object: default state, copying, flag queries and the hierarchical state.
#include <string>

#include <gtest/gtest.h>

#include "uri_test_support.h"

namespace {

using Varn::URI;
using tessera_test::OpenURI;

TEST(URIObject, DefaultState) {
    const URI u;
    EXPECT_FALSE(u.IsValidURI());
    EXPECT_TRUE(u.IsAbsolute());
    EXPECT_FALSE(u.IsRelative());
    EXPECT_FALSE(u.IsHierarchical());
    EXPECT_FALSE(u.IsDirectory());
    EXPECT_EQ(u.GetScheme(), "unknown");
    for (const URI::StringProxy& part : {u.GetAuthority(), u.GetServerPort(), u.GetPath(), u.GetQuery(false),
                                         u.GetFragment(), u.GetUsername(), u.GetPassword(), u.GetNonHierarchical()}) {
        EXPECT_EQ(part, "");
    }
}

TEST(URIObject, IsDirectoryLooksAtTheLastByteOfThePath) {
    EXPECT_TRUE(URI("http://h/").IsDirectory());
    EXPECT_TRUE(URI("/a/b/").IsDirectory());
    EXPECT_FALSE(URI("/a/b").IsDirectory());
    EXPECT_FALSE(URI("http://h").IsDirectory());
    EXPECT_FALSE(URI("http://h/a?b/").IsDirectory());
}

TEST(URIObject, CopiesReproduceEveryComponentAndFlag) {
    URI source("http://u:p@h:1/a%20b?q#f");
    source.SetPath("x");  // the flags are stored, not derived: copies must carry them
    URI copy(source);
    EXPECT_EQ(copy.ToString(false), source.ToString(false));
    EXPECT_EQ(copy.GetPassword(), "p");
    EXPECT_EQ(copy.IsValidURI(), source.IsValidURI());

    URI assigned("mailto:x");
    assigned = source;
    EXPECT_EQ(assigned.ToString(true), source.ToString(true));
    EXPECT_EQ(assigned.IsRelative(), source.IsRelative());

    URI self("mailto:x");
    self = *&self;
    EXPECT_EQ(self.ToString(false), "mailto:x");
    EXPECT_TRUE(self.IsValidURI());

    URI invalid("a:b");
    URI fromInvalid(invalid);
    EXPECT_FALSE(fromInvalid.IsValidURI());
    EXPECT_FALSE(fromInvalid.IsHierarchical());
}

TEST(URIObject, SetHierStateRecomputesFlags) {
    OpenURI u("news:x?q#f");
    u.SetHierState(true);
    EXPECT_FALSE(u.IsValidURI());  // neither host nor path
    EXPECT_FALSE(u.IsRelative());
    EXPECT_EQ(u.GetNonHierarchical(), "");

    OpenURI unknown;
    unknown.SetHierState(true);
    EXPECT_TRUE(unknown.IsRelative());
    EXPECT_FALSE(unknown.IsValidURI());

    OpenURI h("news://u:p@h:1/p?q#f");
    h.SetHierState(false);
    EXPECT_TRUE(h.IsValidURI());
    EXPECT_FALSE(h.IsHierarchical());
    EXPECT_EQ(h.ToString(false), "news:?q#f");
    EXPECT_EQ(h.GetUsername(), "");
    EXPECT_EQ(h.GetPassword(), "");

    unknown.SetHierState(false);
    EXPECT_FALSE(unknown.IsValidURI());
    EXPECT_FALSE(unknown.IsRelative());

    OpenURI initialized("http://h/p");
    initialized.Initialize();
    EXPECT_EQ(initialized, URI());
    EXPECT_FALSE(initialized.IsValidURI());
}

TEST(URIObject, ConstructURIParses) {
    OpenURI u;
    u.ConstructURI("http://h/");
    EXPECT_TRUE(u.IsValidURI());
    u.ConstructURI("c:/x");
    EXPECT_FALSE(u.IsValidURI());
}

}  // namespace
