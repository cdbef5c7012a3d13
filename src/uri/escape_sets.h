// The six escape sets of the URI class and the escaping that uses them.
#ifndef TESSERA_URI_ESCAPE_SETS_H
#define TESSERA_URI_ESCAPE_SETS_H

#include <cstddef>
#include <string>
#include <string_view>

namespace tessera::uri {

/// One flag per byte value, a byte each, so that a test is one load.
class EscapeSet {
public:
    /// The set of every byte of members.
    explicit EscapeSet(const std::string& members) noexcept;
    /// The set of the bytes first to last (inclusive).
    EscapeSet(unsigned char first, unsigned char last) noexcept;

    /// Whether byte b is a member.
    bool Contains(unsigned char b) const noexcept { return m_member[b]; }

private:
    bool m_member[256] = {};
};

// Built at load time from the character-class strings (library_statics.cpp).
extern const EscapeSet s_excludedSet;       // URIexcluded
extern const EscapeSet s_userInfoSet;       // URIexcluded + "/;"
extern const EscapeSet s_queryExcludedSet;  // URIqueryexcluded
extern const EscapeSet s_nonHierSet;        // URInonhierexcluded
extern const EscapeSet s_highByteSet;       // 0x80-0xFF
extern const EscapeSet s_newRfcSet;         // URInewrfcexcluded

/// Whether some byte of text is a member of set (escaping would change it).
bool HasMember(std::string_view text, const EscapeSet& set) noexcept;
/// The size of text once every member of set is escaped (three bytes each).
std::size_t EscapedSize(std::string_view text, const EscapeSet& set) noexcept;
/// Writes text with every member of set as '%' and two upper-case hexadecimal digits to
/// out, which has room for EscapedSize bytes; returns the end of what it wrote.
char* WriteEscaped(char* out, std::string_view text, const EscapeSet& set) noexcept;
/// text escaped by set.
std::string EscapeBySet(std::string_view text, const EscapeSet& set);
/// The same, taking over text when none of its bytes needs escaping.
std::string EscapeBySet(std::string&& text, const EscapeSet& set);

/// Appends the escape of byte b ("%0A", "%E9") to out.
inline void AppendEscape(std::string& out, unsigned char b) {
    static const char kHex[] = "0123456789ABCDEF";
    const char escape[3] = {'%', kHex[b >> 4], kHex[b & 15]};
    out.append(escape, 3);
}

}  // namespace tessera::uri

#endif  // TESSERA_URI_ESCAPE_SETS_H
