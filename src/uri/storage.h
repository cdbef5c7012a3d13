// Where the components of a Varn::URI lie: all nine in one buffer, each a range of its
// bytes (see the members of URI). URI::Storage is the only code that reads or writes the
// buffer and its bounds; the grammar and the path algebra work on views of the parts it
// hands out, and a result of several parts is laid out whole in a new buffer (Rebuild)
// and then adopted.
//
// Every change either completes or, when an allocation fails, leaves the URI as it was.
#ifndef TESSERA_URI_STORAGE_H
#define TESSERA_URI_STORAGE_H

#include <cassert>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <functional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <typeinfo>
#include <utility>

#include <tessera/URI.h>

#include "uri/ascii.h"
#include "uri/escape_sets.h"
#include "uri/parse_steps.h"
#include "uri/parts.h"
#include "uri/path_segment_views.h"
#include "uri/plain_paths.h"
#include "uri/separator_scan.h"

// Storage is the library's own: none of it is exported.
#if defined(__GNUC__) && !defined(_WIN32)
#define TESSERA_URI_INTERNAL __attribute__((visibility("hidden")))
#else
#define TESSERA_URI_INTERNAL
#endif

namespace Varn {

class TESSERA_URI_INTERNAL URI::Storage {
public:
    using Part = tessera::uri::Part;
    using Bounds = tessera::uri::PartBounds;

    /// The stored (escaped) bytes of `part`, valid until the URI changes.
    static std::string_view Get(const URI& uri, Part part) noexcept {
        const std::uint32_t begin = uri.m_bounds[2 * part];
        return std::string_view(uri.m_text.data() + begin, uri.m_bounds[2 * part + 1] - begin);
    }
    static bool Empty(const URI& uri, Part part) noexcept {
        return uri.m_bounds[2 * part] == uri.m_bounds[2 * part + 1];
    }
    /// Whether the stored scheme is "file", ignoring case (URI::IsOfType without the
    /// virtual table).
    static bool IsOfFileScheme(const URI& uri) noexcept {
        return tessera::uri::SameText(Get(uri, tessera::uri::kScheme), "file", false);
    }
    /// Whether the stored scheme is "file" exactly (local_paths.cpp).
    static bool IsExactlyFile(const URI& uri) noexcept;
    /// The whole buffer, parts and the bytes between them.
    static std::string_view Buffer(const URI& uri) noexcept { return uri.m_text; }
    /// What the code that wrote the buffer knew of it for certain, kept in URI::m_facts so
    /// that later operations need not look again. A set bit is known true; a clear bit is
    /// unknown, and a reader that needs the fact looks for itself. Only code that writes
    /// the buffer sets facts (a const method never does: several threads may read one
    /// URI at once); every other change of the buffer or the flags forgets them.
    enum Fact : std::uint8_t {
        kWrittenForm = 1,  // HoldsWrittenForm
        kPlainPath = 2,    // HasPlainPath
    };
    static bool Knows(const URI& uri, Fact fact) noexcept { return (uri.m_facts & fact) != 0; }
    static void ForgetFacts(URI& uri) noexcept { uri.m_facts = 0; }
    /// Whether the stored path is plain (tessera::uri::IsPlainPath).
    static bool HasPlainPath(const URI& uri) noexcept {
        const std::string_view path = Get(uri, tessera::uri::kPath);
        assert(!Knows(uri, kPlainPath) || tessera::uri::IsPlainPath(path));
        return Knows(uri, kPlainPath) || tessera::uri::IsPlainPath(path, uri.m_text.data());
    }

    /// Whether the buffer is exactly the written form of a hierarchical URI: scheme "://"
    /// host [":" port] path ["?" query] ["#" fragment], with a scheme and no user
    /// information, for an absolute URI with a host; path ["?" query] ["#" fragment] for a
    /// relative reference. So it is kept just after parsing, and after Rebuild, which
    /// records it as a fact.
    static bool HoldsWrittenForm(const URI& uri) noexcept {
        assert(!Knows(uri, kWrittenForm) || LaidOutAsWritten(uri));
        return Knows(uri, kWrittenForm) || LaidOutAsWritten(uri);
    }

