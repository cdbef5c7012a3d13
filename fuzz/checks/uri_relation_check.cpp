// uri_relation: two URIs (the input's first line and the rest) moved, resolved, made
// relative and compared.
//
// Properties:
// - GetRelation is symmetric: CHILD one way exactly when PARENT the other, SAME and NONE
//   both ways, for either case mode; a URI is SAME to itself unless it is relative
//   (NONE); GetRelationByString is GetRelation of the parsed texts, case-sensitive;
//   CompareAuthority is equality of the two GetAuthority results.
// - ChDir always returns true; an empty reference changes nothing. With escape true a
//   non-empty reference that does not begin with "//" is a path only: scheme, host and
//   port stay, query and fragment are cleared, and on an absolute base a reference that
//   does not begin with '/' leaves no "." or ".." segment in the path.
// - MakeAbsoluteURI succeeds exactly for a relative reference and a base that is not
//   relative, and changes nothing when it fails.
// - MakeRelativeURI changes nothing when it fails or when the URI is already relative;
//   after it succeeds the URI is relative, has a path and keeps its query and fragment;
//   it fails against a relative base or a base of another scheme.
// - GetCommonParent ends (the fuzzer's time-out catches a loop), gives the default URI
//   when either side is relative and otherwise a URI without query or fragment;
//   GetCommonParentByString gives the same result.
#include <string>
#include <vector>

#include <tessera/URI.h>

#include "check.h"
#include "uri_text.h"

