// The nine components of a URI by number, in the order in which they lie in its buffer
// (the order in which they are written out), where each lies in a text, and the parts of
// a relative reference by which a URI moves.
#ifndef TESSERA_URI_PARTS_H
#define TESSERA_URI_PARTS_H

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace tessera::uri {

/// A component of a URI. A non-hierarchical URI has its text after "scheme:" where a
/// hierarchical one has user information, host and port.
enum Part : unsigned {
    kScheme,
    kNonHierarchical,
    kUsername,
    kPassword,
    kAuthority,
    kServerPort,
    kPath,
    kQuery,
    kFragment,
    kPartCount,
};

/// Where each part lies in a text of at most 4 GiB: part p is the bytes [bounds[2 * p],
/// bounds[2 * p + 1]). Parts lie in the order of Part, none beginning before the end of
/// the one before it.
using PartBounds = std::uint32_t[2 * kPartCount];

/// The unescaped path, query and fragment of a relative reference.
struct ReferenceParts {
    std::string_view path, query, fragment;
};

}  // namespace tessera::uri

#endif  // TESSERA_URI_PARTS_H
