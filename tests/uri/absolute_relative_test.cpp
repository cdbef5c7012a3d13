// MakeAbsoluteURI, MakeRelativeURI and common parents.
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <tessera/URI.h>

namespace {

using Varn::URI;

TEST(MakeAbsoluteURI, ResolvesRelativeReferencesOnly) {
    URI reference("../x");
    EXPECT_TRUE(reference.MakeAbsoluteURI(URI("http://h/a/b/c")));
    EXPECT_EQ(reference.ToString(false), "http://h/a/x");
    URI file("d.html");
    EXPECT_TRUE(file.MakeAbsoluteURI(URI("http://h/a/b/")));
    EXPECT_EQ(file.ToString(false), "http://h/a/b/d.html");

    URI absolute("ftp://g/y");
    EXPECT_FALSE(absolute.MakeAbsoluteURI(URI("http://h/a/")));
    EXPECT_EQ(absolute.ToString(false), "ftp://g/y");
    URI unparsed("c:/dir");  // the default state counts as absolute
    EXPECT_FALSE(unparsed.MakeAbsoluteURI(URI("http://h/a/")));
    URI stays("x");
    EXPECT_FALSE(stays.MakeAbsoluteURI(URI("a/b")));
    EXPECT_EQ(stays.ToString(false), "x");
    EXPECT_TRUE(stays.IsRelative());
}

// A class that changes nothing, so that MakeAbsoluteURI must take its general way:
// write the reference out and move a copy of base by that text.
struct PlainDerived : URI {
    using URI::URI;
};

TEST(MakeAbsoluteURI, AgreesWithMovingBaseByTheWrittenReference) {
    const char* bases[] = {"http://a/b/c/d;p?q#f", "file:///C:/dir/f.txt", "http://u:p@[::1]:8/x/", "ftp://h", "mailto:x"};
    const char* references[] = {
        "", "g", "./g", "../..", "../../../g", "g/../h/.", "/./g", "//g/x", "?y", "?y#z", "#s", "#", "g?",
        "g#", "a#b#", "x?#f", "a:b/c", "./a:b", "%2e%2e/x", "a%2Fb", "x%20y/", "a\\b", "/", ";x", "..g", "?",
    };
    for (const char* base : bases) {
        for (const char* text : references) {
            URI fast(text);
            PlainDerived general(text);
            ASSERT_EQ(fast.MakeAbsoluteURI(URI(base)), general.MakeAbsoluteURI(URI(base))) << base << " + " << text;
            EXPECT_EQ(fast.ToString(false), general.URI::ToString(false)) << base << " + " << text;
            EXPECT_EQ(fast.IsValidURI(), general.IsValidURI()) << base << " + " << text;
            EXPECT_EQ(fast.IsRelative(), general.IsRelative()) << base << " + " << text;
        }
    }
    // Stored forms that no parse gives: set through the setters.
    for (const char* path : {"a#b", "a?b", "a:b", "//x", "", "x/y"}) {
        for (const char* fragment : {"", "f#g"}) {
            URI fast("z");
            fast.SetPath(path);
            fast.SetFragment(fragment);
            PlainDerived general("z");
            general.SetPath(path);
            general.SetFragment(fragment);
            fast.MakeAbsoluteURI(URI(bases[0]));
            general.MakeAbsoluteURI(URI(bases[0]));
            EXPECT_EQ(fast.ToString(false), general.URI::ToString(false)) << path << " # " << fragment;
        }
    }
}

TEST(MakeRelativeURI, PathsOnTheSameHost) {
    struct Case { const char *target, *base; bool caseSensitive; const char* result; };
    const Case cases[] = {
        {"http://h/a/b/c.html", "http://h/a/d/e.html", true, "../b/c.html"},
        {"http://h/a/b/c.html", "http://h/a/b/", true, "c.html"},
        {"http://h/a/b/", "http://h/a/b/", true, "./"},
        {"http://h/a/b/", "http://h/a/b/x.html", true, "./"},
        {"http://h/a", "http://h/a/b/", true, ".."},
        {"http://h/", "http://h/x/y", true, ".."},
        {"http://h/x/y", "http://h/", true, "x/y"},
        {"http://h/A/b", "http://h/a/", false, "b"},
        {"http://h/A/b", "http://h/a/", true, "../A/b"},
        {"HTTP://H/a", "http://h/", true, "a"},
        {"http://h:8080/a/b?x#y", "http://u@h/a/?z#w", true, "b?x#y"},
        {"http://[::1]/a/b", "http://[0:0:0:0:0:0:0:1]/a/", true, "b"},
        {"http://h/a%20b/c", "http://h/a%20b/d", true, "c"},
        {"x/y", "http://h/", true, "x/y"},  // already relative: unchanged
    };
    for (const Case& c : cases) {
        URI uri(c.target);
        EXPECT_TRUE(uri.MakeRelativeURI(URI(c.base), c.caseSensitive)) << c.target;
        EXPECT_EQ(uri.ToString(false), c.result) << c.target << " from " << c.base;
        EXPECT_TRUE(uri.IsRelative()) << c.target;
    }
}

// MakeRelativeURI's steps as stated, on the public and protected operations.
struct RelativeByTheSteps : URI {
    using URI::URI;
    using URI::Compare;
    using URI::JoinPath;
    using URI::SplitPath;
    static std::string Make(const URI& target, const URI& base, bool caseSensitive) {
        URI directory(base);
        directory.ChDir(".", false);
        std::vector<std::string> targetSegments, baseSegments, steps;
        bool leading = false, trailing = false;
        SplitPath(target.GetPath(), targetSegments, leading, trailing);
        SplitPath(directory.GetPath(), baseSegments);
        std::size_t common = 0;
        while (common < targetSegments.size() && common < baseSegments.size() &&
               Compare(targetSegments[common], baseSegments[common], caseSensitive) == 0) {
            ++common;
        }
        steps.assign(baseSegments.size() - common, "..");
        steps.insert(steps.end(), targetSegments.begin() + static_cast<std::ptrdiff_t>(common), targetSegments.end());
        const std::string path = JoinPath(steps, false, trailing);
        return path.empty() ? "./" : path;
    }
};

TEST(MakeRelativeURI, AgreesWithTheStepsOnDotSegmentsEscapesAndDrives) {
    const char* bases[] = {"http://h/a/./b/../c/d", "http://h/a/b/", "http://h/../x/y", "http://h", "http://h/a%2Fb/c",
                           "file:///C:/a/b/f.txt", "file:///C:/", "http://h/a/b/..", "http://h/A/b/."};
    const char* targets[] = {"http://h/a/c/e", "http://h/", "http://h/x/y/z/", "http://h/a/b/c?q#f", "http://h/a%2Fb/d",
                             "file:///C:/a/x", "file:///C:/a/b/", "http://h/a/B/c"};
    for (const char* base : bases) {
        for (const char* text : targets) {
            for (const bool caseSensitive : {true, false}) {
                URI target(text);
                if (!target.MakeRelativeURI(URI(base), caseSensitive)) continue;
                EXPECT_EQ(target.GetPath(), RelativeByTheSteps::Make(URI(text), URI(base), caseSensitive))
                    << text << " from " << base;
            }
        }
    }
}

TEST(MakeRelativeURI, RefusesOtherSchemesHostsAndRelativeBases) {
    for (const char* base : {"ftp://h/a/", "http://g/a/", "a/b/"}) {
        URI uri("http://h/a/b?q");
        EXPECT_FALSE(uri.MakeRelativeURI(URI(base), true)) << base;
        EXPECT_EQ(uri.ToString(false), "http://h/a/b?q") << base;
    }
}

TEST(GetCommonParent, NearestSharedDirectory) {
    struct Case { const char *a, *b; bool caseSensitive; const char* parent; };
    const Case cases[] = {
        {"http://h/a/b/c.html", "http://h/a/d/e.html", true, "http://h/a/"},
        {"http://h/a/b?q#f", "http://h/a/b?q#f", true, "http://h/a/"},
        {"http://h/a/b/", "http://h/a/b/c", true, "http://h/a/b/"},
        {"http://h/a/b", "ftp://g/x", true, "http://h/"},
        {"http://h/A/b", "http://h/a/c", false, "http://h/A/"},
        {"http://h/A/b", "http://h/a/c", true, "http://h/"},
        {"http://h/a/", "a/b", true, "unknown:"},
        {"a/b", "http://h/a/", true, "unknown:"},
        {"mailto:x", "mailto:x", true, "mailto:"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(URI(c.a).GetCommonParent(URI(c.b), c.caseSensitive).ToString(false), c.parent) << c.a << " & " << c.b;
        EXPECT_EQ(URI::GetCommonParentByString(c.a, c.b, c.caseSensitive).ToString(false), c.parent) << c.a;
    }
}

TEST(GetCommonParent, EndsForURIsInTheDefaultState) {
    // "." turns the default state into a relative reference that ".." would grow forever.
    for (const char* other : {"", "c:/dir", "http://h/a/"}) {
        const URI parent = URI().GetCommonParent(URI(other), true);
        EXPECT_EQ(parent.ToString(false), "unknown:") << other;
        EXPECT_FALSE(parent.IsRelative()) << other;
    }
    EXPECT_EQ(URI("http://h/a/b").GetCommonParent(URI(), true).ToString(false), "http://h/");
}

}  // namespace
