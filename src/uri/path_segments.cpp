// The path algebra of Varn::URI: splitting and joining paths, and ChDir, which moves a
// URI by a reference written relative to it. All path work is done on unescaped paths.
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include <tessera/URI.h>

#include "uri/ascii.h"
#include "uri/path_moves.h"
#include "uri/path_segment_views.h"
#include "uri/proxy_text.h"
#include "uri/short_copy.h"
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

namespace {

// Lays parts out one after another in a buffer sized beforehand, noting their bounds. It
// lives in one function (LayOut), where its position stays in a register: the bytes it
// writes could otherwise be the position itself as far as the compiler knows.
class Layout {
public:
    Layout(char* buffer, uri::PartBounds& bounds) : m_start(buffer), m_at(buffer), m_bounds(bounds) {}

    void Part(uri::Part part, std::string_view text, std::string_view tail = std::string_view()) {
        m_bounds[2 * part] = static_cast<std::uint32_t>(Size());
        Write(text);
        Write(tail);
        m_bounds[2 * part + 1] = static_cast<std::uint32_t>(Size());
    }
    void Separator(char c) { *m_at++ = c; }
    std::size_t Size() const { return static_cast<std::size_t>(m_at - m_start); }

private:
    void Write(std::string_view text) {
        if (text.empty()) return;  // most parts of a result are
        uri::CopyBytes(m_at, text.data(), text.size());
        m_at += text.size();
    }

    char* m_start;
    char* m_at;
    // A result over 4 GiB is refused (Adopt) before they are used.
    uri::PartBounds& m_bounds;
};

// Lays the parts of a hierarchical URI out at buffer as they are written out
// (written_form.h), so that writing the URI out is one copy; user information, host and
// port that are not written out come before the path. Sets every bound; returns the size.
std::size_t LayOut(char* buffer, uri::PartBounds& bounds, const std::string_view (&part)[uri::kPartCount],
                   std::string_view scheme, std::string_view pathTail, bool slashes) {
    Layout laid(buffer, bounds);
    laid.Part(uri::kScheme, scheme);
    if (!scheme.empty()) laid.Separator(':');
    laid.Part(uri::kNonHierarchical, std::string_view());
    const bool user = !part[uri::kUsername].empty();
    if (slashes) laid.Separator('/'), laid.Separator('/');
    laid.Part(uri::kUsername, part[uri::kUsername]);
    if (slashes && user && !part[uri::kPassword].empty()) laid.Separator(':');
    laid.Part(uri::kPassword, part[uri::kPassword]);
    if (slashes && user) laid.Separator('@');
    laid.Part(uri::kAuthority, part[uri::kAuthority]);
    if (slashes && !part[uri::kServerPort].empty()) laid.Separator(':');
    laid.Part(uri::kServerPort, part[uri::kServerPort]);
    laid.Part(uri::kPath, part[uri::kPath], pathTail);
    if (!part[uri::kQuery].empty()) laid.Separator('?');
    laid.Part(uri::kQuery, part[uri::kQuery]);
    if (!part[uri::kFragment].empty()) laid.Separator('#');
    laid.Part(uri::kFragment, part[uri::kFragment]);
    return laid.Size();
}

// Whether LayOut writes exactly the written form (URI::Storage::HoldsWrittenForm): it
// does unless user information, or the host or port of a reference with no scheme, lies
// unwritten before the path.
bool LaysOutWrittenForm(const std::string_view (&part)[uri::kPartCount], bool relative, bool slashes) {
    if (!part[uri::kUsername].empty() || !part[uri::kPassword].empty()) return false;
    return relative ? part[uri::kAuthority].empty() && part[uri::kServerPort].empty() : slashes;
}

}  // namespace

// A result of up to kStackRoom bytes is laid out on the stack first (the parts may lie in
// the URI's buffer), then copied into that buffer when it has the room, which cannot
// fail, or into a new one of its exact size; a larger result is laid out in a buffer of
// its own.
void URI::Storage::Rebuild(URI& target, const std::string_view (&part)[uri::kPartCount], std::string_view pathTail) {
    std::size_t size = 8 + pathTail.size();  // room for the separators
    for (const std::string_view text : part) size += text.size();
    const std::string_view scheme =
        uri::Equals(part[uri::kScheme], "unknown") ? std::string_view() : part[uri::kScheme];
    const bool relative = scheme.empty();
    const bool slashes = !relative && (!part[uri::kAuthority].empty() || uri::SameText(scheme, "file", false));

    constexpr std::size_t kStackRoom = 512;
    uri::PartBounds bounds;
    if (size <= kStackRoom) {
        char buffer[kStackRoom];
        const std::size_t laidSize = LayOut(buffer, bounds, part, scheme, pathTail, slashes);
        if (laidSize <= target.m_text.size()) {
            // No longer than the text it replaces (the usual relative form): one plain copy
            // and a cut, where assign would first look for overlap and room.
            std::memcpy(&target.m_text[0], buffer, laidSize);
            target.m_text.resize(laidSize);
            SetBounds(target, bounds);
        } else if (laidSize <= target.m_text.capacity()) {
            // Appended to the emptied buffer, which has the room: cheaper than assign,
            // which first looks for an overlap with it, or than growing it by resize.
            target.m_text.clear();
            target.m_text.append(buffer, laidSize);
            SetBounds(target, bounds);
        } else {
            std::string text(buffer, laidSize);
            Adopt(target, text, bounds);
        }
    } else {
        std::string text(size, '\0');
        text.resize(LayOut(&text[0], bounds, part, scheme, pathTail, slashes));
        Adopt(target, text, bounds);
    }
    target.m_hierarchical = true;
    target.m_relative = relative;
    target.m_valid = !part[uri::kAuthority].empty() || !part[uri::kPath].empty() || !pathTail.empty();
    target.m_facts = LaysOutWrittenForm(part, relative, slashes) ? kWrittenForm : 0;
}

void URI::Storage::RebuildOnBase(URI& target, const URI& base, std::string_view path, std::string_view query,
                                 std::string_view fragment, std::string_view pathTail) {
    const std::string_view part[uri::kPartCount] = {
        Get(base, uri::kScheme),
        std::string_view(),
        Get(base, uri::kUsername),
        Get(base, uri::kPassword),
        Get(base, uri::kAuthority),
        Get(base, uri::kServerPort),
        path,
        query,
        fragment,
    };
    Rebuild(target, part, pathTail);
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
    Storage::Parse(scratch, text[0] == '?' ? "./" + text : std::string(text));
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
