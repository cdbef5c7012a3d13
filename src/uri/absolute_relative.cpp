// Absolute and relative forms: resolving a reference against a base, making an
// absolute URI relative to a base, and the nearest directory two URIs share.
#include <string>
#include <string_view>
#include <typeinfo>
#include <utility>
#include <vector>

#include <tessera/URI.h>

#include "uri/ascii.h"
#include "uri/path_moves.h"
#include "uri/path_segment_views.h"

namespace Varn {

using tessera::uri::MoveByReference;
using tessera::uri::UnescapedView;

namespace {

// Whether a relative reference written out with this path parses back to the same path:
// no '#', '?' or backslash, no ':' before the first '/', no leading "//".
bool PathReadsBack(const std::string& path) {
    if (path.size() >= 2 && path[0] == '/' && path[1] == '/') return false;
    bool slashSeen = false;
    for (const char c : path) {
        if (c == '#' || c == '?' || c == '\\') return false;
        if (c == '/') slashSeen = true;
        if (c == ':' && !slashSeen) return false;
    }
    return true;
}

}  // namespace

bool URI::MakeAbsoluteURI(const URI& base) {
    if (IsAbsolute() || base.IsRelative()) return false;

    // The reference is applied to a copy of base as the text that ToString writes. A plain
    // URI whose components read back unchanged from that text gives its parts directly.
    const bool readsBack = typeid(*this) == typeid(URI) && m_hierarchical && PathReadsBack(m_path) &&
                           !tessera::uri::ContainsByte(m_query, '#') && !tessera::uri::ContainsByte(m_fragment, '#');
    if (!readsBack) {
        URI resolved(base);
        resolved.ChDir(ToString(false), false);
        CopyURI(resolved);
        return true;
    }
    if (m_path.empty() && m_query.empty()) {  // empty or fragment-only: base's path and query stay
        const std::string fragment = std::move(m_fragment);
        CopyURI(base);
        if (!fragment.empty()) SetFragment(Unescape(fragment, false));
        return true;
    }
    // The move replaces path, query and fragment, and reads this URI's own (the
    // reference's) before it does; everything else comes from base.
    StringProxy unescapedPath, unescapedQuery, unescapedFragment, unescapedBasePath;
    const tessera::uri::ReferenceParts reference{
        // A query-only reference is read as "./?query".
        m_path.empty() ? std::string_view("./") : UnescapedView(m_path, unescapedPath),
        UnescapedView(m_query, unescapedQuery), UnescapedView(m_fragment, unescapedFragment)};
    const auto take = [](std::string& to, const std::string& from) {
        if (!to.empty() || !from.empty()) to = from;  // mostly empty: no call
    };
    take(m_scheme, base.m_scheme);
    take(m_authority, base.m_authority);
    take(m_serverPort, base.m_serverPort);
    take(m_username, base.m_username);
    take(m_password, base.m_password);
    take(m_nonHierarchical, base.m_nonHierarchical);
    m_valid = base.m_valid;
    m_relative = base.m_relative;
    m_hierarchical = base.m_hierarchical;
    MoveByReference(*this, {UnescapedView(base.m_path, unescapedBasePath), m_query.empty(), m_fragment.empty()},
                    reference);
    return true;
}

bool URI::MakeRelativeURI(const URI& base, bool caseSensitive) {
    if (IsRelative()) return true;
    if (base.m_relative) return false;  // a plain copy of base answers with its flag
    if (!IsOfType(base.GetScheme())) return false;

    // Hosts, two IPv6 literals in their full forms when both expand. A host stored
    // without brackets, colons and escapes reads as it is stored.
    const auto plainHost = [](const std::string& host) {
        for (const char c : host) {
            if (c == '[' || c == ':' || c == '%') return false;
        }
        return true;
    };
    if (plainHost(m_authority) && plainHost(base.m_authority)) {
        if (m_authority != base.m_authority) return false;
    } else {
        StringProxy hostTarget = GetAuthority(), hostBase = base.GetAuthority();
        if (IsIPv6(hostTarget) && IsIPv6(hostBase)) {
            std::string fullTarget, fullBase;
            if (ExpandIPv6Addr(hostTarget, fullTarget) && ExpandIPv6Addr(hostBase, fullBase)) {
                hostTarget = std::move(fullTarget);
                hostBase = std::move(fullBase);
            }
        }
        if (hostTarget != hostBase) return false;
    }

    // The directory of base: its path moved by ".". Outside "file" URIs (where a drive
    // mark is stored unescaped) that path reads back as the segments that the move
    // leaves: base's own without its file name, dots worked out, nothing above the root.
    const bool fileBase = tessera::uri::SameText(base.m_scheme, "file", false);
    URI directory;
    StringProxy unescapedBasePath;
    std::string_view basePath;
    if (fileBase) {
        directory = base;
        directory.ChDir(".", false);
        unescapedBasePath = directory.GetPath();
        basePath = unescapedBasePath.str();
    } else {
        basePath = UnescapedView(base.m_path, unescapedBasePath);
    }
    tessera::uri::SegmentList baseSegments(tessera::uri::SegmentList::RoomFor(basePath.size()));
    baseSegments.AppendSegmentsOf(basePath);
    if (!fileBase) {
        if (!tessera::uri::HasTrailingSlash(basePath) && !baseSegments.Empty()) baseSegments.PopBack();
        baseSegments.RemoveDotSegments([] { return false; });
    }

    StringProxy unescapedTargetPath;
    const std::string_view targetPath = UnescapedView(m_path, unescapedTargetPath);
    tessera::uri::SegmentList targetSegments(tessera::uri::SegmentList::RoomFor(targetPath.size()));
    targetSegments.AppendSegmentsOf(targetPath);

    std::size_t common = 0;
    while (common < targetSegments.Size() && common < baseSegments.Size() &&
           tessera::uri::SameText(targetSegments[common], baseSegments[common], caseSensitive)) {
        ++common;
    }
    tessera::uri::SegmentList steps(baseSegments.Size() + targetSegments.Size());
    for (std::size_t i = common; i < baseSegments.Size(); ++i) steps.PushBack("..");
    for (std::size_t i = common; i < targetSegments.Size(); ++i) steps.PushBack(targetSegments[i]);
    std::string relative = tessera::uri::JoinSegments(steps, false, tessera::uri::HasTrailingSlash(targetPath));
    if (relative.empty()) relative = "./";

    SetParts("", "", "", std::move(relative), GetQuery(true), GetFragment());
    return true;
}

URI URI::GetCommonParent(const URI& other, bool caseSensitive) const {
    URI parent = Resolve(*this);
    URI otherDirectory = Resolve(other);
    if (parent.m_relative || otherDirectory.m_relative) return URI();
    parent.ChDir(".", false);
    otherDirectory.ChDir(".", false);
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

URI URI::GetCommonParentByString(StringProxy first, StringProxy second, bool caseSensitive) {
    const URI resolvedFirst = Resolve(URI(first));
    return resolvedFirst.GetCommonParent(URI(second), caseSensitive);
}

}  // namespace Varn
