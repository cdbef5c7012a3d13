// How two URIs stand to each other (none, child, same, parent), host comparison, and
// the default ports that a URI without an explicit port is taken to use.
#include <string>
#include <string_view>

#include <tessera/URI.h>

#include "uri/path_segment_views.h"

namespace Varn {
namespace {

struct DefaultPort {
    const char* scheme;  // as stored: lower case
    const char* port;
};

// Searched in this order; every other scheme has the empty default port.
constexpr DefaultPort kDefaultPorts[] = {
    {"http", "80"},
    {"ftp", "21"},
    {"file", ""},
    {"sftp", "22"},
};

// Whether a stored host can read as an IPv6 address: without ':' or an escape it
// reads as itself and holds no ':'.
bool MayBeIPv6Host(const std::string& storedAuthority) {
    return storedAuthority.find_first_of(":%") != std::string::npos;
}

}  // namespace

std::string URI::GetDefaultPort() const {
    for (const DefaultPort& entry : kDefaultPorts) {
        if (m_Scheme == entry.scheme) return entry.port;
    }
    return std::string();
}

URI::RELATION URI::GetRelation(const URI& other, bool caseSensitive) const {
    // Steps after the hosts are made comparable; reads only stored components of a and b.
    const auto relateResolved = [caseSensitive](const URI& a, const URI& b) -> RELATION {
        if (a.m_Relative || b.m_Relative) return RELATION_NONE;
        if (!a.m_Hierarchical || !b.m_Hierarchical) {
            if (a.m_Hierarchical != b.m_Hierarchical) return RELATION_NONE;
            if (a.m_Scheme != b.m_Scheme || a.m_NonHierarchical != b.m_NonHierarchical) return RELATION_NONE;
            return RELATION_SAME;
        }
        if (a.m_Scheme != b.m_Scheme || a.m_Authority != b.m_Authority) return RELATION_NONE;
        const std::string portA = a.m_ServerPort.empty() ? a.GetDefaultPort() : a.m_ServerPort;
        const std::string portB = b.m_ServerPort.empty() ? b.GetDefaultPort() : b.m_ServerPort;
        if (portA != portB) return RELATION_NONE;

        // Paths, unescaped; a path without escapes reads as stored.
        const bool escapedA = a.m_Path.find('%') != std::string::npos;
        const bool escapedB = b.m_Path.find('%') != std::string::npos;
        const StringProxy unescapedA = escapedA ? a.GetPath() : StringProxy();
        const StringProxy unescapedB = escapedB ? b.GetPath() : StringProxy();
        const std::string_view pathA = escapedA ? unescapedA.str() : a.m_Path;
        const std::string_view pathB = escapedB ? unescapedB.str() : b.m_Path;
        if (uri_detail::SameText(pathA, pathB, caseSensitive)) return RELATION_SAME;
        if ((pathA == "/" || pathB == "/") && (pathA.empty() || pathB.empty())) return RELATION_SAME;

        uri_detail::SegmentCursor cursorA(pathA), cursorB(pathB);
        std::string_view segmentA, segmentB;
        for (;;) {
            const bool moreA = cursorA.Next(segmentA);
            const bool moreB = cursorB.Next(segmentB);
            if (moreA && moreB) {
                if (!uri_detail::SameText(segmentA, segmentB, caseSensitive)) return RELATION_NONE;
                continue;
            }
            if (moreA) return RELATION_CHILD;
            if (moreB) return RELATION_PARENT;
            return RELATION_SAME;
        }
    };

    // Two IPv6 hosts are compared in their full forms when both expand.
    const auto relate = [&relateResolved](const URI& a, const URI& b) -> RELATION {
        if (MayBeIPv6Host(a.m_Authority) && MayBeIPv6Host(b.m_Authority)) {
            const StringProxy hostA = a.GetAuthority();
            const StringProxy hostB = b.GetAuthority();
            std::string fullA, fullB;
            if (IsIPv6(hostA) && IsIPv6(hostB) && ExpandIPv6Addr(hostA, fullA) && ExpandIPv6Addr(hostB, fullB)) {
                URI expandedA(a), expandedB(b);
                expandedA.SetAuthority(fullA);
                expandedB.SetAuthority(fullB);
                return relateResolved(expandedA, expandedB);
            }
        }
        return relateResolved(a, b);
    };

    // Without a resolver, resolving gives copies equal to the originals.
    if (!m_Resolver) return relate(*this, other);
    const URI a = Resolve(*this);
    const URI b = Resolve(other);
    return relate(a, b);
}

URI::RELATION URI::GetRelationByString(StringProxy first, StringProxy second) {
    URI a(first), b(second);
    if (m_Resolver) {
        a = Resolve(a);
        b = Resolve(b);
    }
    return a.GetRelation(b, true);
}

bool URI::CompareAuthority(StringProxy first, StringProxy second) {
    URI a(first), b(second);
    if (m_Resolver) {
        a = Resolve(a);
        b = Resolve(b);
    }
    return a.GetAuthority() == b.GetAuthority();
}

}  // namespace Varn
