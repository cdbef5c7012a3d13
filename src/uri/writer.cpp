// Writing a URI out as text, and equality of URIs by their written-out form.
#include <cstring>
#include <string>
#include <string_view>

#include <tessera/URI.h>

#include "uri/escape_reading.h"
#include "uri/escape_sets.h"
#include "uri/storage.h"
#include "uri/written_form.h"

namespace Varn {
namespace {

using tessera::uri::Part;

// The pieces of the written-out text, collected first so that the result is sized once.
// A piece that continues the previous one in the URI's buffer joins it, and a separator
// that the buffer holds right after the previous piece is taken from there: a parsed
// URI, which keeps its separators, is mostly written out in one copy.
class PieceList {
public:
    explicit PieceList(std::string_view buffer) : m_bufferEnd(buffer.data() + buffer.size()) {}

    void Part(Part, std::string_view text) {
        if (text.empty()) return;
        if (m_count > 0 && m_inBuffer[m_count - 1] && End() == text.data()) return Extend(text.size());
        Add(text.data(), text.size(), true);
    }
    void Separator(std::string_view text) {
        if (m_count > 0 && m_inBuffer[m_count - 1] && text.size() <= static_cast<std::size_t>(m_bufferEnd - End()) &&
            std::memcmp(End(), text.data(), text.size()) == 0) {
            return Extend(text.size());
        }
        Add(text.data(), text.size(), false);
    }
    std::string Join() const {
        if (m_count == 1) return std::string(m_pieces[0], m_sizes[0]);
        std::string out(m_total, '\0');
        char* to = &out[0];
        for (int i = 0; i < m_count; ++i) {
            std::memcpy(to, m_pieces[i], m_sizes[i]);
            to += m_sizes[i];
        }
        return out;
    }

private:
    const char* End() const { return m_pieces[m_count - 1] + m_sizes[m_count - 1]; }
    void Extend(std::size_t n) {
        m_sizes[m_count - 1] += n;
        m_total += n;
    }
    void Add(const char* text, std::size_t n, bool inBuffer) {
        m_pieces[m_count] = text;
        m_sizes[m_count] = n;
        m_inBuffer[m_count] = inBuffer;
        m_total += n;
        ++m_count;
    }

    // At most: scheme ':' "//" user ':' password '@' host ':' port path '?' query '#' fragment.
    const char* m_pieces[16];
    std::size_t m_sizes[16];
    bool m_inBuffer[16];
    const char* m_bufferEnd;
    std::size_t m_total = 0;
    int m_count = 0;
};

// The written-out text with the parts given through their getters (decoded).
class DecodedText {
public:
    void Part(Part, std::string_view text) { m_text.append(text.data(), text.size()); }
    void Separator(std::string_view text) { m_text.append(text.data(), text.size()); }
    std::string& Text() { return m_text; }

private:
    std::string m_text;
};

}  // namespace

bool URI::Storage::LaidOutAsWritten(const URI& uri) noexcept {
    using tessera::uri::kAuthority, tessera::uri::kPath, tessera::uri::kServerPort;
    const std::uint32_t* const bound = uri.m_bounds;
    const char* const text = uri.m_text.data();
    std::uint32_t next = 0;  // where the next part that is written must begin
    if (!uri.m_relative) {
        const std::uint32_t schemeEnd = bound[2 * tessera::uri::kScheme + 1];
        if (bound[2 * tessera::uri::kScheme] != 0 || schemeEnd == 0 || !Empty(uri, tessera::uri::kUsername) ||
            bound[2 * kAuthority] != schemeEnd + 3 || std::memcmp(text + schemeEnd, "://", 3) != 0) {
            return false;
        }
        next = bound[2 * kAuthority + 1];
    }
    // A part that is written follows its separator right where the one before ended.
    const auto follows = [&](Part part, char separator) {
        if (Empty(uri, part)) return true;
        if (bound[2 * part] != next + 1 || text[next] != separator) return false;
        next = bound[2 * part + 1];
        return true;
    };
    if ((!uri.m_relative && !follows(kServerPort, ':')) || bound[2 * kPath] != next) return false;
    next = bound[2 * kPath + 1];
    return follows(tessera::uri::kQuery, '?') && follows(tessera::uri::kFragment, '#') && next == uri.m_text.size();
}

URI::StringProxy URI::ToString(bool unescaped) const {
    if (!unescaped && IsHierarchical() && (m_relative || !Storage::Empty(*this, tessera::uri::kAuthority)) &&
        Storage::HoldsWrittenForm(*this)) {
        return std::string(m_text);
    }
    std::string_view part[tessera::uri::kPartCount];
    for (unsigned p = 0; p < tessera::uri::kPartCount; ++p) part[p] = Storage::Get(*this, Part(p));
    const bool hierarchical = IsHierarchical();
    // "//" is written for a host, and for every "file" URI (asked only when there is no host).
    const bool slashes = hierarchical && !m_relative && (!part[tessera::uri::kAuthority].empty() || IsOfType("file"));
    const tessera::uri::WrittenShape shape{hierarchical, m_relative, slashes};
    if (!unescaped) {
        PieceList out(Storage::Buffer(*this));
        tessera::uri::WriteParts(out, part, shape);
        return out.Join();
    }
    // Decoded through the getters; an IPv6 host is always written as stored, with its
    // brackets, and the port never changes.
    const StringProxy scheme = GetScheme(), opaque = GetNonHierarchical(), username = GetUsername(),
                      password = GetPassword(), host = GetAuthority(), path = GetPath(), query = GetQuery(true),
                      fragment = GetFragment();
    const std::string_view decoded[tessera::uri::kPartCount] = {
        scheme.str(),
        opaque.str(),
        username.str(),
        password.str(),
        IsIPv6(std::string(part[tessera::uri::kAuthority])) ? part[tessera::uri::kAuthority]
                                                            : std::string_view(host.str()),
        part[tessera::uri::kServerPort],
        path.str(),
        query.str(),
        fragment.str(),
    };
    DecodedText out;
    tessera::uri::WriteParts(out, decoded, shape);
    return std::move(out.Text());
}

URI::StringProxy URI::ToStringUTF8() const { return Unescape(ToString(false), true); }

URI::StringProxy URI::ToStringUTF8Escaped() const {
    StringProxy written = ToString(false);
    if (!tessera::uri::HasMember(written.str(), tessera::uri::s_highByteSet)) return written;  // ASCII already
    return tessera::uri::EscapeBySet(std::string_view(written.str()), tessera::uri::s_highByteSet);
}

bool URI::operator==(const URI& other) const { return ToString(false).str() == other.ToString(false).str(); }

bool URI::operator!=(const URI& other) const { return !(*this == other); }

bool URI::operator==(StringProxy text) const { return ToString(false).str() == text.str(); }

bool URI::operator!=(StringProxy text) const { return !(*this == std::move(text)); }

bool URI::operator==(const char* text) const { return *this == StringProxy(text); }

bool URI::operator!=(const char* text) const { return !(*this == StringProxy(text)); }

}  // namespace Varn
