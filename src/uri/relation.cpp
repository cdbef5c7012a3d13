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

// The two URIs that GetRelation compares: resolved when a resolver is installed, and
// with two IPv6 hosts in their full forms when both expand. Copies are made only when
// one of these changes something.
class URI::Storage::ComparedPair {
public:
    ComparedPair(const URI& a, const URI& b) : m_a(&a), m_b(&b) {
        if (!m_Resolver) return;
        Own(Resolve(a), Resolve(b));
    }
    const URI& A() const { return *m_a; }
    const URI& B() const { return *m_b; }

    /// Whether the hosts are equal as stored, after the expansion of two IPv6 hosts. That
    /// can only change the outcome for hosts that differ as stored, or for flags that
    /// setting the host recomputes.
    bool SameHost() {
        const bool same = Get(*m_a, kAuthority) == Get(*m_b, kAuthority);
        if (same && Settled(*m_a) && Settled(*m_b)) return same;
        if (!MayBeIPv6Host(Get(*m_a, kAuthority)) || !MayBeIPv6Host(Get(*m_b, kAuthority))) return same;
        const StringProxy hostA = m_a->GetAuthority(), hostB = m_b->GetAuthority();
        std::string fullA, fullB;
        if (!IsIPv6(hostA) || !IsIPv6(hostB) || !ExpandIPv6Addr(hostA, fullA) || !ExpandIPv6Addr(hostB, fullB)) {
            return same;
        }
        Own(*m_a, *m_b);
        m_ownedA->SetAuthority(fullA);
        m_ownedB->SetAuthority(fullB);
        return Get(*m_a, kAuthority) == Get(*m_b, kAuthority);
    }

private:
    static constexpr tessera::uri::Part kAuthority = tessera::uri::kAuthority;

    // Whether setting the host would leave the flags as they are.
    static bool Settled(const URI& u) {
        const std::string_view scheme = Get(u, tessera::uri::kScheme);
        return u.m_hierarchical && Empty(u, tessera::uri::kNonHierarchical) &&
               u.m_relative == (scheme.empty() || scheme == "unknown");
    }
    void Own(const URI& a, const URI& b) {
        auto ownedA = std::make_unique<URI>(a);
        m_ownedB = std::make_unique<URI>(b);
        m_ownedA = std::move(ownedA);
        m_a = m_ownedA.get();
        m_b = m_ownedB.get();
    }

    const URI* m_a;
    const URI* m_b;
    std::unique_ptr<URI> m_ownedA, m_ownedB;
};

// Two non-hierarchical URIs are the same when their schemes and texts are.
URI::RELATION URI::Storage::RelateOpaque(const URI& a, const URI& b) {
    if (a.m_hierarchical != b.m_hierarchical) return RELATION_NONE;
    const bool same = Get(a, tessera::uri::kScheme) == Get(b, tessera::uri::kScheme) &&
                      Get(a, tessera::uri::kNonHierarchical) == Get(b, tessera::uri::kNonHierarchical);
    return same ? RELATION_SAME : RELATION_NONE;
}

// The same scheme, and the same port, a missing one being the scheme's default.
bool URI::Storage::SameSchemeAndPort(const URI& a, const URI& b) {
    if (Get(a, tessera::uri::kScheme) != Get(b, tessera::uri::kScheme)) return false;
    const std::string_view portA = Get(a, tessera::uri::kServerPort), portB = Get(b, tessera::uri::kServerPort);
    if (portA.empty() && portB.empty()) return true;  // equal schemes have equal default ports
    return (portA.empty() ? a.GetDefaultPort() : std::string(portA)) ==
           (portB.empty() ? b.GetDefaultPort() : std::string(portB));
}

// The paths, unescaped, by their segments: equal texts, and the root against the empty
// path, are the same place; so are equal segment lists.
URI::RELATION URI::Storage::RelatePaths(const URI& a, const URI& b, bool caseSensitive) {
    const std::string_view storedA = Get(a, tessera::uri::kPath), storedB = Get(b, tessera::uri::kPath);
    const PathComparison stored = ComparePaths(storedA, storedB);
    if (!stored.escaped) return RelateSegments(storedA, storedB, stored.common, caseSensitive);
    const StringProxy unescapedA = a.GetPath(), unescapedB = b.GetPath();
    const std::string_view pathA = unescapedA.str(), pathB = unescapedB.str();
    return RelateSegments(pathA, pathB, CommonPrefixLength(pathA, pathB), caseSensitive);
}

URI::RELATION URI::GetRelation(const URI& other, bool caseSensitive) const {
    Storage::ComparedPair pair(*this, other);
    // Only a hierarchical URI has a host, so two different hosts make two different
    // places whatever the other components say.
    if (!pair.SameHost()) return RELATION_NONE;
    const URI& a = pair.A();
    const URI& b = pair.B();
    if (a.m_relative || b.m_relative) return RELATION_NONE;
    if (!a.m_hierarchical || !b.m_hierarchical) return Storage::RelateOpaque(a, b);
    if (!Storage::SameSchemeAndPort(a, b)) return RELATION_NONE;
    return Storage::RelatePaths(a, b, caseSensitive);
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
