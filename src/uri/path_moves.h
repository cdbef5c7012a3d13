// Moving a URI by a reference that names neither a scheme nor an authority: the part of
// ChDir that works on paths, shared with MakeAbsoluteURI, which knows the parts of its
// reference without writing it out and parsing it again.
#ifndef TESSERA_URI_PATH_MOVES_H
#define TESSERA_URI_PATH_MOVES_H

#include <string>
#include <string_view>

#include <tessera/URI.h>

#include "uri/ascii.h"

namespace tessera::uri {

/// The unescaped path, query and fragment of a relative reference.
struct ReferenceParts {
    std::string_view path, query, fragment;
};

/// What a move reads of the URI that it moves: the unescaped path (valid until the
/// path is replaced), and whether query and fragment are empty, so that emptying them
/// again can be left out.
struct MoveBase {
    std::string_view path;
    bool queryEmpty, fragmentEmpty;
};

/// Moves uri, described by base, by the reference (absolute-path, fragment-only or
/// relative-path), working out "." and ".." of a relative path. The reference's parts
/// may be views into uri's own path, query and fragment: each is read before it is
/// replaced.
void MoveByReference(Varn::URI& uri, const MoveBase& base, const ReferenceParts& reference);

/// The unescaped form of a stored component: the stored text itself when it holds no
/// escape, otherwise its Unescape, kept in scratch.
inline std::string_view UnescapedView(const std::string& stored, Varn::URI::StringProxy& scratch) {
    if (!ContainsByte(stored, '%')) return stored;
    scratch = Varn::URI::Unescape(stored, false);
    return scratch.str();
}

}  // namespace tessera::uri

#endif  // TESSERA_URI_PATH_MOVES_H