    /// Replaces the bytes of `part` by `text`, which may lie in the URI's own buffer.
    static void Set(URI& uri, Part part, std::string_view text) {
        if (Overlaps(uri, text)) return Set(uri, part, std::string_view(std::string(text)));
        char* to = Resize(uri, part, text.size());
        if (!text.empty()) std::memcpy(to, text.data(), text.size());
    }
    /// Replaces the bytes of `part` by `text` with every member of `set` escaped.
    static void SetEscaped(URI& uri, Part part, std::string_view text, const tessera::uri::EscapeSet& set) {
        if (Overlaps(uri, text)) return SetEscaped(uri, part, std::string_view(std::string(text)), set);
        tessera::uri::WriteEscaped(Resize(uri, part, tessera::uri::EscapedSize(text, set)), text, set);
    }
    /// Empties `part`; never allocates.
    static void Clear(URI& uri, Part part) noexcept {
        const std::uint32_t begin = uri.m_bounds[2 * part], size = uri.m_bounds[2 * part + 1] - begin;
        uri.m_text.erase(begin, size);
        Shift(uri, part, 0u - size);
        ForgetFacts(uri);
    }

    /// Exchanges everything, parts and flags, of a and b.
    static void Swap(URI& a, URI& b) noexcept {
        a.m_text.swap(b.m_text);
        for (unsigned i = 0; i < 2 * tessera::uri::kPartCount; ++i) std::swap(a.m_bounds[i], b.m_bounds[i]);
        std::swap(a.m_valid, b.m_valid);
        std::swap(a.m_relative, b.m_relative);
        std::swap(a.m_hierarchical, b.m_hierarchical);
        std::swap(a.m_facts, b.m_facts);
    }

    /// Replaces every part of the URI by `part` (stored forms, which may lie in the URI's
    /// own buffer), laid out as written out, and makes it hierarchical as a setter of the
    /// path does: the text after "scheme:" goes, a scheme "unknown" becomes "", and the
    /// flags are recomputed. The path is part[kPath] followed by pathTail. Defined in
    /// path_segments.cpp.
    static void Rebuild(URI& uri, const std::string_view (&part)[tessera::uri::kPartCount],
                        std::string_view pathTail = std::string_view());

    /// Rebuild with base's scheme, user information, host and port, and the given path
    /// (followed by pathTail), query and fragment: a reference resolved against base.
    /// Defined in path_segments.cpp.
    static void RebuildOnBase(URI& target, const URI& base, std::string_view path, std::string_view query,
                              std::string_view fragment, std::string_view pathTail = std::string_view());

    /// Moves `base` by a relative reference (see path_moves.h, which defines it) and puts
    /// the result in `target`, which may be base itself. `moving` answers IsRelative and
    /// IsOfType("file") for the URI that is moved, as ChDir asks them.
    template <typename Moving>
    static void Move(URI& target, const URI& base, const tessera::uri::ReferenceParts& reference, const Moving& moving);

    /// The steps of GetRelation (relation.cpp).
    class ComparedPair;
    static RELATION RelateOpaque(const URI& a, const URI& b);
    static bool SameSchemeAndPort(const URI& a, const URI& b);
    static RELATION RelatePaths(const URI& a, const URI& b, bool caseSensitive);

    /// The short ways of MakeAbsoluteURI and MakeRelativeURI for plain parts, the unescaped
    /// path of base's directory, and the climb of GetCommonParent level by level
    /// (absolute_relative.cpp).
    static bool ResolvePlain(URI& reference, const URI& base);
    static bool ResolveQueryOrFragment(URI& reference, const URI& base);
    static bool HasSchemeOf(const URI& target, const URI& base);
    static bool MayReadAlike(const URI& a, const URI& b);
    static bool RelatePlain(URI& target, const URI& base, bool caseSensitive);
    static std::string DirectoryPathOf(const URI& base);
    static URI ClimbToCommonParent(URI& parent, const URI& otherDirectory, bool caseSensitive);

    /// Replaces every part of the URI, and what is known of them, by those of `source`
    /// (flags are the caller's).
    static void Copy(URI& uri, const URI& source) {
        uri.m_text = source.m_text;
        std::memcpy(uri.m_bounds, source.m_bounds, sizeof uri.m_bounds);
        uri.m_facts = source.m_facts;
    }
    /// Takes over `text` (leaving it empty or holding the URI's old buffer) with its parts
    /// at `bounds` (flags and facts are the caller's; none is known). Throws
    /// std::length_error, changing nothing, when the text is too long to be held.
    static void Adopt(URI& uri, std::string& text, const Bounds& bounds) {
        CheckLength(text.size());
        uri.m_text = std::move(text);
        SetBounds(uri, bounds);
        ForgetFacts(uri);
    }
    /// Sets where the parts lie in the buffer the URI has.
    static void SetBounds(URI& uri, const Bounds& bounds) noexcept {
        std::memcpy(uri.m_bounds, bounds, sizeof uri.m_bounds);
    }

