// The path algebra of Varn::URI: splitting and joining paths, and ChDir, which moves a
// URI by a reference written relative to it. All path work is done on unescaped paths.
#include <string>
#include <string_view>
#include <vector>

#include <tessera/URI.h>

#include "uri/ascii.h"
#include "uri/path_moves.h"
#include "uri/path_segment_views.h"
#include "uri/proxy_text.h"
#include "uri/storage.h"

namespace Varn {

namespace uri = tessera::uri;

void URI::SplitPath(const std::string& path, std::vector<std::string>& segments, bool& leading, bool& trailing) {
    leading = uri::HasLeadingSlash(path);
    trailing = uri::HasTrailingSlash(path);
    segments.reserve(segments.size() + uri::MaxSegmentCount(path));
    uri::AppendSegments(path, segments);
}

void URI::SplitPath(const std::string& path, std::vector<std::string>& segments) {
    bool leading = false, trailing = false;
    SplitPath(path, segments, leading, trailing);
}

std::string URI::JoinPath(const std::vector<std::string>& segments, bool leading, bool trailing) {
    return uri::JoinSegments(segments, leading, trailing);
}

void URI::Storage::Rebuild(URI& target, const std::string_view (&part)[uri::kPartCount]) {
    std::string_view laid[uri::kPartCount];
    std::size_t size = 8;  // room for the separators
    for (unsigned p = 0; p < uri::kPartCount; ++p) size += (laid[p] = part[p]).size();
    laid[uri::kNonHierarchical] = std::string_view();
    if (uri::Equals(laid[uri::kScheme], "unknown")) laid[uri::kScheme] = std::string_view();
    const bool relative = laid[uri::kScheme].empty();
    const bool slashes = !laid[uri::kAuthority].empty() || uri::SameText(laid[uri::kScheme], "file", false);
    Builder built(size);
    built.LayOut(laid, {true, relative, slashes});
    built.MoveTo(target);
    target.m_hierarchical = true;
    target.m_relative = relative;
    target.m_valid = !laid[uri::kAuthority].empty() || !laid[uri::kPath].empty();
}

// The whole move is worked out before the URI changes: when an allocation fails, it is as
// it was (a network-path reference parses into it, with the same guarantee).
bool URI::ChDir(StringProxy reference, bool escape) {
    const std::string text = escape ? Escape(std::move(reference)).str() : uri::TakeText(reference);
    if (text.empty()) return true;

    // Network-path reference: everything but the scheme comes from the reference.
    if (text.size() >= 2 && text[0] == '/' && text[1] == '/') {
        if (!Storage::Parse(*this, GetScheme().str() + ":" + text)) m_valid = false;
        return true;
    }
    // The moves "." and ".." that the directory operations make are known without parsing.
    if (text == "." || text == "..") {
        Storage::Move(*this, *this, {text, {}, {}}, *this);
        return true;
    }

    URI scratch;
    // A query-only reference keeps the base's directory, not its file name.
    Storage::Parse(scratch, text[0] == '?' ? "./" + text : text);
    if (!scratch.m_relative || !scratch.m_hierarchical) {
        CopyURI(scratch);  // absolute or opaque: it replaces the base
        return true;
    }
    const uri::Decoded path(Storage::Get(scratch, uri::kPath)), query(Storage::Get(scratch, uri::kQuery)),
        fragment(Storage::Get(scratch, uri::kFragment));
    Storage::Move(*this, *this, {path.View(), query.View(), fragment.View()}, *this);
    return true;
}

}  // namespace Varn
