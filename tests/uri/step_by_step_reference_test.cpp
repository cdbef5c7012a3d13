// The path, relation and absolute/relative operations against a slow reference that
// follows their steps one by one (split, walk, join; write out and parse again; copy),
// over inputs chosen to trip the shortcuts: escapes of '/', '.', '%' and ':' in
// segments, empty segments, "//" paths, drive marks, IPv6 hosts, opaque and default-state
// URIs, relative bases, stale flags, query- and fragment-only references.
#include <cctype>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <tessera/URI.h>

namespace {

using Varn::URI;
using Segments = std::vector<std::string>;

// ---- The reference -------------------------------------------------------------------

Segments Split(const std::string& path, bool& leading, bool& trailing) {
    std::string copy = path;
    leading = !copy.empty() && copy[0] == '/';
    if (leading) copy.erase(0, 1);
    trailing = !copy.empty() && copy.back() == '/';
    if (trailing) copy.pop_back();
    Segments segments;
    for (std::size_t slash; (slash = copy.find('/')) != std::string::npos; copy.erase(0, slash + 1)) {
        if (slash != 0) segments.push_back(copy.substr(0, slash));
    }
    if (!copy.empty()) segments.push_back(copy);
    return segments;
}

Segments Split(const std::string& path) {
    bool leading, trailing;
    return Split(path, leading, trailing);
}

std::string Join(const Segments& segments, bool leading, bool trailing) {
    std::string text;
    for (const std::string& segment : segments) {
        if (!text.empty()) text += '/';
        text += segment;
    }
    if (trailing && !text.empty()) text += '/';
    return leading ? "/" + text : text;
}

bool SameIgnoringCase(std::string a, std::string b, bool caseSensitive) {
    if (!caseSensitive) {
        for (char& c : a) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        for (char& c : b) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return a == b;
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
    bool baseLeading, baseTrailing, referenceLeading, referenceTrailing;
    Segments segments = Split(base.GetPath(), baseLeading, baseTrailing);
    const Segments referenceSegments = Split(scratch.GetPath(), referenceLeading, referenceTrailing);
    if (referenceLeading) {
        base.SetPath(scratch.GetPath());
        base.SetQuery(scratch.GetQuery(true), true);
        base.SetFragment(scratch.GetFragment());
        return;
    }
    if (referenceSegments.empty() && scratch.GetQuery(true).str().empty()) {
        base.SetFragment(scratch.GetFragment());
        return;
    }
    if (!baseTrailing && !segments.empty()) segments.pop_back();
    base.SetQuery(scratch.GetQuery(true), true);
    base.SetFragment(scratch.GetFragment());
    segments.insert(segments.end(), referenceSegments.begin(), referenceSegments.end());
    bool dotSeen = false;
    for (std::size_t i = 0; i < segments.size();) {
        dotSeen = false;
        if (segments[i] == ".") {
            segments.erase(segments.begin() + static_cast<long>(i));
            dotSeen = true;
        } else if (segments[i] == ".." && i >= 1 && segments[i - 1] == "..") {
            dotSeen = true;
            ++i;
        } else if (segments[i] == ".." && i >= 1) {
            segments.erase(segments.begin() + static_cast<long>(i - 1), segments.begin() + static_cast<long>(i + 1));
            dotSeen = true;
            --i;
        } else if (segments[i] == "..") {
            dotSeen = true;
            if (base.IsRelative()) {
                ++i;
            } else {
                segments.erase(segments.begin());
            }
        } else {
            ++i;
        }
    }
    base.SetPath(Join(segments, baseLeading, referenceTrailing || dotSeen));
}

bool MakeAbsoluteByTheSteps(URI& reference, const URI& base) {
    if (reference.IsAbsolute() || base.IsRelative()) return false;
    URI scratch(base);
    ChDirByTheSteps(scratch, reference.ToString(false), false);
    reference = scratch;
    return true;
}

// Two hosts as MakeRelativeURI compares them: both IPv6 hosts in their full
// forms when both expand, else as given.
void ExpandBoth(std::string& a, std::string& b) {
    std::string fullA, fullB;
    if (URI::IsIPv6(a) && URI::IsIPv6(b) && URI::ExpandIPv6Addr(a, fullA) && URI::ExpandIPv6Addr(b, fullB)) {
        a = fullA;
        b = fullB;
    }
}

bool MakeRelativeByTheSteps(URI& target, const URI& base, bool caseSensitive) {
    const std::string path = target.GetPath(), query = target.GetQuery(true), fragment = target.GetFragment();
    if (target.IsRelative()) return true;
    URI directory(base);
    if (directory.IsRelative()) return false;
    if (!target.IsOfType(base.GetScheme())) return false;
    std::string hostTarget = target.GetAuthority(), hostBase = base.GetAuthority();
    ExpandBoth(hostTarget, hostBase);
    if (hostTarget != hostBase) return false;
    ChDirByTheSteps(directory, ".", false);
    bool leading, trailing;
    Segments targetSegments = Split(path, leading, trailing), baseSegments = Split(directory.GetPath());
    std::size_t common = 0;
    while (common < targetSegments.size() && common < baseSegments.size() &&
           SameIgnoringCase(targetSegments[common], baseSegments[common], caseSensitive)) {
        ++common;
    }
    Segments steps(baseSegments.size() - common, "..");
    steps.insert(steps.end(), targetSegments.begin() + static_cast<long>(common), targetSegments.end());
    std::string relative = Join(steps, false, trailing);
    if (relative.empty()) relative = "./";
    target.SetParts("", "", "", relative, query, fragment);
    return true;
}

// The stored host and port of a hierarchical URI, read from the written-out form of a
// copy that has nothing else to write ("file" URIs are written with "//" even without a
// host, so a port without a host shows too).
void StoredHostAndPort(const URI& uri, std::string& host, std::string& port) {
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
    host = between(copy);
    port = hostAndPort.size() > host.size() ? hostAndPort.substr(host.size() + 1) : std::string();
}

URI::RELATION RelationByTheSteps(const URI& first, const URI& second, bool caseSensitive) {
    URI a(first), b(second);
    std::string hostA = a.GetAuthority(), hostB = b.GetAuthority();
    if (URI::IsIPv6(hostA) && URI::IsIPv6(hostB)) {
        std::string fullA, fullB;
        if (URI::ExpandIPv6Addr(hostA, fullA) && URI::ExpandIPv6Addr(hostB, fullB)) {
            a.SetAuthority(fullA);
            b.SetAuthority(fullB);
        }
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
    std::string storedHostA, storedHostB, portA, portB;
    StoredHostAndPort(a, storedHostA, portA);
    StoredHostAndPort(b, storedHostB, portB);
    if (storedHostA != storedHostB) return URI::RELATION_NONE;
    const auto withDefault = [](const URI& u, const std::string& port) {
        const std::string scheme = u.GetScheme();
        if (!port.empty()) return port;
        return std::string(scheme == "http" ? "80" : scheme == "ftp" ? "21" : scheme == "sftp" ? "22" : "");
    };
    if (withDefault(a, portA) != withDefault(b, portB)) return URI::RELATION_NONE;
    const std::string pathA = a.GetPath(), pathB = b.GetPath();
    if (SameIgnoringCase(pathA, pathB, caseSensitive)) return URI::RELATION_SAME;
    if ((pathA == "/" || pathB == "/") && (pathA.empty() || pathB.empty())) return URI::RELATION_SAME;
    const Segments sa = Split(pathA), sb = Split(pathB);
    for (std::size_t i = 0; i < sa.size() && i < sb.size(); ++i) {
        if (!SameIgnoringCase(sa[i], sb[i], caseSensitive)) return URI::RELATION_NONE;
    }
    return sa.size() > sb.size() ? URI::RELATION_CHILD : sa.size() < sb.size() ? URI::RELATION_PARENT : URI::RELATION_SAME;
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

std::vector<URI> Subjects() {
    std::vector<URI> uris;
    for (const char* text :
         {"http://h/a/b/c.html?q#f", "http://h/a/b/", "http://h", "http://h/", "http://h//", "http://H:80/a//b/",
          "http://h:8080/a/B", "http://h/a%2Fb/c", "http://h/%2E%2E/x", "http://h/a/%2e/b", "http://h/a%20b/c%25d",
          "http://h/./a/../b", "http://h/../x", "http://u:p@h/a/..", "ftp://h/a/b.", "ftp://h:21/a",
          "https://h:443/a", "sftp://h:22/", "http://:80/a", "http:///a", "file://:1/x", "file:///C:/dir/f.txt",
          "file:///c:/", "file://srv/C:/x", "file:////server/share/", "http://[::1]/a/b",
          "http://[0:0:0:0:0:0:0:1]/a/", "http://[FE80::1]:80/",
          "http://[1::2::3]/a", "http://::ffff:1.2.3.4/x", "http://h%3A1%3A2/a", "http://a:b:c/d", "mailto:x@y",
          "mailto:x@y?s", "urn:a:b", "", "a", "a/", "a/b.html", "../a", "/a", "/a/b/", "//srv/share/x", "?q", "#f",
          "?q#f", ".", "..", "./", "../", "x?#", "a%2Fb", "%2F%2Fg/x", "%2E%2E/%2e", "c:/dir", "x\\y"}) {
        uris.emplace_back(text);
    }
    URI u("a/b");  // a relative reference that was given a host: it is written without it
    u.SetAuthority("g");
    uris.push_back(u);
    URI staleRelative("a/./b?x");  // the scheme set alone leaves the relative flag
    staleRelative.SetScheme("http");
    uris.push_back(staleRelative);
    URI staleAbsolute("http://h/a/b");
    staleAbsolute.SetScheme("");
    uris.push_back(staleAbsolute);
    URI rawQuery("x/y");  // a query stored as given, holding '#'
    rawQuery.SetQuery("k=#v", false);
    uris.push_back(rawQuery);
    URI emptyPathRawQuery("");
    emptyPathRawQuery.SetQuery("a#b", false);
    uris.push_back(emptyPathRawQuery);
    URI ipv6Relative("p/q");
    ipv6Relative.SetAuthority("::1");
    uris.push_back(ipv6Relative);
    URI staleIPv6("a/b");  // relative until setting the (expanded) host recomputes the flags
    staleIPv6.SetAuthority("::1");
    staleIPv6.SetScheme("http");
    uris.push_back(staleIPv6);
    URI escapedIPv6("http://h/a/");
    escapedIPv6.SetAuthority("[::%31]");
    uris.push_back(escapedIPv6);
    URI drive("file:///C:/a/b");
    drive.SetPath("/C|/a b/../c/");
    uris.push_back(drive);
    URI opaque("mailto:x");  // an opaque URI made hierarchical by its path
    opaque.SetPath("m/n");
    uris.push_back(opaque);
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

const char* const kReferences[] = {
    "", ".", "..", "./", "../", "...", "g", "g/", "./g", "../..", "../../../g", "g/../h/.", "g/..", "/./g", "/", "//",
    "//g/x", "///x", "?y", "?y#z", "?", "#s", "#", "g?", "g#", "a#b#", "x?#f", "a:b/c", "./a:b", "%2e%2e/x",
    "%2E", "%2F", "a%2Fb", "%2F%2Fh/x", "x%20y/", "a\\b", "..g", "g//h/", "g/./", "http://o/p", "mailto:m", "//[::1]/x",
    "./C|/x", "C|/x", "%", "a%zz", "a b/c d",
    ("x/../../../../../../../../../../../../../../../../../../../../../../../../../../../../../../../../../../../../../"
     "../../../../../../../../../../../../../../../../../../../../../../../../../../../../../y/./z/.")};

bool SameState(const URI& a, const URI& b) {
    return a.ToString(false) == b.ToString(false) && a.IsValidURI() == b.IsValidURI() &&
           a.IsRelative() == b.IsRelative() && a.IsHierarchical() == b.IsHierarchical() &&
           a.GetUsername() == b.GetUsername() && a.GetPassword() == b.GetPassword();
}

// ---- The comparisons ------------------------------------------------------------------

TEST(StepByStep, ChDirMovesAsItsStepsSay) {
    for (const URI& base : Subjects()) {
        for (const char* reference : kReferences) {
            for (const bool escape : {false, true}) {
                URI fast(base), slow(base);
                EXPECT_TRUE(fast.ChDir(reference, escape));
                ChDirByTheSteps(slow, reference, escape);
                EXPECT_TRUE(SameState(fast, slow)) << base.ToString(false) << " + " << reference << " (escape " << escape
                                                   << "): " << fast.ToString(false) << " vs " << slow.ToString(false);
            }
        }
    }
}

TEST(StepByStep, MakeAbsoluteURIMovesACopyOfBaseByTheWrittenReference) {
    std::vector<URI> references = Subjects();
    for (const char* text : kReferences) references.emplace_back(text);
    for (const URI& base : Subjects()) {
        for (const URI& reference : references) {
            URI fast(reference), slow(reference);
            EXPECT_EQ(fast.MakeAbsoluteURI(base), MakeAbsoluteByTheSteps(slow, base));
            EXPECT_TRUE(SameState(fast, slow)) << reference.ToString(false) << " against " << base.ToString(false) << ": "
                                               << fast.ToString(false) << " vs " << slow.ToString(false);
        }
    }
}

TEST(StepByStep, MakeRelativeURIRelationAndCommonParent) {
    const std::vector<URI> subjects = Subjects();
    for (const URI& a : subjects) {
        for (const URI& b : subjects) {
            for (const bool caseSensitive : {true, false}) {
                const std::string where = a.ToString(false).str() + " / " + b.ToString(false).str();
                URI fast(a), slow(a);
                EXPECT_EQ(fast.MakeRelativeURI(b, caseSensitive), MakeRelativeByTheSteps(slow, b, caseSensitive)) << where;
                EXPECT_TRUE(SameState(fast, slow)) << where << ": " << fast.ToString(false) << " vs " << slow.ToString(false);
                EXPECT_EQ(a.GetRelation(b, caseSensitive), RelationByTheSteps(a, b, caseSensitive)) << where;
                EXPECT_TRUE(SameState(a.GetCommonParent(b, caseSensitive), CommonParentByTheSteps(a, b, caseSensitive)))
                    << where;
            }
        }
    }
}

}  // namespace