    /// Replaces every part and flag of the URI by the parse of `text`, which becomes its
    /// buffer, and applies the validity rules (URI::ValidateURI), leaving the default
    /// state when they fail. When an allocation fails the URI is as it was (and text may
    /// be changed).
    static bool Parse(URI& uri, std::string&& text) {
        CheckLength(text.size());
        const tessera::uri::TextParts parts = tessera::uri::SplitURIText(text, ReadableSize(text));
        Bounds bounds;
        for (unsigned p = 0; p < tessera::uri::kPartCount; ++p) {
            bounds[2 * p] = static_cast<std::uint32_t>(parts.part[p].data() - text.data());
            bounds[2 * p + 1] = bounds[2 * p] + static_cast<std::uint32_t>(parts.part[p].size());
        }
        if (parts.schemeHasUpper) LowerInPlace(text, bounds, tessera::uri::kScheme);
        if (parts.hostHasUpper) LowerInPlace(text, bounds, tessera::uri::kAuthority);
        MarkDrive(text, bounds);
        if (parts.bareIPv6) Bracket(text, bounds);
        uri.m_text = std::move(text);
        SetBounds(uri, bounds);
        uri.m_relative = parts.relative;
        uri.m_hierarchical = parts.hierarchical;
        // Worked out for a URI with a host, which ToString copies when it holds its written
        // form; a reference is mostly resolved first, and Rebuild records it then.
        const bool withHost = parts.hierarchical && !parts.relative && !parts.part[tessera::uri::kAuthority].empty();
        uri.m_facts = withHost && ParsedAsWritten(bounds, uri.m_text.size()) ? kWrittenForm : 0;
        // A base of resolutions and relative forms has a host; its path, when short, is
        // looked at once here rather than on every use.
        if (withHost && tessera::uri::IsShortPlainPath(Get(uri, tessera::uri::kPath), uri.m_text.data())) {
            uri.m_facts |= kPlainPath;
        }
        // A subclass may answer IsAbsolute and IsRelative otherwise: the rules ask it.
        uri.m_valid = typeid(uri) == typeid(URI) ? IsValidPlain(uri, parts) : uri.ValidateURI();
        if (!uri.m_valid) uri.Initialize();
        return uri.m_valid;
    }

private:
    // The layout of URI is part of the library's binary interface: m_facts takes a byte of
    // the padding after the three flags, so the size and every other member's place stay
    // those of a URI without it (120 bytes on x86-64, 104 on 32-bit x86). URI has a virtual
    // table, which makes offsetof conditionally supported; GCC and Clang support it.
#if defined(__GNUC__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Winvalid-offsetof"
#endif
    static_assert(offsetof(URI, m_text) == sizeof(void*), "m_text follows the virtual table pointer");
    static_assert(offsetof(URI, m_bounds) == offsetof(URI, m_text) + sizeof(std::string), "m_bounds follows m_text");
    static_assert(offsetof(URI, m_valid) == offsetof(URI, m_bounds) + sizeof(tessera::uri::PartBounds),
                  "flags follow m_bounds");
    static_assert(offsetof(URI, m_relative) == offsetof(URI, m_valid) + 1 &&
                      offsetof(URI, m_hierarchical) == offsetof(URI, m_valid) + 2,
                  "the flags are three bytes in a row");
    static_assert(offsetof(URI, m_facts) == offsetof(URI, m_valid) + 3, "m_facts follows the flags");
    static_assert(sizeof(URI) == (offsetof(URI, m_valid) + 3 + alignof(URI) - 1) / alignof(URI) * alignof(URI),
                  "m_facts fits in the padding after the flags");
#if defined(__GNUC__)
#pragma GCC diagnostic pop
#endif

    // HoldsWrittenForm worked out from the bounds (writer.cpp).
    static bool LaidOutAsWritten(const URI& uri) noexcept;

    // HoldsWrittenForm for a text of `size` bytes just split at `bounds` into a
    // hierarchical URI with a scheme and a host. The split leaves each part right after
    // its separator and in order, so the text is the written form exactly when the host
    // follows "scheme://" (no user information), the path follows the host or the port
    // (no ':' before an empty port) and only the separators of a query and a fragment
    // follow the path (no '?' or '#' before an empty one).
    static bool ParsedAsWritten(const Bounds& bounds, std::size_t size) noexcept {
        using tessera::uri::kAuthority, tessera::uri::kServerPort;
        const auto length = [&bounds](Part part) { return bounds[2 * part + 1] - bounds[2 * part]; };
        const std::uint32_t hostPartEnd =
            length(kServerPort) == 0 ? bounds[2 * kAuthority + 1] : bounds[2 * kServerPort + 1];
        if (bounds[2 * kAuthority] != bounds[2 * tessera::uri::kScheme + 1] + 3) return false;
        if (bounds[2 * tessera::uri::kPath] != hostPartEnd) return false;
        const std::uint32_t query = length(tessera::uri::kQuery), fragment = length(tessera::uri::kFragment);
        const std::size_t writtenSize =
            std::size_t{bounds[2 * tessera::uri::kPath + 1]} + query + (query != 0) + fragment + (fragment != 0);
        return size == writtenSize;
    }

