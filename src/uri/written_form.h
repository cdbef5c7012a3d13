// The written-out form of a URI, part by part: which parts are written, and with which
// separators. Writing a URI out and laying out a newly built buffer both follow it, so
// that a built buffer holds the written form and is written out in one copy.
#ifndef TESSERA_URI_WRITTEN_FORM_H
#define TESSERA_URI_WRITTEN_FORM_H

#include <string_view>

#include "uri/parts.h"

namespace tessera::uri {

/// What decides the shape of the written form besides the parts themselves.
struct WrittenShape {
    bool hierarchical;
    bool relative;
    bool slashes;  // "//" after "scheme:": there is a host, or the scheme is "file"
};

/// Hands the parts of the written form, in order, to out: out.Part(part, text) for a
/// part, out.Separator(text) for a separator. scheme ":" ["//" [user [":" password] "@"]
/// host [":" port]] path ["?" query] ["#" fragment]; a relative reference from its path
/// on; a non-hierarchical URI as scheme ":" text ["?" query] ["#" fragment].
template <typename Sink>
void WriteParts(Sink& out, const std::string_view (&part)[kPartCount], const WrittenShape& shape) {
    if (!shape.hierarchical) {
        out.Part(kScheme, part[kScheme]);
        out.Separator(":");
        out.Part(kNonHierarchical, part[kNonHierarchical]);
    } else {
        if (!shape.relative) {
            if (!part[kScheme].empty()) {
                out.Part(kScheme, part[kScheme]);
                out.Separator(":");
            }
            if (shape.slashes) {
                out.Separator("//");
                if (!part[kUsername].empty()) {
                    out.Part(kUsername, part[kUsername]);
                    if (!part[kPassword].empty()) {
                        out.Separator(":");
                        out.Part(kPassword, part[kPassword]);
                    }
                    out.Separator("@");
                }
                out.Part(kAuthority, part[kAuthority]);
                if (!part[kServerPort].empty()) {
                    out.Separator(":");
                    out.Part(kServerPort, part[kServerPort]);
                }
            }
        }
        out.Part(kPath, part[kPath]);
    }
    if (!part[kQuery].empty()) {
        out.Separator("?");
        out.Part(kQuery, part[kQuery]);
    }
    if (!part[kFragment].empty()) {
        out.Separator("#");
        out.Part(kFragment, part[kFragment]);
    }
}

}  // namespace tessera::uri

#endif  // TESSERA_URI_WRITTEN_FORM_H
