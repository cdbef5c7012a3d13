// ChDir, MakeAbsoluteURI, MakeRelativeURI, GetRelation and GetCommonParent against a slow
// reference that follows their steps one by one (split, walk, join; write out and parse
// again; copy), over inputs chosen to trip the shortcuts: escapes of '/', '.', '%' and ':'
// in segments, empty segments, "//" paths, drive marks, IPv6 hosts, written and default
// ports, opaque and default-state URIs, relative bases, stale flags, query- and
// fragment-only references; SplitPath and JoinPath against the reference's own split and
// join. The reference states the rules of these operations; the by-string forms and
// CompareAuthority are held to them by the fuzz replay.
#include <algorithm>
#include <iterator>
#include <random>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "uri_test_support.h"

namespace tessera_test {
namespace {

using Varn::URI;
using Segments = std::vector<std::string>;

// ---- The reference -------------------------------------------------------------------

// The non-empty segments of a path; whether it starts with '/', and ends with one after that.
struct Path {
    Segments segments;
    bool leading, trailing;
};

Path Split(const std::string& text) {
    Path path{{}, !text.empty() && text[0] == '/', text.size() > 1 && text.back() == '/'};
    std::istringstream in(text);
    for (std::string segment; std::getline(in, segment, '/');) {
        if (!segment.empty()) path.segments.push_back(segment);
    }
    return path;
}

std::string Join(const Segments& segments, bool leading, bool trailing) {
    std::string text;
    for (const std::string& segment : segments) text += (text.empty() ? "" : "/") + segment;
    if (trailing && !text.empty()) text += '/';
    return leading ? "/" + text : text;
}

bool Same(const std::string& a, const std::string& b, bool caseSensitive) {
    const auto fold = [caseSensitive](char c) { return !caseSensitive && c >= 'A' && c <= 'Z' ? char(c + 32) : c; };
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [&](char x, char y) { return fold(x) == fold(y); });
}

void ChDirByTheSteps(URI& base, std::string reference, bool escape) {
    if (escape) reference = URI::Escape(reference).str();
    if (reference.empty()) return;
    if (reference.compare(0, 2, "//") == 0) {
        base = URI(base.GetScheme().str() + ":" + reference);
        return;
    }
    if (reference[0] == '?') reference = "./" + reference;
    URI scratch;
    scratch = URI::StringProxy(reference);
    if (!scratch.IsRelative() || !scratch.IsHierarchical()) {
        base = scratch;
        return;
    }
    const Path basePath = Split(base.GetPath()), referencePath = Split(scratch.GetPath());
    const std::string query = scratch.GetQuery(true);
    if (!referencePath.leading && referencePath.segments.empty() && query.empty()) {
        base.SetFragment(scratch.GetFragment());
        return;
    }
    base.SetQuery(query, true);
    base.SetFragment(scratch.GetFragment());
    if (referencePath.leading) {
        base.SetPath(scratch.GetPath());
        return;
    }
    Segments segments = basePath.segments, kept;
    if (!basePath.trailing && !segments.empty()) segments.pop_back();
    segments.insert(segments.end(), referencePath.segments.begin(), referencePath.segments.end());
    bool dotLast = false;
    for (const std::string& segment : segments) {
        dotLast = segment == "." || segment == "..";
        if (segment == ".") continue;
        if (segment != ".." || (kept.empty() ? base.IsRelative() : kept.back() == "..")) {
            kept.push_back(segment);
        } else if (!kept.empty()) {
            kept.pop_back();  // an absolute path has nothing above its root
        }
    }
    base.SetPath(Join(kept, basePath.leading, referencePath.trailing || dotLast));
}

bool MakeAbsoluteByTheSteps(URI& reference, const URI& base) {
    if (reference.IsAbsolute() || base.IsRelative()) return false;
    URI scratch(base);
    ChDirByTheSteps(scratch, reference.ToString(false), false);
    reference = scratch;
    return true;
}

// Two hosts as the relations compare them: both IPv6 hosts in their full forms when both
// expand (then true), else as given.
bool ExpandBoth(std::string& a, std::string& b) {
    std::string fullA, fullB;
    if (!URI::IsIPv6(a) || !URI::IsIPv6(b) || !URI::ExpandIPv6Addr(a, fullA) || !URI::ExpandIPv6Addr(b, fullB)) {
        return false;
    }
    a = fullA;
    b = fullB;
    return true;
}

bool MakeRelativeByTheSteps(URI& target, const URI& base, bool caseSensitive) {
    const std::string path = target.GetPath(), query = target.GetQuery(true), fragment = target.GetFragment();
    if (target.IsRelative()) return true;
    URI directory(base);
    if (directory.IsRelative() || !target.IsOfType(base.GetScheme())) return false;
    std::string hostTarget = target.GetAuthority(), hostBase = base.GetAuthority();
    ExpandBoth(hostTarget, hostBase);
    if (hostTarget != hostBase) return false;
    ChDirByTheSteps(directory, ".", false);
    const Path to = Split(path), from = Split(directory.GetPath());
    std::size_t common = 0;
    while (common < to.segments.size() && common < from.segments.size() &&
           Same(to.segments[common], from.segments[common], caseSensitive)) {
        ++common;
    }
    Segments steps(from.segments.size() - common, "..");
    steps.insert(steps.end(), to.segments.begin() + static_cast<long>(common), to.segments.end());
    const std::string relative = Join(steps, false, to.trailing);
    target.SetParts("", "", "", relative.empty() ? "./" : relative, query, fragment);
    return true;
}

// The stored host and port of a hierarchical URI, the port the scheme's default where none
// is written; read from the written-out form of a copy that has nothing else to write
// ("file" URIs are written with "//" even without a host, so a port without a host shows).
std::pair<std::string, std::string> StoredHostAndPort(const URI& uri) {
    const std::string scheme = uri.GetScheme();
    URI copy(uri);
    copy.SetUsername("");
    copy.SetPassword("");
    copy.SetScheme("file");
    copy.SetPath("/");
    copy.SetQuery("", false);
    copy.SetFragment("");
    const auto between = [](const URI& u) {
        const std::string text = u.ToString(false);
        return text.substr(7, text.size() - 8);
    };
    const std::string hostAndPort = between(copy);
    copy.SetServerPort("");
    const std::string host = between(copy);
    if (hostAndPort.size() > host.size()) return {host, hostAndPort.substr(host.size() + 1)};
    return {host, scheme == "http" ? "80" : scheme == "ftp" ? "21" : scheme == "sftp" ? "22" : ""};
}

URI::RELATION RelationByTheSteps(const URI& first, const URI& second, bool caseSensitive) {
    URI a(first), b(second);
    std::string hostA = a.GetAuthority(), hostB = b.GetAuthority();
    if (ExpandBoth(hostA, hostB)) {
        a.SetAuthority(hostA);
        b.SetAuthority(hostB);
    }
    if (a.IsRelative() || b.IsRelative()) return URI::RELATION_NONE;
    // Written out without query and fragment, an opaque URI is its scheme, ':' and its
    // opaque part.
    if (!a.IsHierarchical() || !b.IsHierarchical()) {
        if (a.IsHierarchical() != b.IsHierarchical()) return URI::RELATION_NONE;
        for (URI* u : {&a, &b}) {
            u->SetQuery("", false);
            u->SetFragment("");
        }
        return a.ToString(false) == b.ToString(false) ? URI::RELATION_SAME : URI::RELATION_NONE;
    }
    if (a.GetScheme() != b.GetScheme()) return URI::RELATION_NONE;
    if (StoredHostAndPort(a) != StoredHostAndPort(b)) return URI::RELATION_NONE;
    const std::string pathA = a.GetPath(), pathB = b.GetPath();
    if (Same(pathA, pathB, caseSensitive)) return URI::RELATION_SAME;
    if ((pathA == "/" || pathB == "/") && (pathA.empty() || pathB.empty())) return URI::RELATION_SAME;
    const Segments sa = Split(pathA).segments, sb = Split(pathB).segments;
    for (std::size_t i = 0; i < sa.size() && i < sb.size(); ++i) {
        if (!Same(sa[i], sb[i], caseSensitive)) return URI::RELATION_NONE;
    }
    return sa.size() > sb.size()   ? URI::RELATION_CHILD
           : sa.size() < sb.size() ? URI::RELATION_PARENT
                                   : URI::RELATION_SAME;
}

URI CommonParentByTheSteps(const URI& first, const URI& second, bool caseSensitive) {
    URI p(first), q(second);
    if (p.IsRelative() || q.IsRelative()) return URI();
    ChDirByTheSteps(p, ".", false);
    ChDirByTheSteps(q, ".", false);
    for (int pass = 0; pass < 1000; ++pass) {
        if (p.IsRelative()) return URI();  // the default state turned relative: no parent
        const URI::RELATION r = RelationByTheSteps(p, q, caseSensitive);
        if (r == URI::RELATION_SAME || r == URI::RELATION_PARENT) return p;
        const std::string before = p.ToString(false);
        ChDirByTheSteps(p, "..", false);
        if (p.ToString(false) == before) return p;
    }
    ADD_FAILURE() << "no end";
    return URI();
}

// ---- The inputs ----------------------------------------------------------------------

// Paths on one host: empty and dot segments, escapes of '/', '.' and '%', case, ports.
const char* const kPathSubjects[] = {
    "http://h/a/b/c.html?q#f", "http://h/a/b/",     "http://h",         "http://h/",         "http://h//",
    "http://H:80/a//b/",       "http://h:8080/a/B", "http://h/a%2Fb/c", "http://h/%2E%2E/x", "http://h/a/%2e/b",
    "http://h/a%20b/c%25d",    "http://h/./a/../b", "http://h/../x",    "http://u:p@h/a/..", "ftp://h/a/b.",
    "http://a/b/c/d;p?q#f",    "http://h/a/?q#f"};
// Default ports written, written otherwise ("080") and left out; missing hosts; file URIs
// with drive marks and servers.
const char* const kPortAndFileSubjects[] = {"ftp://h",         "ftp://h:21/a",           "https://h:443/a",
                                            "sftp://h:22/",    "http://:80/a",           "http:///a",
                                            "file://:1/x",     "file:///C:/dir/f.txt",   "file:///c:/",
                                            "file://srv/C:/x", "file:////server/share/", "http://h:080/a/b/",
                                            "https://h/a/"};
// IPv6 hosts in full and short forms, broken ones, and hosts with colons or escapes, short
// and longer than a block of 16 bytes.
const char* const kHostSubjects[] = {"http://[::1]/a/b",
                                     "http://[0:0:0:0:0:0:0:1]/a/",
                                     "http://[FE80::1]:80/",
                                     "http://u:p@[::1]:8/x/",
                                     "http://[1::2::3]/a",
                                     "http://::ffff:1.2.3.4/x",
                                     "http://h%3A1%3A2/a",
                                     "http://a:b:c/d",
                                     "http://%68/a/",
                                     "http://long-host-name.example.org/a/b",
                                     "http://long-host-name.example%2Eorg/a/",
                                     "http://[0:0:0:0:0:0:0:1%5D/a/"};
// Opaque URIs, references of every form, and texts that are no URI.
const char* const kOtherSubjects[] = {
    "mailto:x@y", "mailto:x@y?s", "urn:a:b",       "",      "a",         "a/",         "a/b.html", "../a",
    "/a",         "/a/b/",        "//srv/share/x", "?q",    "#f",        "?q#f",       ".",        "..",
    "./",         "../",          "x?#",           "a%2Fb", "%2F%2Fg/x", "%2E%2E/%2e", "c:/dir",   "x\\y"};

std::vector<URI> Subjects() {
    std::vector<URI> uris;
    const auto add = [&uris](const auto& texts) {
        for (const char* text : texts) uris.emplace_back(text);
    };
    add(kPathSubjects);
    add(kPortAndFileSubjects);
    add(kHostSubjects);
    add(kOtherSubjects);
    // URIs changed after parsing: stored flags that are stale, stored forms that do not
    // read back.
    const struct {
        const char* text;
        void (*change)(URI&);
    } changed[] = {
        {"a/b", [](URI& u) { u.SetAuthority("g"); }},      // a relative reference with a host: written without it
        {"a/./b?x", [](URI& u) { u.SetScheme("http"); }},  // the scheme set alone leaves the relative flag
        {"http://h/a/b", [](URI& u) { u.SetScheme(""); }},
        {"x/y", [](URI& u) { u.SetQuery("k=#v", false); }},  // a query stored as given, holding '#'
        {"", [](URI& u) { u.SetQuery("a#b", false); }},
        {"p/q", [](URI& u) { u.SetAuthority("::1"); }},
        {"a/b",
         [](URI& u) {
             u.SetAuthority("::1");
             u.SetScheme("http");
         }},  // flags recomputed by the host
        {"http://h/a/", [](URI& u) { u.SetAuthority("[::%31]"); }},
        {"file:///C:/a/b", [](URI& u) { u.SetPath("/C|/a b/../c/"); }},
        {"mailto:x", [](URI& u) { u.SetPath("m/n"); }},  // an opaque URI made hierarchical by its path
    };
    for (const auto& c : changed) c.change(uris.emplace_back(c.text));
    uris.emplace_back();
    // Long paths: segment lists beyond the usual room, and paths that share their first
    // bytes up to a word boundary and beyond, with an escape or a case difference there.
    std::string deep = "http://h";
    for (int i = 0; i < 70; ++i) deep += i % 7 == 3 ? "/.." : i % 5 == 1 ? "//s" : "/s";
    uris.emplace_back(deep);
    uris.emplace_back(deep + "/");
    for (const char* tail : {"/abcdefg/h", "/abcdefgh/", "/abcdefgh/i", "/abcdefGh/i", "/abcde%66gh/i", "/abcdefgh%2Fi",
                             "/abcdefghijklmnop/q", "/abcdefghijklmnoP/q/", "/abcdefghijklmno%70/q/r"}) {
        uris.emplace_back(std::string("http://h") + tail);
    }
    return uris;
}

// References: every dot-segment form, query- and fragment-only ones, escapes, schemes, and
// one that climbs far above any root.
std::vector<std::string> References() {
    std::vector<std::string> references = {
        "",      ".",          "..",       "./",         "../",      "...",       "g",         "g/",     "./g",
        "../..", "../../../g", "g/../h/.", "g/..",       "/./g",     "/",         "//",        "//g/x",  "///x",
        "?y",    "?y#z",       "?",        "#s",         "#",        "g?",        "g#",        "a#b#",   "x?#f",
        "a:b/c", "./a:b",      "%2e%2e/x", "%2E",        "%2F",      "a%2Fb",     "%2F%2Fh/x", "x%20y/", "a\\b",
        "..g",   "g//h/",      "g/./",     "http://o/p", "mailto:m", "//[::1]/x", "./C|/x",    "C|/x",   "%",
        "a%zz",  "a b/c d",    "./..",     "..?y",       ".#f",      "../..?y#z"};
    std::string climb = "x";
    for (int i = 0; i < 66; ++i) climb += "/..";
    references.push_back(climb + "/y/./z/.");
    return references;
}

bool SameState(const URI& a, const URI& b) {
    return a.ToString(false) == b.ToString(false) && a.IsValidURI() == b.IsValidURI() &&
           a.IsRelative() == b.IsRelative() && a.IsHierarchical() == b.IsHierarchical() &&
           a.GetUsername() == b.GetUsername() && a.GetPassword() == b.GetPassword();
}

std::string Text(const URI& u) { return u.ToString(false).str(); }

// A class that changes nothing: MakeAbsoluteURI takes its general way for it.
struct PlainDerived : URI {};

// MakeRelativeURI, GetRelation and GetCommonParent of a and b, in both case modes.
void ExpectPairAsTheSteps(const URI& a, const URI& b) {
    for (const bool caseSensitive : {true, false}) {
        const std::string where = Text(a) + " / " + Text(b) + (caseSensitive ? "" : " (any case)");
        URI fast(a), slow(a);
        EXPECT_EQ(fast.MakeRelativeURI(b, caseSensitive), MakeRelativeByTheSteps(slow, b, caseSensitive)) << where;
        EXPECT_TRUE(SameState(fast, slow)) << where << ": " << Text(fast) << " vs " << Text(slow);
        EXPECT_EQ(a.GetRelation(b, caseSensitive), RelationByTheSteps(a, b, caseSensitive)) << where;
        EXPECT_TRUE(SameState(a.GetCommonParent(b, caseSensitive), CommonParentByTheSteps(a, b, caseSensitive)))
            << where;
    }
}

// ---- The comparisons ------------------------------------------------------------------

TEST(StepByStep, ChDirAndMakeAbsoluteURIMoveAsTheirStepsSay) {
    std::vector<URI> references = Subjects();
    for (const std::string& reference : References()) references.emplace_back(reference);
    for (const URI& base : Subjects()) {
        for (const std::string& reference : References()) {
            for (const bool escape : {false, true}) {
                URI fast(base), slow(base);
                EXPECT_TRUE(fast.ChDir(reference, escape));
                ChDirByTheSteps(slow, reference, escape);
                EXPECT_TRUE(SameState(fast, slow)) << Text(base) << " + " << reference << " (escape " << escape
                                                   << "): " << Text(fast) << " vs " << Text(slow);
            }
        }
        for (const URI& reference : references) {
            URI fast(reference), slow(reference);
            PlainDerived general;
            static_cast<URI&>(general) = reference;
            const bool made = MakeAbsoluteByTheSteps(slow, base);
            EXPECT_EQ(fast.MakeAbsoluteURI(base), made);
            EXPECT_EQ(general.MakeAbsoluteURI(base), made);
            EXPECT_TRUE(SameState(fast, slow) && SameState(general, slow))
                << Text(reference) << " against " << Text(base) << ": " << Text(fast) << " / " << Text(general)
                << " vs " << Text(slow);
        }
    }
}

TEST(StepByStep, MakeRelativeURIRelationAndCommonParent) {
    const std::vector<URI> subjects = Subjects();
    for (const URI& a : subjects) {
        for (const URI& b : subjects) ExpectPairAsTheSteps(a, b);
    }
}

// SplitPath and JoinPath, the protected helpers a derived class builds its own path moves
// from, read and write paths as Split and Join do; SplitPath appends to what it is given.
TEST(StepByStep, SplitPathAndJoinPathAsTheReference) {
    std::vector<std::string> paths = References();
    for (const URI& subject : Subjects()) paths.push_back(subject.GetPath());
    for (const std::string& text : paths) {
        const Path path = Split(text);
        Segments segments{"kept"}, pieces(1);  // pieces: split at every '/', empty ones kept
        bool leading = !path.leading, trailing = !path.trailing;
        OpenURI::SplitPath(text, segments, leading, trailing);
        EXPECT_EQ(Segments(segments.begin() + 1, segments.end()), path.segments) << text;
        EXPECT_TRUE(segments[0] == "kept" && leading == path.leading && trailing == path.trailing) << text;
        for (const char c : text) {
            if (c == '/') {
                pieces.emplace_back();
            } else {
                pieces.back() += c;
            }
        }
        for (const Segments& list : {path.segments, pieces}) {
            for (const bool lead : {false, true}) {
                EXPECT_EQ(OpenURI::JoinPath(list, lead, !lead), Join(list, lead, !lead)) << text;
                EXPECT_EQ(OpenURI::JoinPath(list, lead, lead), Join(list, lead, lead)) << text;
            }
        }
    }
}

// Pairs of deep paths that share a beginning and then part ways (the common parent's
// one-step answer against the level-by-level climb), built from segments that it must read
// as the climb does: escapes of '/', '.' and '%',
// dot segments, empty segments, letters in both cases, drive marks; on bases with and
// without a host, with a port, as "file" URIs and in the default state.
TEST(StepByStep, DeepPathsThatPartWays) {
    const char* const pieces[] = {"a", "A", "%2F", "%2e", "..", ".", "", "b%20c", "%25", "C|", "%A|", "x:y"};
    const char* const prefixes[] = {"http://h", "http://h:81", "file://", "ftp://u@H", "http:", "a"};
    std::mt19937 random(20241206);
    const auto path = [&](int depth) {
        std::string text;
        for (int i = 0; i < depth; ++i) text += std::string("/") + pieces[random() % std::size(pieces)];
        return text;
    };
    for (int round = 0; round < 3000; ++round) {
        const std::string shared = path(static_cast<int>(random() % 40));
        const std::string prefixA = prefixes[random() % std::size(prefixes)];
        const std::string prefixB = random() % 4 == 0 ? prefixes[random() % std::size(prefixes)] : prefixA;
        const URI a(prefixA + shared + path(static_cast<int>(random() % 6)) + (random() % 2 ? "/" : ""));
        ExpectPairAsTheSteps(a, URI(prefixB + shared + path(static_cast<int>(random() % 6))));
    }
}

}  // namespace
}  // namespace tessera_test