    // URI::ValidateURI for a URI of this class just parsed into `parts`.
    static bool IsValidPlain(const URI& uri, const tessera::uri::TextParts& parts) {
        const std::string_view scheme = Get(uri, tessera::uri::kScheme);
        if (!uri.m_relative && (!parts.schemeLetters || scheme.size() < 2 || tessera::uri::Equals(scheme, "unknown"))) {
            return false;
        }
        if (!parts.mayHoldBackslash) return true;  // the scan saw none before the query
        const Part text = uri.m_hierarchical ? tessera::uri::kPath : tessera::uri::kNonHierarchical;
        return !tessera::uri::ContainsByteIn(Get(uri, text), uri.m_text.data(), '\\');
    }
    // How many bytes from text.data() may be read, as far as the parse asks: a text of 16
    // bytes or more is read within itself; a shorter one may be read as far as the string's
    // room and its terminating NUL, 16 bytes or more (a short string's inline buffer).
    static std::size_t ReadableSize(const std::string& text) noexcept {
        return text.size() >= 16 ? text.size() : text.capacity() + 1;
    }
    static std::string_view View(const std::string& text, const Bounds& bounds, Part part) {
        return std::string_view(text).substr(bounds[2 * part], bounds[2 * part + 1] - bounds[2 * part]);
    }
    static void LowerInPlace(std::string& text, const Bounds& bounds, Part part) {
        tessera::uri::AsciiLowerInPlace(&text[0] + bounds[2 * part], bounds[2 * part + 1] - bounds[2 * part]);
    }
    // A drive letter in a "file" path: "/C:/x" is stored as "/C|/x".
    static void MarkDrive(std::string& text, const Bounds& bounds) {
        const std::uint32_t schemeSize = bounds[2 * tessera::uri::kScheme + 1] - bounds[2 * tessera::uri::kScheme];
        if (schemeSize != 4) return;  // not "file": most texts are done with at no cost
        const std::size_t colon = tessera::uri::DriveColon(View(text, bounds, tessera::uri::kScheme),
                                                           View(text, bounds, tessera::uri::kPath));
        if (colon != std::string_view::npos) text[bounds[2 * tessera::uri::kPath] + colon] = '|';
    }
    // Puts the host, an IPv6 address written without brackets, in brackets.
    static void Bracket(std::string& text, Bounds& bounds) {
        CheckLength(text.size() + 2);
        text.insert(bounds[2 * tessera::uri::kAuthority + 1], 1, ']');
        text.insert(bounds[2 * tessera::uri::kAuthority], 1, '[');
        bounds[2 * tessera::uri::kAuthority + 1] += 2;
        for (unsigned i = 2 * tessera::uri::kServerPort; i < 2 * tessera::uri::kPartCount; ++i) bounds[i] += 2;
    }
    static void CheckLength(std::size_t size) {
        if (size > UINT32_MAX) throw std::length_error("Varn::URI: text longer than 4 GiB");
    }
    static bool Overlaps(const URI& uri, std::string_view text) noexcept {
        const std::less_equal<const char*> atOrBefore;
        return !text.empty() && atOrBefore(uri.m_text.data(), text.data()) &&
               atOrBefore(text.data(), uri.m_text.data() + uri.m_text.size());
    }
    // Moves the end of `part` and every later part by delta (modulo 2^32, so a negative
    // delta is its two's complement).
    static void Shift(URI& uri, Part part, std::uint32_t delta) noexcept {
        uri.m_bounds[2 * part + 1] += delta;
        for (unsigned i = 2 * part + 2; i < 2 * tessera::uri::kPartCount; ++i) uri.m_bounds[i] += delta;
    }
    // Makes `part` size bytes long (their content is the caller's to write) and returns
    // where they are. When it throws, nothing has changed.
    static char* Resize(URI& uri, Part part, std::size_t size) {
        const std::uint32_t begin = uri.m_bounds[2 * part], old = uri.m_bounds[2 * part + 1] - begin;
        CheckLength(uri.m_text.size() - old + size);
        uri.m_text.replace(begin, old, size, '\0');
        Shift(uri, part, static_cast<std::uint32_t>(size) - old);
        ForgetFacts(uri);
        return &uri.m_text[0] + begin;
    }
};

}  // namespace Varn

#endif  // TESSERA_URI_STORAGE_H
