// Stored paths, queries and fragments that the path algebra can work on as they are
// stored: nothing escaped and nothing that storing them again would escape, so that
// reading them (unescaping) and storing them (escaping) changes nothing; and, for paths,
// no empty segment and no dot segment, so that splitting and joining them changes
// nothing either. Resolution and relative forms take a short way for such parts.
#ifndef TESSERA_URI_PLAIN_PATHS_H
#define TESSERA_URI_PLAIN_PATHS_H

#include <cstddef>
#include <string_view>

#include "unicode/sse2_support.h"
#include "uri/escape_sets.h"
#include "uri/path_segment_views.h"
#include "uri/separator_scan.h"

namespace tessera::uri {

/// The byte-by-byte checks; the block-wise ones below must agree with them.
inline bool IsPlainQueryReference(std::string_view text) noexcept { return !HasMember(text, s_newRfcSet); }
inline bool IsPlainTextReference(std::string_view path) noexcept { return !HasMember(path, s_excludedSet); }
inline bool IsPlainPathReference(std::string_view path) noexcept {
    const char* const begin = path.data();
    const char* const end = begin + path.size();
    const char* segment = begin;
    for (const char* c = begin;; ++c) {
        if (c != end && *c != '/') {
            if (s_excludedSet.Contains(static_cast<unsigned char>(*c))) return false;
            continue;
        }
        const std::size_t size = static_cast<std::size_t>(c - segment);
        const bool dots = size != 0 && size <= 2 && segment[0] == '.' && segment[size - 1] == '.';
        if (dots || (size == 0 && c != begin && c != end)) return false;
        if (c == end) return true;
        segment = c + 1;
    }
}

#if TESSERA_SSE2

namespace detail {

// The bytes of a block that lie in [first, last], as 0xFF.
inline __m128i BytesBetween(__m128i block, unsigned char first, unsigned char last) {
    const __m128i moved = _mm_sub_epi8(block, _mm_set1_epi8(static_cast<char>(first)));
    const __m128i span = _mm_set1_epi8(static_cast<char>(last - first));
    return _mm_cmpeq_epi8(_mm_max_epu8(moved, span), span);
}

inline __m128i BytesOf(__m128i block, char c) { return _mm_cmpeq_epi8(block, _mm_set1_epi8(c)); }

// The bytes of a block that s_newRfcSet holds: 0x01-0x20, '"', '#', '%', ':', '<', '>',
// '@', '[' to '^', '`', '{' to '}', 0x7F; and '?' too when withQuestion (s_excludedSet).
inline unsigned EscapeSetBytes(__m128i block, bool withQuestion) {
    __m128i found = _mm_or_si128(BytesBetween(block, 0x01, 0x20), BytesBetween(block, '[', '^'));
    found = _mm_or_si128(found, _mm_andnot_si128(BytesOf(block, '~'), BytesBetween(block, '{', 0x7F)));
    found = _mm_or_si128(found, _mm_or_si128(BytesBetween(block, '"', '#'), BytesOf(block, '%')));
    found = _mm_or_si128(found, _mm_or_si128(BytesOf(block, ':'), BytesOf(block, '<')));
    found = _mm_or_si128(found, _mm_or_si128(BytesOf(block, '>'), BytesOf(block, '@')));
    found = _mm_or_si128(found, BytesOf(block, '`'));
    if (withQuestion) found = _mm_or_si128(found, BytesOf(block, '?'));
    return static_cast<unsigned>(_mm_movemask_epi8(found));
}

// Whether no byte of text is a member of the set EscapeSetBytes tests. `readableFrom`,
// when given, is where the buffer that holds text begins: a text of up to 16 bytes is then
// looked at as the last bytes of one block.
inline bool HasNoSetBytes(std::string_view text, bool withQuestion, const char* readableFrom) {
    if (text.empty()) return true;
    const char* const end = text.data() + text.size();
    if (text.size() <= 16 && readableFrom != nullptr && end - readableFrom >= 16) {
        unsigned valid;
        const __m128i block = LoadEndingBlock(end, text.size(), valid);
        return (EscapeSetBytes(block, withQuestion) & valid) == 0;
    }
    if (text.size() < 16) return !HasMember(text, withQuestion ? s_excludedSet : s_newRfcSet);
    for (std::size_t i = 0; i < text.size(); i += 16) {
        unsigned valid;
        const __m128i block = LoadBlock(text.data(), i, text.size(), valid);
        if ((EscapeSetBytes(block, withQuestion) & valid) != 0) return false;
    }
    return true;
}

// Whether the bytes of a block that `valid` marks hold no member of s_excludedSet, no
// empty segment and no '.' that begins a segment. `inPath` marks the bytes that belong to
// the path (those of `valid` and those before them that were looked at already); segments
// begin after a '/' of the path (the byte before the block is one when slashBefore is 1)
// and where `starts` marks.
inline bool IsPlainPathBlock(__m128i block, unsigned valid, unsigned inPath, unsigned slashBefore, unsigned starts) {
    const unsigned slashes = BytesEqual(block, '/') & inPath;
    const unsigned afterSlash = (slashes << 1 | slashBefore) & valid;
    return (EscapeSetBytes(block, true) & valid) == 0 && (slashes & afterSlash) == 0 &&
           (BytesEqual(block, '.') & (afterSlash | starts) & valid) == 0;
}

}  // namespace detail

/// Whether a stored query or fragment reads back and stores again unchanged (no '%',
/// nothing that SetQuery and SetFragment escape, no '#'). `readableFrom` as for IsPlainPath.
inline bool IsPlainQuery(std::string_view text, const char* readableFrom = nullptr) noexcept {
    return detail::HasNoSetBytes(text, false, readableFrom);
}

/// Whether a stored path reads back and stores again unchanged (no '%', nothing that
/// SetPath escapes: no ':', '?', '#', '|', backslash, space, ...).
inline bool IsPlainText(std::string_view path, const char* readableFrom = nullptr) noexcept {
    return detail::HasNoSetBytes(path, true, readableFrom);
}

/// IsPlainPath for a path of at most 16 bytes that one block's look finds plain; false,
/// meaning "not known", for a longer path and for one that look does not clear. The
/// memory from `readableFrom` (as for IsPlainPath) on must hold at least 16 bytes.
inline bool IsShortPlainPath(std::string_view path, const char* readableFrom) noexcept {
    const char* const end = path.data() + path.size();
    if (path.size() > 16 || end - readableFrom < 16) return false;
    unsigned valid;
    const __m128i block = detail::LoadEndingBlock(end, path.size(), valid);
    return detail::IsPlainPathBlock(block, valid, valid, 0, 1u << (16 - path.size()));
}

/// IsPlainText, and no segment is empty (no "//") or a dot segment; a leading and a
/// trailing '/' are allowed. A '.' that begins a segment is rare: such a path is judged
/// byte by byte. `readableFrom`, when given, is where the memory that holds the path
/// (a URI's buffer) begins: a short path is then looked at as the last bytes of one block.
inline bool IsPlainPath(std::string_view path, const char* readableFrom = nullptr) noexcept {
    const char* const end = path.data() + path.size();
    if (path.size() <= 16 && readableFrom != nullptr && end - readableFrom >= 16) {
        return IsShortPlainPath(path, readableFrom) || IsPlainPathReference(path);
    }
    if (path.size() < 16) return IsPlainPathReference(path);
    unsigned slashBefore = 0;  // whether the byte before the block is '/'
    for (std::size_t i = 0; i < path.size(); i += 16) {
        unsigned valid;
        const __m128i block = detail::LoadBlock(path.data(), i, path.size(), valid);
        if (!detail::IsPlainPathBlock(block, valid, 0xFFFF, slashBefore, i == 0 ? 1u : 0u)) {
            return IsPlainPathReference(path);
        }
        slashBefore = detail::BytesEqual(block, '/') >> 15 & 1u;
    }
    return true;
}

#else

inline bool IsShortPlainPath(std::string_view, const char*) noexcept { return false; }
inline bool IsPlainQuery(std::string_view text, const char* = nullptr) noexcept { return IsPlainQueryReference(text); }
inline bool IsPlainText(std::string_view path, const char* = nullptr) noexcept { return IsPlainTextReference(path); }
inline bool IsPlainPath(std::string_view path, const char* = nullptr) noexcept { return IsPlainPathReference(path); }

#endif

/// The end of the directory part of a plain path climbed `levels` levels up: the path up
/// to and including the '/' before its last segment ("/a/b/c" gives "/a/b/"; a path that
/// ends with '/' is a directory already), then one segment less per level, never above
/// the root ("/" or ""). The result is a length of path.
inline std::size_t DirectoryEnd(std::string_view path, std::size_t levels) noexcept {
    const std::size_t lastSlash = path.rfind('/');
    std::size_t end = lastSlash == std::string_view::npos ? 0 : lastSlash + 1;
    const std::size_t root = !path.empty() && path[0] == '/' ? 1 : 0;
    for (; levels > 0 && end > root; --levels) {
        const std::size_t slash = path.rfind('/', end - 2);
        end = slash == std::string_view::npos ? 0 : slash + 1;
    }
    return end;
}

/// Takes the leading "./" and "../" of a relative reference's path off, and a "." or
/// ".." that is all that is left (a last dot segment leads to a directory, as "./" and
/// "../" do); returns how many levels up they lead.
inline std::size_t TakeLeadingDots(std::string_view& path) noexcept {
    std::size_t ups = 0;
    for (;;) {
        if (path.substr(0, 2) == "./" || path == ".") {
            path.remove_prefix(path.size() < 2 ? path.size() : 2);
        } else if (path.substr(0, 3) == "../" || path == "..") {
            path.remove_prefix(path.size() < 3 ? path.size() : 3);
            ++ups;
        } else {
            return ups;
        }
    }
}

/// Where a plain path parts from a plain directory path: how many of the directory's
/// segments come after those the two share (compared by SameText), and the path's text
/// after the shared segments and the '/' that follows them.
struct Divergence {
    std::size_t levelsUp;
    std::string_view rest;
};

/// Whether bytes a and b are equal, ignoring the case of ASCII letters unless
/// caseSensitive.
inline bool SameByte(char a, char b, bool caseSensitive) noexcept {
    if (a == b) return true;
    if (caseSensitive) return false;
    const char lowerA = a >= 'A' && a <= 'Z' ? static_cast<char>(a - 'A' + 'a') : a;
    const char lowerB = b >= 'A' && b <= 'Z' ? static_cast<char>(b - 'A' + 'a') : b;
    return lowerA == lowerB;
}

/// Diverge for a directory that is empty or ends with '/' (as DirectoryEnd cuts it), in
/// one pass over the bytes the two share: a segment is shared when the directory's '/'
/// after it meets a '/' or the end of the path.
inline Divergence Diverge(std::string_view directory, std::string_view path, bool caseSensitive) noexcept {
    if (HasLeadingSlash(directory)) directory.remove_prefix(1);
    if (HasLeadingSlash(path)) path.remove_prefix(1);
    std::size_t shared = 0;  // the length of the directory's shared segments and their '/'
    for (std::size_t i = 0; i < directory.size(); ++i) {
        const bool pathEnds = i == path.size();
        if (directory[i] == '/' && (pathEnds || path[i] == '/')) shared = i + 1;
        if (pathEnds || !SameByte(directory[i], path[i], caseSensitive)) break;
    }
    std::size_t levelsUp = 0;
    for (std::size_t i = shared; i < directory.size(); ++i) levelsUp += directory[i] == '/';
    return Divergence{levelsUp, path.substr(shared < path.size() ? shared : path.size())};
}

}  // namespace tessera::uri

#endif  // TESSERA_URI_PLAIN_PATHS_H
