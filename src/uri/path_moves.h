// Moving a URI by a reference that names neither a scheme nor an authority: the part of
// ChDir that works on paths, shared with MakeAbsoluteURI, which knows the parts of its
// reference without writing it out and parsing it again.
#ifndef TESSERA_URI_PATH_MOVES_H
#define TESSERA_URI_PATH_MOVES_H

#include <string>
#include <string_view>

#include <tessera/URI.h>

namespace tessera {
namespace uri {

/// The unescaped path, query and fragment of a relative reference.
struct ReferenceParts {
    std::string_view path, query, fragment;
};

/// Moves base, whose unescaped path is basePath, by the reference (absolute-path,
/// fragment-only or relative-path), working out "." and ".." of a relative path.
/// basePath must stay valid until base's path is replaced.
void MoveByReference(Varn::URI& base, std::string_view basePath, const ReferenceParts& reference);

/// The unescaped form of a stored component: the stored text itself when it holds no
/// escape, otherwise its Unescape, kept in scratch.
inline std::string_view UnescapedView(const std::string& stored, Varn::URI::StringProxy& scratch) {
    if (stored.find('%') == std::string::npos) return stored;
    scratch = Varn::URI::Unescape(stored, false);
    return scratch.str();
}

}  // namespace uri
}  // namespace tessera

#endif  // TESSERA_URI_PATH_MOVES_H