namespace tessera::fuzz {

namespace {

constexpr const char* kCheckName = "uri_relation";
using Varn::URI;

const char* RelationName(URI::RELATION r) {
    switch (r) {
        case URI::RELATION_NONE:
            return "NONE";
        case URI::RELATION_CHILD:
            return "CHILD";
        case URI::RELATION_SAME:
            return "SAME";
        case URI::RELATION_PARENT:
            return "PARENT";
    }
    return "?";
}

URI::RELATION Mirror(URI::RELATION r) {
    if (r == URI::RELATION_CHILD) return URI::RELATION_PARENT;
    if (r == URI::RELATION_PARENT) return URI::RELATION_CHILD;
    return r;
}

void CheckRelations(const URI& a, const URI& b, const std::string& ta, const std::string& tb) {
    const std::string pair = Quote(ta) + " vs " + Quote(tb);
    for (bool caseSensitive : {true, false}) {
        const URI::RELATION ab = a.GetRelation(b, caseSensitive);
        const URI::RELATION ba = b.GetRelation(a, caseSensitive);
        TESSERA_FUZZ_REQUIRE(ba == Mirror(ab), pair + " " + RelationName(ab) + "/" + RelationName(ba));
        const URI::RELATION self = a.GetRelation(a, caseSensitive);
        TESSERA_FUZZ_REQUIRE(self == (a.IsRelative() ? URI::RELATION_NONE : URI::RELATION_SAME),
                             Quote(ta) + " " + RelationName(self));
    }
    TESSERA_FUZZ_REQUIRE(URI::GetRelationByString(ta, tb) == a.GetRelation(b, true), pair);
    TESSERA_FUZZ_REQUIRE(URI::CompareAuthority(ta, tb) == (a.GetAuthority() == b.GetAuthority()), pair);
}

bool HasDotSegment(const std::string& path) {
    std::size_t start = 0;
    while (start <= path.size()) {
        std::size_t end = path.find('/', start);
        if (end == std::string::npos) end = path.size();
        const std::string segment = path.substr(start, end - start);
        if (segment == "." || segment == "..") return true;
        start = end + 1;
    }
    return false;
}

void CheckChDir(const URI& base, const std::string& reference, const std::string& tb) {
    const std::string pair = Quote(tb) + " moved by " + Quote(reference);
    for (bool escape : {false, true}) {
        URI moved(base);
        TESSERA_FUZZ_REQUIRE(moved.ChDir(reference, escape), pair);
        if (reference.empty()) TESSERA_FUZZ_REQUIRE(Snapshot(moved) == Snapshot(base), pair);
    }
    if (reference.empty() || reference.compare(0, 2, "//") == 0 || base.GetScheme() == "unknown") return;
    URI moved(base);
    moved.ChDir(reference, true);
    TESSERA_FUZZ_REQUIRE(moved.GetScheme() == base.GetScheme() && moved.GetAuthority() == base.GetAuthority() &&
                             moved.GetServerPort() == base.GetServerPort(),
                         pair + " -> " + Quote(moved.ToString(false)));
    TESSERA_FUZZ_REQUIRE(moved.GetQuery(false).empty() && moved.GetFragment().empty(),
                         pair + " -> " + Quote(moved.ToString(false)));
    if (!base.IsRelative() && reference[0] != '/')
        TESSERA_FUZZ_REQUIRE(!HasDotSegment(moved.GetPath()), pair + " -> " + Quote(moved.GetPath()));
}

void CheckAbsolute(const URI& reference, const URI& base, const std::string& pair) {
    URI made(reference);
    const bool done = made.MakeAbsoluteURI(base);
    TESSERA_FUZZ_REQUIRE(done == (reference.IsRelative() && !base.IsRelative()), pair);
    if (!done) TESSERA_FUZZ_REQUIRE(Snapshot(made) == Snapshot(reference), pair);
}

void CheckRelative(const URI& target, const URI& base, const std::string& pair) {
    for (bool caseSensitive : {true, false}) {
        URI made(target);
        const bool done = made.MakeRelativeURI(base, caseSensitive);
        if (!done || target.IsRelative()) {
            TESSERA_FUZZ_REQUIRE(Snapshot(made) == Snapshot(target), pair + " -> " + Quote(made.ToString(false)));
            if (target.IsRelative()) TESSERA_FUZZ_REQUIRE(done, pair);
            continue;
        }
        TESSERA_FUZZ_REQUIRE(!base.IsRelative() && target.IsOfType(base.GetScheme()), pair);
        TESSERA_FUZZ_REQUIRE(made.IsRelative() && !made.GetPath().empty() &&
                                 made.GetQuery(true) == target.GetQuery(true) &&
                                 made.GetFragment() == target.GetFragment(),
                             pair + " -> " + Quote(made.ToString(false)));
    }
}

void CheckCommonParent(const URI& a, const URI& b, const std::string& ta, const std::string& tb) {
    const std::string pair = Quote(ta) + " and " + Quote(tb);
    for (bool caseSensitive : {true, false}) {
        const URI parent = a.GetCommonParent(b, caseSensitive);
        if (a.IsRelative() || b.IsRelative()) {
            TESSERA_FUZZ_REQUIRE(IsDefaultState(parent), pair + " -> " + Quote(parent.ToString(false)));
        } else {
            TESSERA_FUZZ_REQUIRE(parent.GetQuery(false).empty() && parent.GetFragment().empty(),
                                 pair + " -> " + Quote(parent.ToString(false)));
        }
        const URI byString = URI::GetCommonParentByString(ta, tb, caseSensitive);
        TESSERA_FUZZ_REQUIRE(Snapshot(byString) == Snapshot(parent), pair);
    }
}

}  // namespace

void CheckUriRelation(const std::uint8_t* data, std::size_t size) {
    const std::vector<std::string> fields = SplitFields(data, size, 2);
    const URI a{URI::StringProxy(fields[0])};
    const URI b{URI::StringProxy(fields[1])};
    const std::string pair = Quote(fields[0]) + " against " + Quote(fields[1]);

    CheckRelations(a, b, fields[0], fields[1]);
    CheckChDir(b, fields[0], fields[1]);
    CheckAbsolute(a, b, pair);
    CheckRelative(a, b, pair);
    CheckCommonParent(a, b, fields[0], fields[1]);
}

}  // namespace tessera::fuzz
