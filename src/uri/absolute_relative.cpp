// Absolute and relative forms: resolving a reference against a base, making an
// absolute URI relative to a base, and the nearest directory two URIs share.
//
// MakeAbsoluteURI and MakeRelativeURI work the result out before the URI changes: when
// an allocation fails it is as it was. GetCommonParent changes nothing.
#include <string>
#include <string_view>
#include <typeinfo>
#include <utility>

#include <tessera/URI.h>

#include "uri/ascii.h"
#include "uri/path_moves.h"
#include "uri/path_segment_views.h"
#include "uri/plain_paths.h"
#include "uri/separator_scan.h"
#include "uri/storage.h"

namespace Varn {

namespace uri = tessera::uri;

namespace {

// Whether a relative reference written out with this path parses back to the same path:
// no '#', '?' or backslash, no ':' before the first '/', no leading "//".
bool PathReadsBack(std::string_view path) {
    if (path.size() >= 2 && path[0] == '/' && path[1] == '/') return false;
    bool slashSeen = false;
    for (const char c : path) {
        if (c == '#' || c == '?' || c == '\\') return false;
        if (c == '/') slashSeen = true;
        if (c == ':' && !slashSeen) return false;
    }
    return true;
}

// Whether two hosts as GetAuthority returns them name the same host for MakeRelativeURI:
// equal, or two IPv6 addresses with equal full forms.
bool SameHostForRelativeForm(std::string hostTarget, std::string hostBase) {
    if (URI::IsIPv6(hostTarget) && URI::IsIPv6(hostBase)) {
        std::string fullTarget, fullBase;
        if (URI::ExpandIPv6Addr(hostTarget, fullTarget) && URI::ExpandIPv6Addr(hostBase, fullBase)) {
            return fullTarget == fullBase;
        }
    }
    return hostTarget == hostBase;
}

// Which of '%' (bit 0) and ':' (bit 1) a stored host holds. `readableFrom` is where the
// buffer that holds it begins.
unsigned HostMarks(std::string_view host, const char* readableFrom) {
    unsigned marks = 0;
#if TESSERA_SSE2
    const auto blockMarks = [](__m128i block, unsigned valid) {
        return ((uri::detail::BytesEqual(block, '%') & valid) != 0 ? 1u : 0u) |
               ((uri::detail::BytesEqual(block, ':') & valid) != 0 ? 2u : 0u);
    };
    const char* const end = host.data() + host.size();
    if (host.size() <= 16 && end - readableFrom >= 16) {
        unsigned valid;
        const __m128i block = uri::detail::LoadEndingBlock(end, host.size(), valid);
        return blockMarks(block, valid);
    }
    if (host.size() >= 16) {
        for (std::size_t i = 0; i < host.size(); i += 16) {
            unsigned valid;
            const __m128i block = uri::detail::LoadBlock(host.data(), i, host.size(), valid);
            marks |= blockMarks(block, valid);
        }
        return marks;
    }
#else
    (void)readableFrom;
#endif
    for (const char c : host) marks |= c == '%' ? 1u : c == ':' ? 2u : 0u;
    return marks;
}

// The path that leads from a directory to a target path (both unescaped): a ".." for
// each directory segment after the segments they share, then the target's; "./" for the
// directory itself.
std::string PathFromDirectory(std::string_view directoryPath, std::string_view targetPath, bool caseSensitive) {
    uri::SegmentList directory(uri::SegmentList::RoomFor(directoryPath.size()));
    directory.AppendSegmentsOf(directoryPath);
    uri::SegmentList target(uri::SegmentList::RoomFor(targetPath.size()));
    target.AppendSegmentsOf(targetPath);
    const std::size_t common = uri::CommonSegmentCount(directoryPath, targetPath, caseSensitive);
    uri::SegmentList steps(directory.Size() + target.Size());
    for (std::size_t i = common; i < directory.Size(); ++i) steps.PushBack("..");
    for (std::size_t i = common; i < target.Size(); ++i) steps.PushBack(target[i]);
    std::string relative = uri::JoinSegments(steps, false, uri::HasTrailingSlash(targetPath));
    return relative.empty() ? "./" : relative;
}

}  // namespace

// The unescaped path of base's directory: base moved by ".", as MakeRelativeURI moves a
// copy of it. Outside "file" URIs (where a drive mark is stored unescaped) that is the
// merged path itself, which reads back unchanged once stored.
std::string URI::Storage::DirectoryPathOf(const URI& base) {
    if (IsOfFileScheme(base)) {
        URI directory(base);
        directory.ChDir(".", false);
        return directory.GetPath();
    }
    const uri::Decoded path(Get(base, uri::kPath));
    return uri::MergePaths(path.View(), ".", [] { return false; });
}

// Two unequal stored hosts may still read the same (GetAuthority) only through an escape,
// or as two IPv6 addresses, which need a ':' each.
bool URI::Storage::MayReadAlike(const URI& a, const URI& b) {
    const unsigned marks = HostMarks(Get(a, uri::kAuthority), Buffer(a).data());
    const unsigned otherMarks = HostMarks(Get(b, uri::kAuthority), Buffer(b).data());
    return ((marks | otherMarks) & 1u) != 0 || (marks & otherMarks & 2u) != 0;
}

// Whether target's scheme is base's, as target.IsOfType(base.GetScheme()) answers. A plain
// URI whose base has a scheme without escapes compares the stored forms, with no copy, in
// the same pass that looks for an escape.
bool URI::Storage::HasSchemeOf(const URI& target, const URI& base) {
    if (typeid(target) != typeid(URI) || typeid(base) != typeid(URI)) return target.IsOfType(base.GetScheme());
    const std::string_view scheme = Get(target, uri::kScheme), baseScheme = Get(base, uri::kScheme);
    bool same = scheme.size() == baseScheme.size();
    for (std::size_t i = 0; i < baseScheme.size(); ++i) {
        if (baseScheme[i] == '%') return target.IsOfType(base.GetScheme());
        same = same && uri::SameByte(scheme[i], baseScheme[i], false);
    }
    return same;
}

// Climbs one level at a time until a level is the same as otherDirectory or above it, or
// no level is left.
URI URI::Storage::ClimbToCommonParent(URI& parent, const URI& otherDirectory, bool caseSensitive) {
    for (;;) {
        // A URI in the default state becomes a relative reference under "." and would
        // climb without end ("../", "../../", ...): it has no common parent either.
        if (parent.m_relative) return URI();
        const RELATION relation = parent.GetRelation(otherDirectory, caseSensitive);
        if (relation == RELATION_SAME || relation == RELATION_PARENT) return parent;
        const StringProxy before = parent.ToString(false);
        parent.ChDir("..", false);
        if (parent.ToString(false) == before) return parent;  // at the top of its hierarchy
    }
}

// Resolution when every part involved is plain (plain_paths.h): the merged path is a
// directory of base's path followed by the reference's path without its leading dots,
// both as stored; paths of plain text with dot or empty segments merge segment by segment.
// A reference with no path goes to ResolveQueryOrFragment. False, changing nothing, when
// a part is not plain text, the reference's path begins with "//", or base is a relative
// reference.
bool URI::Storage::ResolvePlain(URI& reference, const URI& base) {
    std::string_view path = Get(reference, uri::kPath);
    const std::string_view query = Get(reference, uri::kQuery), fragment = Get(reference, uri::kFragment);
    const char* const buffer = Buffer(reference).data();
    if (!uri::IsPlainQuery(query, buffer) || !uri::IsPlainQuery(fragment, buffer)) return false;
    if (path.empty()) return ResolveQueryOrFragment(reference, base);
    if (path[0] == '/') {  // an absolute path, kept as written
        if (path.size() >= 2 && path[1] == '/') return false;
        if (!uri::IsPlainText(path, buffer)) return false;
        RebuildOnBase(reference, base, path, query, fragment);
        return true;
    }
    const std::string_view basePath = Get(base, uri::kPath), wholePath = path;
    const std::size_t levelsUp = uri::TakeLeadingDots(path);
    // A path of dots alone ("./", "../../") leads to a directory of an absolute base path.
    const bool misplaced = path.empty() ? !uri::HasLeadingSlash(basePath) : path[0] == '/';
    if (base.m_relative) return false;
    const bool plainPath =
        levelsUp == 0 && path.size() == wholePath.size() ? HasPlainPath(reference) : uri::IsPlainPath(path, buffer);
    if (misplaced || !plainPath || !HasPlainPath(base)) {
        // Dot and empty segments of plain text: the paths merge as read, and read as stored.
        if (!uri::IsPlainText(wholePath, buffer) || !uri::IsPlainText(basePath, Buffer(base).data())) return false;
        RebuildOnBase(reference, base, uri::MergePaths(basePath, wholePath, [] { return false; }), query, fragment);
        return true;
    }
    RebuildOnBase(reference, base, basePath.substr(0, uri::DirectoryEnd(basePath, levelsUp)), query, fragment, path);
    return true;
}

// Resolution of a reference of a plain query or fragment alone against a base with a
// scheme and a plain absolute path: a query leads to base's directory, as "./?query"
// does; a fragment alone keeps base's path and query. False, changing nothing, for the
// empty reference and for any other base (one without a scheme is written out and read
// again on the general way, which leaves a fragment alone as it was written).
bool URI::Storage::ResolveQueryOrFragment(URI& reference, const URI& base) {
    const std::string_view query = Get(reference, uri::kQuery), fragment = Get(reference, uri::kFragment);
    const std::string_view basePath = Get(base, uri::kPath), baseQuery = Get(base, uri::kQuery);
    const char* const baseBuffer = Buffer(base).data();
    if (base.m_relative || Get(base, uri::kScheme).empty() || !uri::HasLeadingSlash(basePath) || !HasPlainPath(base)) {
        return false;
    }
    if (!query.empty()) {
        RebuildOnBase(reference, base, basePath.substr(0, uri::DirectoryEnd(basePath, 0)), query, fragment);
        return true;
    }
    if (fragment.empty() || !uri::IsPlainQuery(baseQuery, baseBuffer)) return false;
    RebuildOnBase(reference, base, basePath, baseQuery, fragment);
    return true;
}

// The relative form when every part involved is plain (plain_paths.h): a "../" for each
// segment of base's directory after those it shares with the target's path, then the rest
// of the target's path as stored. False, changing nothing, when a part is not plain.
bool URI::Storage::RelatePlain(URI& target, const URI& base, bool caseSensitive) {
    static const char kLevelsUp[] = "../../../../../../../../../../../../../../../../../../../../../../../../";
    const std::string_view path = Get(target, uri::kPath), basePath = Get(base, uri::kPath);
    const std::string_view query = Get(target, uri::kQuery), fragment = Get(target, uri::kFragment);
    const char* const buffer = Buffer(target).data();
    if (!uri::IsPlainQuery(query, buffer) || !uri::IsPlainQuery(fragment, buffer) || !HasPlainPath(target) ||
        !HasPlainPath(base)) {
        return false;
    }
    const uri::Divergence divergence =
        uri::Diverge(basePath.substr(0, uri::DirectoryEnd(basePath, 0)), path, caseSensitive);
    if (3 * divergence.levelsUp >= sizeof kLevelsUp) return false;
    std::string_view levelsUp(kLevelsUp, 3 * divergence.levelsUp);
    if (divergence.rest.empty() && divergence.levelsUp == 0) levelsUp = "./";  // the directory itself
    if (divergence.rest.empty() && divergence.levelsUp > 0 && !uri::HasTrailingSlash(path)) levelsUp.remove_suffix(1);
    const std::string_view part[uri::kPartCount] = {
        std::string_view(),
        std::string_view(),
        Get(target, uri::kUsername),
        Get(target, uri::kPassword),
        std::string_view(),
        std::string_view(),
        levelsUp,
        query,
        fragment,
    };
    Rebuild(target, part, divergence.rest);
    return true;
}

bool URI::MakeAbsoluteURI(const URI& base) {
    if (IsAbsolute() || base.IsRelative()) return false;
    if (typeid(*this) == typeid(URI) && m_hierarchical && Storage::ResolvePlain(*this, base)) return true;

    // The reference is applied to a copy of base as the text that ToString writes. A plain
    // URI whose parts read back unchanged from that text gives its parts directly.
    const std::string_view path = Storage::Get(*this, uri::kPath), query = Storage::Get(*this, uri::kQuery),
                           fragment = Storage::Get(*this, uri::kFragment);
    const bool readsBack = typeid(*this) == typeid(URI) && m_hierarchical && PathReadsBack(path) &&
                           !uri::ContainsByte(query, '#') && !uri::ContainsByte(fragment, '#');
    if (!readsBack) {
        URI resolved(base);
        resolved.ChDir(ToString(false), false);
        Storage::Swap(*this, resolved);
        return true;
    }
    if (path.empty() && query.empty() && fragment.empty()) {  // the empty reference
        CopyURI(base);
        return true;
    }
    // The copy of base that is moved answers from base's stored state.
    struct CopyOfBase {
        const URI& base;
        bool IsRelative() const { return base.m_relative; }
        bool IsOfType(std::string_view scheme) const {
            return uri::SameText(Storage::Get(base, uri::kScheme), scheme, false);
        }
    };
    const uri::Decoded referencePath(path), referenceQuery(query), referenceFragment(fragment);
    // A query-only reference is read as "./?query".
    const std::string_view movePath = path.empty() && !query.empty() ? "./" : referencePath.View();
    Storage::Move(*this, base, {movePath, referenceQuery.View(), referenceFragment.View()}, CopyOfBase{base});
    return true;
}

bool URI::MakeRelativeURI(const URI& base, bool caseSensitive) {
    if (IsRelative()) return true;
    if (base.m_relative) return false;  // a plain copy of base answers with its flag
    // Hosts differ more often than schemes do, so two plain URIs compare them first; a
    // derived class is asked IsOfType first, before any getter, as it always was.
    const bool plain = typeid(*this) == typeid(URI) && typeid(base) == typeid(URI);
    if (!plain && !Storage::HasSchemeOf(*this, base)) return false;
    const std::string_view host = Storage::Get(*this, uri::kAuthority), baseHost = Storage::Get(base, uri::kAuthority);
    const bool sameHost = host == baseHost || (Storage::MayReadAlike(*this, base) &&
                                               SameHostForRelativeForm(GetAuthority(), base.GetAuthority()));
    if (!sameHost || (plain && !Storage::HasSchemeOf(*this, base))) return false;
    if (typeid(*this) == typeid(URI) && Storage::RelatePlain(*this, base, caseSensitive)) return true;

    const uri::Decoded targetPath(Storage::Get(*this, uri::kPath));
    const std::string relative = PathFromDirectory(Storage::DirectoryPathOf(base), targetPath.View(), caseSensitive);

    if (typeid(*this) != typeid(URI)) {  // the setters ask the virtual IsOfType("file")
        SetParts("", "", "", relative, GetQuery(true), GetFragment());
        return true;
    }
    const uri::Decoded query(Storage::Get(*this, uri::kQuery)), fragment(Storage::Get(*this, uri::kFragment));
    const uri::Stored storedPath(relative, uri::s_excludedSet), storedQuery(query.View(), uri::s_newRfcSet),
        storedFragment(fragment.View(), uri::s_newRfcSet);
    const std::string_view part[uri::kPartCount] = {
        std::string_view(),
        std::string_view(),
        Storage::Get(*this, uri::kUsername),
        Storage::Get(*this, uri::kPassword),
        std::string_view(),
        std::string_view(),
        storedPath.View(),
        storedQuery.View(),
        storedFragment.View(),
    };
    Storage::Rebuild(*this, part);
    return true;
}

// The nearest common directory is the first level, climbing from this URI's directory P
// towards its root, that is the same as the other's directory Q or above it. Without a
// resolver a level's relation to Q depends on its path alone once scheme, host and port
// match, and a level is at or above Q exactly when its segments begin Q's: so the answer
// is the level with as many segments as P and Q share, reached in one step (and P's root
// when scheme, host or port differ). A resolver may map each level differently: with one
// installed, the levels are compared one by one.
URI URI::GetCommonParent(const URI& other, bool caseSensitive) const {
    URI parent = Resolve(*this);
    URI otherDirectory = Resolve(other);
    if (parent.m_relative || otherDirectory.m_relative) return URI();
    parent.ChDir(".", false);
    otherDirectory.ChDir(".", false);
    if (m_Resolver) return Storage::ClimbToCommonParent(parent, otherDirectory, caseSensitive);
    if (parent.m_relative) return URI();
    const RELATION relation = parent.GetRelation(otherDirectory, caseSensitive);
    if (relation == RELATION_SAME || relation == RELATION_PARENT) return parent;

    const StringProxy path = parent.GetPath();
    const bool leading = uri::HasLeadingSlash(path.str());
    URI top(parent);
    top.SetPath(leading ? "/" : "");
    if (top.GetRelation(otherDirectory, caseSensitive) == RELATION_NONE) return top;  // nothing above is shared
    const StringProxy otherPath = otherDirectory.GetPath();
    const std::size_t shared = uri::CommonSegmentCount(path.str(), otherPath.str(), caseSensitive);
    uri::SegmentList segments(uri::SegmentList::RoomFor(path.size()));
    segments.AppendSegmentsOf(path.str());
    while (segments.Size() > shared) segments.PopBack();
    parent.SetPath(uri::JoinSegments(segments, leading, true));
    return parent;
}

URI URI::GetCommonParentByString(StringProxy first, StringProxy second, bool caseSensitive) {
    const URI resolvedFirst = Resolve(URI(first));
    return resolvedFirst.GetCommonParent(URI(second), caseSensitive);
}

}  // namespace Varn
