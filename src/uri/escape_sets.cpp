// Escape sets and escaping by set.
#include "uri/escape_sets.h"

#include <utility>

namespace tessera::uri {

EscapeSet::EscapeSet(const std::string& members) noexcept {
    for (char c : members) {
        const auto b = static_cast<unsigned char>(c);
        m_bits[b >> 3] = static_cast<std::uint8_t>(m_bits[b >> 3] | (1u << (b & 7)));
    }
}

EscapeSet::EscapeSet(unsigned char first, unsigned char last) noexcept {
    for (unsigned b = first; b <= last; ++b) {
        m_bits[b >> 3] = static_cast<std::uint8_t>(m_bits[b >> 3] | (1u << (b & 7)));
    }
}

namespace {

// Position of the first member of set in text, or its size.
std::size_t FindFirstMember(const std::string& text, const EscapeSet& set) {
    const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
    std::size_t i = 0;
    while (i < text.size() && !set.Contains(bytes[i])) ++i;
    return i;
}

// The size of the escaped text, given the position of its first member.
std::size_t EscapedSize(const std::string& text, std::size_t first, const EscapeSet& set) {
    const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
    std::size_t members = 0;
    for (std::size_t i = first; i < text.size(); ++i) members += set.Contains(bytes[i]);
    return text.size() + 2 * members;
}

// Appends the escaped text, of escapedSize bytes, to out, given the position of its first member.
void AppendEscapedFrom(std::string& out, const std::string& text, std::size_t first, std::size_t escapedSize,
                       const EscapeSet& set) {
    const std::size_t n = text.size();
    const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
    out.reserve(out.size() + escapedSize);
    out.append(text, 0, first);
    for (std::size_t i = first; i < n; ++i) {
        if (set.Contains(bytes[i])) {
            AppendEscape(out, bytes[i]);
        } else {
            out.push_back(static_cast<char>(bytes[i]));
        }
    }
}

// The escaped text, given the position of its first member.
std::string EscapeFrom(const std::string& text, std::size_t first, const EscapeSet& set) {
    std::string out;
    AppendEscapedFrom(out, text, first, EscapedSize(text, first, set), set);
    return out;
}

}  // namespace

std::string EscapeBySet(const std::string& text, const EscapeSet& set) {
    const std::size_t first = FindFirstMember(text, set);
    return first == text.size() ? text : EscapeFrom(text, first, set);
}

std::string EscapeBySet(std::string&& text, const EscapeSet& set) {
    const std::size_t first = FindFirstMember(text, set);
    return first == text.size() ? std::move(text) : EscapeFrom(text, first, set);
}

void AssignEscapedBySet(std::string& out, const std::string& text, const EscapeSet& set) {
    const std::size_t first = FindFirstMember(text, set);
    if (&out == &text) {
        if (first != text.size()) out = EscapeFrom(text, first, set);
        return;
    }
    if (first == text.size()) {
        out.assign(text);  // new storage, if needed, is taken before the old is let go
        return;
    }
    // Room is made while out still holds its old value, so that a failed allocation
    // leaves it as it was rather than empty.
    const std::size_t escapedSize = EscapedSize(text, first, set);
    out.reserve(escapedSize);
    out.clear();
    AppendEscapedFrom(out, text, first, escapedSize, set);
}

bool HasMember(const std::string& text, const EscapeSet& set) { return FindFirstMember(text, set) != text.size(); }

}  // namespace tessera::uri
