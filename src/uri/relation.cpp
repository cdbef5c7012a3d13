// How two URIs stand to each other (none, child, same, parent), host comparison, and
// the default ports that a URI without an explicit port is taken to use.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>

#include <tessera/URI.h>

#include "uri/storage.h"

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

constexpr std::uint64_t kEveryByteOne = 0x0101010101010101ULL;
constexpr std::uint64_t kEveryByteHigh = 0x8080808080808080ULL;

std::uint64_t Load8(const char* bytes) {
    std::uint64_t word;
    std::memcpy(&word, bytes, 8);
    return word;
}

bool HasZeroByte(std::uint64_t v) { return ((v - kEveryByteOne) & ~v & kEveryByteHigh) != 0; }

// Whether text holds byte x or byte y; eight bytes at a time.
bool ContainsEither(std::string_view text, char x, char y) {
    const std::uint64_t xs = kEveryByteOne * static_cast<unsigned char>(x);
    const std::uint64_t ys = kEveryByteOne * static_cast<unsigned char>(y);
    std::size_t k = 0;
    for (; k + 8 <= text.size(); k += 8) {
        const std::uint64_t word = Load8(text.data() + k);
        if (HasZeroByte(word ^ xs) || HasZeroByte(word ^ ys)) return true;
    }
    for (; k < text.size(); ++k) {
        if (text[k] == x || text[k] == y) return true;
    }
    return false;
}

// The length of the common beginning of a and b; eight bytes at a time.
std::size_t CommonPrefixLength(std::string_view a, std::string_view b) {
    const std::size_t n = std::min(a.size(), b.size());
    std::size_t k = 0;
    while (k + 8 <= n && Load8(a.data() + k) == Load8(b.data() + k)) k += 8;
    while (k < n && a[k] == b[k]) ++k;
    return k;
}

// The common beginning of two stored paths, and whether either path holds an escape.
// The common part is read once, from a.
struct PathComparison {
    std::size_t common;
    bool escaped;
};

PathComparison ComparePaths(std::string_view a, std::string_view b) {
    constexpr std::uint64_t kPercents = kEveryByteOne * '%';
    const std::size_t n = std::min(a.size(), b.size());
    std::size_t k = 0;
    bool escaped = false;
    for (; k + 8 <= n; k += 8) {
        const std::uint64_t word = Load8(a.data() + k);
        if (word != Load8(b.data() + k)) break;
        escaped = escaped || HasZeroByte(word ^ kPercents);
    }
    for (; k < n && a[k] == b[k]; ++k) escaped = escaped || a[k] == '%';
    escaped = escaped || a.find('%', k) != std::string_view::npos || b.find('%', k) != std::string_view::npos;
    return {k, escaped};
}

// Whether a stored host can read as an IPv6 address: without ':' or an escape it
// reads as itself and holds no ':'.
bool MayBeIPv6Host(std::string_view storedAuthority) { return ContainsEither(storedAuthority, ':', '%'); }

bool SameLetter(char a, char b, bool caseSensitive) {
    if (a == b) return true;
    if (caseSensitive) return false;
    if (a >= 'A' && a <= 'Z') a = static_cast<char>(a - 'A' + 'a');
    if (b >= 'A' && b <= 'Z') b = static_cast<char>(b - 'A' + 'a');
    return a == b;
}

// Relates two paths by their segments (the non-empty pieces between slashes): a
// differing segment makes them unrelated, otherwise the one with segments left over lies
// below the other. Two equal texts, and the root and the empty path, come out the same.
// Their common beginning (common bytes) splits alike, so the walk starts at the last
// segment that it reaches into.
Varn::URI::RELATION RelateSegments(std::string_view a, std::string_view b, std::size_t common, bool caseSensitive) {
    const std::size_t segmentStart = common == 0 ? 0 : a.rfind('/', common - 1);
    std::size_t i = segmentStart == std::string_view::npos ? 0 : segmentStart, j = i;
    for (;;) {
        while (i < a.size() && a[i] == '/') ++i;
        while (j < b.size() && b[j] == '/') ++j;
        const bool moreA = i < a.size(), moreB = j < b.size();
        if (!moreA || !moreB) {
            return moreA ? Varn::URI::RELATION_CHILD : moreB ? Varn::URI::RELATION_PARENT : Varn::URI::RELATION_SAME;
        }
        while (i < a.size() && j < b.size() && a[i] != '/' && b[j] != '/') {
            if (!SameLetter(a[i], b[j], caseSensitive)) return Varn::URI::RELATION_NONE;
            ++i;
            ++j;
        }
        const bool segmentEndA = i == a.size() || a[i] == '/', segmentEndB = j == b.size() || b[j] == '/';
        if (!segmentEndA || !segmentEndB) return Varn::URI::RELATION_NONE;
    }
}

}  // namespace

