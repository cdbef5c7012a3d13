// The path algebra of Varn::URI: splitting and joining paths, and ChDir, which moves a
// URI by a reference written relative to it. All path work is done on unescaped paths.
#include <string>
#include <string_view>
#include <vector>

#include <tessera/URI.h>

#include "uri/path_moves.h"
#include "uri/path_segment_views.h"

namespace Varn {

using tessera::uri::HasLeadingSlash;
using tessera::uri::HasTrailingSlash;
using tessera::uri::MoveByReference;
using tessera::uri::UnescapedView;

void URI::SplitPath(const std::string& path, std::vector<std::string>& segments, bool& leading,
                    bool& trailing) {
    leading = HasLeadingSlash(path);
    trailing = HasTrailingSlash(path);
    segments.reserve(segments.size() + tessera::uri::MaxSegmentCount(path));
    tessera::uri::AppendSegments(path, segments);
}

void URI::SplitPath(const std::string& path, std::vector<std::string>& segments) {
    bool leading = false, trailing = false;
    SplitPath(path, segments, leading, trailing);
}

std::string URI::JoinPath(const std::vector<std::string>& segments, bool leading, bool trailing) {
    return tessera::uri::JoinSegments(segments, leading, trailing);
}

}  // namespace Varn

namespace tessera {
namespace uri {
namespace {

bool HasSegment(std::string_view path) { return path.find_first_not_of('/') != std::string_view::npos; }

}  // namespace

void MoveByReference(Varn::URI& base, std::string_view basePath, const ReferenceParts& reference) {
    // Absolute-path reference: the base keeps only its scheme and authority.
    if (HasLeadingSlash(reference.path)) {
        base.SetPath(std::string(reference.path));
        base.SetQuery(std::string(reference.query), true);
        base.SetFragment(std::string(reference.fragment));
        return;
    }
    // Fragment-only reference.
    if (!HasSegment(reference.path) && reference.query.empty()) {
        base.SetFragment(std::string(reference.fragment));
        return;
    }

    // Relative-path reference: drop the base's file name, append, walk the dots. The
    // segments are views into basePath, which stays as it is until the new path is set.
    SegmentList segments(SegmentList::RoomFor(basePath.size()) + SegmentList::RoomFor(reference.path.size()));
    segments.AppendSegmentsOf(basePath);
    if (!HasTrailingSlash(basePath) && !segments.empty()) segments.PopBack();
    segments.AppendSegmentsOf(reference.path);
    base.SetQuery(std::string(reference.query), true);
    base.SetFragment(std::string(reference.fragment));
    const bool endsInDot = segments.RemoveDotSegments([&base] { return base.IsRelative(); });
    base.SetPath(JoinSegments(segments, HasLeadingSlash(basePath), HasTrailingSlash(reference.path) || endsInDot));
}

}  // namespace uri
}  // namespace tessera

namespace Varn {

bool URI::ChDir(StringProxy reference, bool escape) {
    std::string escaped;
    if (escape) escaped = Escape(reference).str();
    const std::string& text = escape ? escaped : reference.str();
    if (text.empty()) return true;

    // Network-path reference: everything but the scheme comes from the reference.
    if (text.size() >= 2 && text[0] == '/' && text[1] == '/') {
        if (!ParseURI(GetScheme().str() + ":" + text)) m_Valid = false;
        return true;
    }
    // The moves "." and ".." that the directory operations make are known without parsing.
    if (text == "." || text == "..") {
        StringProxy unescapedPath;
        MoveByReference(*this, UnescapedView(m_Path, unescapedPath), {text, {}, {}});
        return true;
    }

    URI scratch;
    // A query-only reference keeps the base's directory, not its file name.
    scratch = text[0] == '?' ? StringProxy("./" + text) : StringProxy(text);
    if (!scratch.m_Relative || !scratch.m_Hierarchical) {
        CopyURI(scratch);  // absolute or opaque: it replaces the base
        return true;
    }
    const StringProxy path = scratch.GetPath(), query = scratch.GetQuery(true), fragment = scratch.GetFragment();
    StringProxy unescapedPath;
    MoveByReference(*this, UnescapedView(m_Path, unescapedPath), {path.str(), query.str(), fragment.str()});
    return true;
}

}  // namespace Varn
