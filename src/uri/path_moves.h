// Moving a URI by a reference that names neither a scheme nor an authority: the part of
// ChDir that works on paths, shared with MakeAbsoluteURI, which knows the parts of its
// reference without writing it out and parsing it again. The paths are read as views
// and the result is written once.
#ifndef TESSERA_URI_PATH_MOVES_H
#define TESSERA_URI_PATH_MOVES_H

#include <string>
#include <string_view>

#include <tessera/URI.h>

#include "uri/escape_reading.h"
#include "uri/escape_sets.h"
#include "uri/path_segment_views.h"
#include "uri/storage.h"

namespace tessera::uri {

/// How a relative reference moves a URI.
enum class MoveKind {
    kAbsolutePath,  // "/p": path, query and fragment become the reference's
    kFragmentOnly,  // "#f": only the fragment changes
    kRelativePath,  // "p", "../p", "?q": the paths merge; query and fragment become the reference's
};

inline MoveKind KindOfMove(const ReferenceParts& reference) {
    if (HasLeadingSlash(reference.path)) return MoveKind::kAbsolutePath;
    const bool noSegment = reference.path.find_first_not_of('/') == std::string_view::npos;
    return noSegment && reference.query.empty() ? MoveKind::kFragmentOnly : MoveKind::kRelativePath;
}

/// The unescaped path that a relative-path reference leads to from basePath: the base's
/// segments without its file name, then the reference's, with "." and ".." worked out
/// (keepLeadingParent() tells whether a ".." at the front stays); '/' in front as in the
/// base, and at the end as in the reference or after a last dot segment.
template <typename KeepLeadingParent>
std::string MergePaths(std::string_view basePath, std::string_view referencePath, KeepLeadingParent keepLeadingParent) {
    SegmentList segments(SegmentList::RoomFor(basePath.size()) + SegmentList::RoomFor(referencePath.size()));
    segments.AppendSegmentsOf(basePath);
    if (!HasTrailingSlash(basePath) && !segments.Empty()) segments.PopBack();
    segments.AppendSegmentsOf(referencePath);
    const bool endsInDot = segments.RemoveDotSegments(keepLeadingParent);
    return JoinSegments(segments, HasLeadingSlash(basePath), HasTrailingSlash(referencePath) || endsInDot);
}

/// A stored component unescaped: a view of the stored text when it holds no escape,
/// else a decoded copy held here.
class Decoded {
public:
    explicit Decoded(std::string_view stored) : m_view(stored) {
        if (stored.find('%') == std::string_view::npos) return;
        m_owned = UnescapeText(stored, false);
        m_view = m_owned;
    }
    Decoded(const Decoded&) = delete;
    Decoded& operator=(const Decoded&) = delete;
    std::string_view View() const { return m_view; }

private:
    std::string m_owned;
    std::string_view m_view;
};

/// Plain text in the form a setter stores it: a view of the text when no byte needs
/// escaping, else an escaped copy held here. A path keeps a drive mark "/C|" unescaped
/// when isFile() says so (SetPath's rule).
class Stored {
public:
    Stored(std::string_view text, const EscapeSet& set) : m_view(text) {
        if (!HasMember(text, set)) return;
        m_owned = EscapeBySet(text, set);
        m_view = m_owned;
    }
    template <typename IsFile>
    static Stored Path(std::string_view path, IsFile isFile) {
        if (path.size() >= 4 && path[2] == '|' && isFile()) return Stored(path, 3);
        return Stored(path, s_excludedSet);
    }
    Stored(Stored&& other) : m_owned(std::move(other.m_owned)), m_view(other.m_view) {
        if (!m_owned.empty()) m_view = m_owned;
    }
    Stored(const Stored&) = delete;
    Stored& operator=(const Stored&) = delete;
    std::string_view View() const { return m_view; }

private:
    // The first `raw` bytes as they are, the rest escaped as a path is.
    Stored(std::string_view path, std::size_t raw) {
        m_owned.assign(path.substr(0, raw));
        m_owned += EscapeBySet(path.substr(raw), s_excludedSet);
        m_view = m_owned;
    }

    std::string m_owned;
    std::string_view m_view;
};

}  // namespace tessera::uri

namespace Varn {

template <typename Moving>
void URI::Storage::Move(URI& target, const URI& base, const tessera::uri::ReferenceParts& reference,
                        const Moving& moving) {
    namespace uri = tessera::uri;
    const uri::MoveKind kind = uri::KindOfMove(reference);
    if (kind == uri::MoveKind::kFragmentOnly) {
        if (&target == &base) return SetEscaped(target, uri::kFragment, reference.fragment, uri::s_newRfcSet);
        URI moved(base);
        SetEscaped(moved, uri::kFragment, reference.fragment, uri::s_newRfcSet);
        return Swap(target, moved);
    }
    std::string merged;
    if (kind == uri::MoveKind::kRelativePath) {
        const uri::Decoded basePath(Get(base, uri::kPath));
        merged = uri::MergePaths(basePath.View(), reference.path, [&moving] { return moving.IsRelative(); });
    }
    const uri::Stored path = uri::Stored::Path(kind == uri::MoveKind::kRelativePath ? merged : reference.path,
                                               [&moving] { return moving.IsOfType("file"); });
    const uri::Stored query(reference.query, uri::s_newRfcSet), fragment(reference.fragment, uri::s_newRfcSet);
    RebuildOnBase(target, base, path.View(), query.View(), fragment.View());
}

}  // namespace Varn

#endif  // TESSERA_URI_PATH_MOVES_H