std::string URI::GetDefaultPort() const {
    const std::string_view scheme = Storage::Get(*this, tessera::uri::kScheme);
    for (const DefaultPort& entry : kDefaultPorts) {
        if (scheme == entry.scheme) return entry.port;
    }
    return std::string();
}

URI::RELATION URI::GetRelation(const URI& other, bool caseSensitive) const {
    // Without a resolver, resolving gives copies equal to the originals.
    const URI* a = this;
    const URI* b = &other;
    std::unique_ptr<URI> resolvedA, resolvedB;
    if (m_Resolver) {
        resolvedA = std::make_unique<URI>(Resolve(*this));
        resolvedB = std::make_unique<URI>(Resolve(other));
        a = resolvedA.get();
        b = resolvedB.get();
    }

    // Two IPv6 hosts are compared in their full forms when both expand. That can only
    // change the outcome for hosts that differ as stored, or for flags that setting the
    // host recomputes.
    using tessera::uri::kAuthority;
    const auto settled = [](const URI& u) {
        const std::string_view scheme = Storage::Get(u, tessera::uri::kScheme);
        return u.m_hierarchical && Storage::Empty(u, tessera::uri::kNonHierarchical) &&
               u.m_relative == (scheme.empty() || scheme == "unknown");
    };
    bool sameHost = Storage::Get(*a, kAuthority) == Storage::Get(*b, kAuthority);
    std::unique_ptr<URI> expandedA, expandedB;
    if ((!sameHost || !settled(*a) || !settled(*b)) && MayBeIPv6Host(Storage::Get(*a, kAuthority)) &&
        MayBeIPv6Host(Storage::Get(*b, kAuthority))) {
        const StringProxy hostA = a->GetAuthority(), hostB = b->GetAuthority();
        std::string fullA, fullB;
        if (IsIPv6(hostA) && IsIPv6(hostB) && ExpandIPv6Addr(hostA, fullA) && ExpandIPv6Addr(hostB, fullB)) {
            expandedA = std::make_unique<URI>(*a);
            expandedB = std::make_unique<URI>(*b);
            expandedA->SetAuthority(fullA);
            expandedB->SetAuthority(fullB);
            a = expandedA.get();
            b = expandedB.get();
            sameHost = Storage::Get(*a, kAuthority) == Storage::Get(*b, kAuthority);
        }
    }
    // Only a hierarchical URI has a host, so two different hosts make two different
    // places whatever the other components say.
    if (!sameHost) return RELATION_NONE;

    if (a->m_relative || b->m_relative) return RELATION_NONE;
    if (!a->m_hierarchical || !b->m_hierarchical) {
        if (a->m_hierarchical != b->m_hierarchical) return RELATION_NONE;
        const bool same =
            Storage::Get(*a, tessera::uri::kScheme) == Storage::Get(*b, tessera::uri::kScheme) &&
            Storage::Get(*a, tessera::uri::kNonHierarchical) == Storage::Get(*b, tessera::uri::kNonHierarchical);
        return same ? RELATION_SAME : RELATION_NONE;
    }
    if (Storage::Get(*a, tessera::uri::kScheme) != Storage::Get(*b, tessera::uri::kScheme)) return RELATION_NONE;
    // Without explicit ports, the equal schemes give equal default ports.
    const std::string_view storedPortA = Storage::Get(*a, tessera::uri::kServerPort),
                           storedPortB = Storage::Get(*b, tessera::uri::kServerPort);
    if (!storedPortA.empty() || !storedPortB.empty()) {
        const std::string portA = storedPortA.empty() ? a->GetDefaultPort() : std::string(storedPortA);
        const std::string portB = storedPortB.empty() ? b->GetDefaultPort() : std::string(storedPortB);
        if (portA != portB) return RELATION_NONE;
    }
    // Paths, unescaped. Equal texts, and the root against the empty path, are the same
    // place; so are equal segment lists.
    const std::string_view storedPathA = Storage::Get(*a, tessera::uri::kPath),
                           storedPathB = Storage::Get(*b, tessera::uri::kPath);
    const PathComparison stored = ComparePaths(storedPathA, storedPathB);
    if (!stored.escaped) return RelateSegments(storedPathA, storedPathB, stored.common, caseSensitive);
    const StringProxy unescapedA = a->GetPath(), unescapedB = b->GetPath();
    const std::string_view pathA = unescapedA.str(), pathB = unescapedB.str();
    return RelateSegments(pathA, pathB, CommonPrefixLength(pathA, pathB), caseSensitive);
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
