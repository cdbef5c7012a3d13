// Absolute and relative forms: resolving a reference against a base, making an
// absolute URI relative to a base, and the nearest directory two URIs share.
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include <tessera/URI.h>

#include "uri/path_segment_views.h"

namespace Varn {

bool URI::MakeAbsoluteURI(const URI& base) {
    if (IsAbsolute() || base.IsRelative()) return false;
    URI resolved(base);
    resolved.ChDir(ToString(false), false);
    // The scratch URI is dropped afterwards, so its strings can be taken over whole.
    m_Scheme.swap(resolved.m_Scheme);
    m_Authority.swap(resolved.m_Authority);
    m_ServerPort.swap(resolved.m_ServerPort);
    m_Path.swap(resolved.m_Path);
    m_Query.swap(resolved.m_Query);
    m_Fragment.swap(resolved.m_Fragment);
    m_Username.swap(resolved.m_Username);
    m_Password.swap(resolved.m_Password);
    m_NonHierarchical.swap(resolved.m_NonHierarchical);
    m_Valid = resolved.m_Valid;
    m_Relative = resolved.m_Relative;
    m_Hierarchical = resolved.m_Hierarchical;
    return true;
}

bool URI::MakeRelativeURI(const URI& base, bool caseSensitive) {
    if (IsRelative()) return true;
    URI directory(base);
    if (directory.IsRelative()) return false;
    if (!IsOfType(base.GetScheme())) return false;

    // Hosts, two IPv6 literals in their full forms when both expand.
    std::string hostTarget = GetAuthority().str();
    std::string hostBase = base.GetAuthority().str();
    if (IsIPv6(hostTarget) && IsIPv6(hostBase)) {
        std::string fullTarget, fullBase;
        if (ExpandIPv6Addr(hostTarget, fullTarget) && ExpandIPv6Addr(hostBase, fullBase)) {
            hostTarget.swap(fullTarget);
            hostBase.swap(fullBase);
        }
    }
    if (hostTarget != hostBase) return false;

    directory.ChDir(".", false);
    const StringProxy targetPath = GetPath();
    const StringProxy basePath = directory.GetPath();
    std::vector<std::string_view> targetSegments, baseSegments;
    targetSegments.reserve(uri_detail::MaxSegmentCount(targetPath.str()));
    baseSegments.reserve(uri_detail::MaxSegmentCount(basePath.str()));
    uri_detail::AppendSegments(targetPath.str(), targetSegments);
    uri_detail::AppendSegments(basePath.str(), baseSegments);

    std::size_t common = 0;
    while (common < targetSegments.size() && common < baseSegments.size() &&
           uri_detail::SameText(targetSegments[common], baseSegments[common], caseSensitive)) {
        ++common;
    }
    std::vector<std::string_view> steps(baseSegments.size() - common, std::string_view(".."));
    steps.insert(steps.end(), targetSegments.begin() + static_cast<std::ptrdiff_t>(common), targetSegments.end());
    std::string relative = uri_detail::JoinSegments(steps, false, uri_detail::HasTrailingSlash(targetPath.str()));
    if (relative.empty()) relative = "./";

    SetParts("", "", "", relative, GetQuery(true), GetFragment());
    return true;
}

URI URI::GetCommonParent(const URI& other, bool caseSensitive) const {
    URI parent = Resolve(*this);
    URI otherDirectory = Resolve(other);
    if (parent.m_Relative || otherDirectory.m_Relative) return URI();
    parent.ChDir(".", false);
    otherDirectory.ChDir(".", false);
    for (;;) {
        // A URI in the default state becomes a relative reference under "." and would
        // climb without end ("../", "../../", ...): it has no common parent either.
        if (parent.m_Relative) return URI();
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
