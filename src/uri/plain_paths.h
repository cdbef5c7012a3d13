// Stored paths, queries and fragments that the path algebra can work on as they are
// stored: nothing escaped and nothing that storing them again would escape, so that
// reading them (unescaping) and storing them (escaping) changes nothing; and, for paths,
// no empty segment and no dot segment, so that splitting and joining them changes
// nothing either. Resolution and relative forms take a short way for such parts.
#ifndef TESSERA_URI_PLAIN_PATHS_H
#define TESSERA_URI_PLAIN_PATHS_H

#include <cstddef>
#include <string_view>

#include "uri/escape_sets.h"
#include "uri/path_segment_views.h"

namespace tessera::uri {

/// Whether a stored query or fragment reads back and stores again unchanged (no '%',
/// nothing that SetQuery and SetFragment escape, no '#').
inline bool IsPlainQuery(std::string_view text) noexcept { return !HasMember(text, s_newRfcSet); }

/// Whether a stored path reads back and stores again unchanged (no '%', nothing that
/// SetPath escapes: no ':', '?', '#', '|', backslash, space, ...).
inline bool IsPlainText(std::string_view path) noexcept { return !HasMember(path, s_excludedSet); }

/// IsPlainText, and no segment is empty (no "//") or a dot segment; a leading and a
/// trailing '/' are allowed.
inline bool IsPlainPath(std::string_view path) noexcept {
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

/// Takes the leading "./" and "../" of a relative reference's path off, and returns how
/// many "../" there were.
inline std::size_t TakeLeadingDots(std::string_view& path) noexcept {
    std::size_t ups = 0;
    for (;;) {
        if (path.substr(0, 2) == "./") {
            path.remove_prefix(2);
        } else if (path.substr(0, 3) == "../") {
            path.remove_prefix(3);
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
