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

void URI::SplitPath(const std::string& path, std::vector<std::string>& segments, bool& leading, bool& trailing) {
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

namespace tessera::uri {
namespace {

bool HasSegment(std::string_view path) { return path.find_first_not_of('/') != std::string_view::npos; }

}  // namespace

void MoveByReference(Varn::URI& uri, const MoveBase& base, const ReferenceParts& reference) {
    const auto setQueryAndFragment = [&] {
        if (!reference.query.empty() || !base.queryEmpty) uri.SetQuery(std::string(reference.query), true);
        if (!reference.fragment.empty() || !base.fragmentEmpty) uri.SetFragment(std::string(reference.fragment));
    };
    // Absolute-path reference: the URI keeps only its scheme and authority.
    if (HasLeadingSlash(reference.path)) {
        uri.SetPath(std::string(reference.path));
        setQueryAndFragment();
        return;
    }
    // Fragment-only reference.
    if (!HasSegment(reference.path) && reference.query.empty()) {
        uri.SetFragment(std::string(reference.fragment));
        return;
    }

    // Relative-path reference: drop the file name, append, walk the dots. The segments
    // are views into base.path, which stays as it is until the new path is set.
    SegmentList segments(SegmentList::RoomFor(base.path.size()) + SegmentList::RoomFor(reference.path.size()));
    segments.AppendSegmentsOf(base.path);
    if (!HasTrailingSlash(base.path) && !segments.Empty()) segments.PopBack();
    segments.AppendSegmentsOf(reference.path);
    setQueryAndFragment();
    const bool endsInDot = segments.RemoveDotSegments([&uri] { return uri.IsRelative(); });
    uri.SetPath(JoinSegments(segments, HasLeadingSlash(base.path), HasTrailingSlash(reference.path) || endsInDot));
}

}  // namespace tessera::uri

namespace Varn {

bool URI::ChDir(StringProxy reference, bool escape) {
    std::string escaped;
    if (escape) escaped = Escape(reference).str();
    const std::string& text = escape ? escaped : reference.str();
    if (text.empty()) return true;

    // Network-path reference: everything but the scheme comes from the reference.
    if (text.size() >= 2 && text[0] == '/' && text[1] == '/') {
        if (!ParseURI(GetScheme().str() + ":" + text)) m_valid = false;
        return true;
    }
    // The moves "." and ".." that the directory operations make are known without parsing.
    if (text == "." || text == "..") {
        StringProxy unescapedPath;
        MoveByReference(*this, {UnescapedView(m_path, unescapedPath), m_query.empty(), m_fragment.empty()},
                        {text, {}, {}});
        return true;
    }

    URI scratch;
    // A query-only reference keeps the base's directory, not its file name.
    scratch = text[0] == '?' ? StringProxy("./" + text) : StringProxy(text);
    if (!scratch.m_relative || !scratch.m_hierarchical) {
        CopyURI(scratch);  // absolute or opaque: it replaces the base
        return true;
    }
    const StringProxy path = scratch.GetPath(), query = scratch.GetQuery(true), fragment = scratch.GetFragment();
    StringProxy unescapedPath;
    MoveByReference(*this, {UnescapedView(m_path, unescapedPath), m_query.empty(), m_fragment.empty()},
                    {path.str(), query.str(), fragment.str()});
    return true;
}

}  // namespace Varn
