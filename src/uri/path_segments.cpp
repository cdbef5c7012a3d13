// The path algebra of Varn::URI: splitting and joining paths, and ChDir, which moves a
// URI by a reference written relative to it. All path work is done on unescaped paths.
#include <string>
#include <string_view>
#include <vector>

#include <tessera/URI.h>

#include "uri/path_segment_views.h"

namespace Varn {

using uri_detail::HasLeadingSlash;
using uri_detail::HasTrailingSlash;

void URI::SplitPath(const std::string& path, std::vector<std::string>& segments, bool& leading,
                    bool& trailing) {
    leading = HasLeadingSlash(path);
    trailing = HasTrailingSlash(path);
    segments.reserve(segments.size() + uri_detail::MaxSegmentCount(path));
    uri_detail::AppendSegments(path, segments);
}

void URI::SplitPath(const std::string& path, std::vector<std::string>& segments) {
    bool leading = false, trailing = false;
    SplitPath(path, segments, leading, trailing);
}

std::string URI::JoinPath(const std::vector<std::string>& segments, bool leading, bool trailing) {
    return uri_detail::JoinSegments(segments, leading, trailing);
}

namespace {

using Segments = std::vector<std::string_view>;

// Works out "." and ".." in place. The segments before the write position are the
// walked part of the list (never a "."); each input segment is then dropped, kept, or
// cancels the last walked one. A ".." that reaches the front stays when
// keepLeadingParent() says so (a relative base) and is dropped otherwise (nothing
// climbs above the root). Returns whether the last segment handled was a dot segment.
template <typename KeepLeadingParent>
bool RemoveDotSegments(Segments& segments, KeepLeadingParent keepLeadingParent) {
    bool dotSeen = false;
    std::size_t kept = 0;
    for (std::size_t i = 0; i < segments.size(); ++i) {
        const std::string_view segment = segments[i];
        dotSeen = segment == "." || segment == "..";
        if (segment == ".") continue;
        if (segment == "..") {
            if (kept > 0 && segments[kept - 1] != "..") {
                --kept;
                continue;
            }
            if (kept == 0 && !keepLeadingParent()) continue;
        }
        segments[kept++] = segment;
    }
    segments.resize(kept);
    return dotSeen;
}

}  // namespace

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

    // The reference's path, query and fragment, unescaped. The moves "." and ".." that
    // the directory operations make all the time are known without parsing.
    std::string refPath, refQuery, refFragment;
    if (text == "." || text == "..") {
        refPath = text;
    } else {
        URI scratch;
        // A query-only reference keeps the base's directory, not its file name.
        scratch = text[0] == '?' ? StringProxy("./" + text) : StringProxy(text);
        if (!scratch.m_Relative || !scratch.m_Hierarchical) {
            CopyURI(scratch);  // absolute or opaque: it replaces the base
            return true;
        }
        refPath = scratch.GetPath().str();
        refQuery = scratch.GetQuery(true).str();
        refFragment = scratch.GetFragment().str();
    }

    // Absolute-path reference: the base keeps only its scheme and authority.
    if (HasLeadingSlash(refPath)) {
        SetPath(refPath);
        SetQuery(refQuery, true);
        SetFragment(refFragment);
        return true;
    }
    // Fragment-only reference.
    const std::size_t refSegmentBound = uri_detail::MaxSegmentCount(refPath);
    Segments refSegments;
    refSegments.reserve(refSegmentBound);
    uri_detail::AppendSegments(refPath, refSegments);
    if (refSegments.empty() && refQuery.empty()) {
        SetFragment(refFragment);
        return true;
    }

    // Relative-path reference: drop the base's file name, append, walk the dots.
    const std::string basePath = GetPath().str();
    Segments segments;
    segments.reserve(uri_detail::MaxSegmentCount(basePath) + refSegments.size());
    uri_detail::AppendSegments(basePath, segments);
    if (!HasTrailingSlash(basePath) && !segments.empty()) segments.pop_back();
    SetQuery(refQuery, true);
    SetFragment(refFragment);
    segments.insert(segments.end(), refSegments.begin(), refSegments.end());
    const bool endsInDot = RemoveDotSegments(segments, [this] { return IsRelative(); });
    SetPath(uri_detail::JoinSegments(segments, HasLeadingSlash(basePath),
                                     HasTrailingSlash(refPath) || endsInDot));
    return true;
}

}  // namespace Varn
