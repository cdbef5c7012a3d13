// Non-allocating views of the segments of a '/'-separated path, shared by the path
// algebra, the file-name tests and the relation operations. A path's segments are its
// non-empty pieces between slashes: exactly what URI::SplitPath appends.
#ifndef TESSERA_URI_PATH_SEGMENT_VIEWS_H
#define TESSERA_URI_PATH_SEGMENT_VIEWS_H

#include <cstddef>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace tessera::uri {

/// Walks the segments of a path from left to right without copying them.
class SegmentCursor {
public:
    explicit SegmentCursor(std::string_view path) noexcept : m_rest(path) {}

    /// Sets segment to the next segment; false when there is none left.
    bool Next(std::string_view& segment) noexcept {
        while (!m_rest.empty()) {
            const std::size_t slash = m_rest.find('/');
            segment = m_rest.substr(0, slash);
            m_rest = slash == std::string_view::npos ? std::string_view() : m_rest.substr(slash + 1);
            if (!segment.empty()) return true;
        }
        return false;
    }

private:
    std::string_view m_rest;
};

/// Whether SplitPath reports a leading '/' for path.
inline bool HasLeadingSlash(std::string_view path) noexcept { return !path.empty() && path.front() == '/'; }

/// Whether SplitPath reports a trailing '/' for path: one after the leading one.
inline bool HasTrailingSlash(std::string_view path) noexcept {
    return path.size() > (HasLeadingSlash(path) ? 1u : 0u) && path.back() == '/';
}

/// Appends the segments of path to segments, as views into path.
template <typename Segment>
void AppendSegments(std::string_view path, std::vector<Segment>& segments) {
    SegmentCursor cursor(path);
    std::string_view segment;
    while (cursor.Next(segment)) segments.emplace_back(segment);
}

/// An upper bound of the number of segments of path (one more than its slashes).
inline std::size_t MaxSegmentCount(std::string_view path) noexcept {
    std::size_t count = 1;
    for (char c : path) count += c == '/';
    return count;
}

/// A list of segments with room for a number of segments fixed when it is made: on the
/// stack for the usual paths, in one heap block beyond. Segments are views into paths
/// that must outlive the list.
class SegmentList {
    struct Piece {  // trivial, so that the inline room is not initialised
        const char* data;
        std::size_t size;
        std::string_view View() const noexcept { return std::string_view(data, size); }
        operator std::string_view() const noexcept { return View(); }
    };

public:
    /// Room for every segment of paths of n bytes in total.
    static std::size_t RoomFor(std::size_t n) noexcept { return n / 2 + 1; }

    explicit SegmentList(std::size_t room) : m_data(m_inline) {
        if (room > kInlineRoom) {
            m_heap.reset(new Piece[room]);
            m_data = m_heap.get();
        }
    }
    SegmentList(const SegmentList&) = delete;
    SegmentList& operator=(const SegmentList&) = delete;

    /// Appends the segments of path (its non-empty pieces between slashes).
    void AppendSegmentsOf(std::string_view path) noexcept {
        const char* p = path.data();
        const char* const end = p + path.size();
        while (p != end) {
            while (p != end && *p == '/') ++p;
            const char* const start = p;
            while (p != end && *p != '/') ++p;
            if (p != start) m_data[m_size++] = Piece{start, static_cast<std::size_t>(p - start)};
        }
    }
    void PushBack(std::string_view segment) noexcept { m_data[m_size++] = Piece{segment.data(), segment.size()}; }
    void PopBack() noexcept { --m_size; }
    std::size_t Size() const noexcept { return m_size; }
    bool Empty() const noexcept { return m_size == 0; }
    std::string_view operator[](std::size_t i) const noexcept { return m_data[i].View(); }

    /// Works out "." and ".." in place. The segments before the write position are the
    /// walked part of the list (never a "."); each further segment is dropped, kept, or
    /// cancels the last walked one. A ".." that reaches the front stays when
    /// keepLeadingParent() says so (a relative base) and is dropped otherwise (nothing
    /// climbs above the root). Returns whether the last segment handled was a dot segment.
    template <typename KeepLeadingParent>
    bool RemoveDotSegments(KeepLeadingParent keepLeadingParent) {
        bool dotSeen = false;
        std::size_t kept = 0;
        for (std::size_t i = 0; i < m_size; ++i) {
            const Piece segment = m_data[i];
            const std::string_view text = segment.View();
            dotSeen = text == "." || text == "..";
            if (text == ".") continue;
            if (text == "..") {
                if (kept > 0 && m_data[kept - 1].View() != "..") {
                    --kept;
                    continue;
                }
                if (kept == 0 && !keepLeadingParent()) continue;
            }
            m_data[kept++] = segment;
        }
        m_size = kept;
        return dotSeen;
    }

    /// The segments, for JoinSegments.
    const Piece* begin() const noexcept { return m_data; }
    const Piece* end() const noexcept { return m_data + m_size; }

private:
    static constexpr std::size_t kInlineRoom = 48;
    Piece m_inline[kInlineRoom];
    std::unique_ptr<Piece[]> m_heap;
    Piece* m_data;
    std::size_t m_size = 0;
};

/// Joins segments with '/': empty pieces add no separator at the front, a trailing '/'
/// only follows a non-empty text, and a leading '/' always stands in front.
template <typename Segments>
std::string JoinSegments(const Segments& segments, bool leading, bool trailing) {
    // One pass for the size, one to copy: the result is written in place.
    std::size_t body = 0;
    for (const auto& segment : segments) {
        const std::size_t size = std::string_view(segment).size();
        if (body != 0) body += 1;
        body += size;
    }
    const bool slashAfter = trailing && body != 0;
    std::string out(body + (leading ? 1 : 0) + (slashAfter ? 1 : 0), '/');
    char* at = &out[0] + (leading ? 1 : 0);
    const char* const bodyStart = at;
    for (const auto& segment : segments) {
        const std::string_view text(segment);
        if (at != bodyStart) ++at;  // the '/' is there already
        if (!text.empty()) std::memcpy(at, text.data(), text.size());
        at += text.size();
    }
    return out;
}

/// Whether a and b are equal, byte for byte or ignoring the case of ASCII letters (the
/// equality of URI::Compare with the same flag).
inline bool SameText(std::string_view a, std::string_view b, bool caseSensitive) noexcept {
    if (a.size() != b.size()) return false;
    if (caseSensitive) return a == b;
    for (std::size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
        if (x != y) return false;
    }
    return true;
}

/// How many segments paths a and b share from the front, compared by SameText.
inline std::size_t CommonSegmentCount(std::string_view a, std::string_view b, bool caseSensitive) noexcept {
    SegmentCursor cursorA(a), cursorB(b);
    std::string_view segmentA, segmentB;
    std::size_t count = 0;
    while (cursorA.Next(segmentA) && cursorB.Next(segmentB) && SameText(segmentA, segmentB, caseSensitive)) ++count;
    return count;
}

}  // namespace tessera::uri

#endif  // TESSERA_URI_PATH_SEGMENT_VIEWS_H
