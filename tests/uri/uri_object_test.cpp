// The URI object: default state, copying, flag queries, starting again.
#include <string>

#include <gtest/gtest.h>

#include "uri_test_support.h"

namespace tessera_test {
namespace {

using Varn::URI;

// Its components and flags are those of a failed parse (the parser's test).
TEST(URIObject, DefaultStateIsAbsoluteAndOfTypeUnknown) {
    const URI u;
    EXPECT_TRUE(u.IsAbsolute());
    EXPECT_TRUE(u.IsOfType("Unknown") && URI("file:///x").IsOfType("FILE"));  // the stored scheme, any case
    EXPECT_FALSE(u.IsOfType("file"));
}

TEST(URIObject, DirectoriesEndTheirPathWithASlash) {
    const struct {
        const char* uri;
        bool directory;
    } cases[] = {
        {"http://h/", true},
        // A slash in the query does not count, nor does an empty path.
        {"/a/b", false},
        {"http://h", false},
        {"http://h/a?b/", false},
    };
    for (const auto& c : cases) EXPECT_EQ(URI(c.uri).IsDirectory(), c.directory) << c.uri;
}

TEST(URIObject, CopiesCarryStoredFlags) {
    URI source("http://u:p@h:1/a%20b?q#f");
    source.SetScheme("");  // relative is not recomputed: copies must carry the stored flag
    const URI copy(source);
    URI assigned("mailto:x");
    assigned = source;
    for (const URI* u : {&copy, static_cast<const URI*>(&assigned)}) {
        EXPECT_EQ(u->ToString(false), "//u:p@h:1/a%20b?q#f");
        EXPECT_FALSE(u->IsRelative());
        EXPECT_TRUE(u->IsValidURI() && u->IsHierarchical());
    }
    URI self("mailto:x");
    self = *&self;
    EXPECT_EQ(self.ToString(false), "mailto:x");
    EXPECT_TRUE(self.IsValidURI());
}

// SetHierState's flags and cleared parts show through the setters that call it (the setter
// table: a port on an opaque URI, a path or an opaque part on the default state).
TEST(URIObject, InitializeReturnsToTheDefaultState) {
    OpenURI u("news://u:p@h:1/p?q#f");
    u.Initialize();
    EXPECT_EQ(u.ToString(false), "unknown:");
    EXPECT_EQ(FlagNames(FlagsOf(u)), FlagNames(kDefaultState));
}

}  // namespace
}  // namespace tessera_test
