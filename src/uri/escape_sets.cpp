// Escape sets and escaping by set.
#include "uri/escape_sets.h"

#include <cstring>
#include <utility>

namespace tessera::uri {

EscapeSet::EscapeSet(const std::string& members) noexcept {
    for (char c : members) m_member[static_cast<unsigned char>(c)] = true;
}

EscapeSet::EscapeSet(unsigned char first, unsigned char last) noexcept {
    for (unsigned b = first; b <= last; ++b) m_member[b] = true;
}

namespace {

const unsigned char* Bytes(std::string_view text) { return reinterpret_cast<const unsigned char*>(text.data()); }

std::size_t CountMembers(std::string_view text, const EscapeSet& set) {
    const unsigned char* bytes = Bytes(text);
    std::size_t members = 0;
    for (std::size_t i = 0; i < text.size(); ++i) members += set.Contains(bytes[i]);
    return members;
}

}  // namespace

bool HasMember(std::string_view text, const EscapeSet& set) noexcept {
    const unsigned char* bytes = Bytes(text);
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (set.Contains(bytes[i])) return true;
    }
    return false;
}

std::size_t EscapedSize(std::string_view text, const EscapeSet& set) noexcept {
    return text.size() + 2 * CountMembers(text, set);
}

char* WriteEscaped(char* out, std::string_view text, const EscapeSet& set) noexcept {
    static const char kHex[] = "0123456789ABCDEF";
    const unsigned char* bytes = Bytes(text);
    std::size_t copied = 0;  // bytes of text before i already written
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (!set.Contains(bytes[i])) continue;
        std::memcpy(out, text.data() + copied, i - copied);
        out += i - copied;
        *out++ = '%';
        *out++ = kHex[bytes[i] >> 4];
        *out++ = kHex[bytes[i] & 15];
        copied = i + 1;
    }
    if (text.size() != copied) std::memcpy(out, text.data() + copied, text.size() - copied);
    return out + (text.size() - copied);
}

std::string EscapeBySet(std::string_view text, const EscapeSet& set) {
    std::string out(EscapedSize(text, set), '\0');
    WriteEscaped(&out[0], text, set);
    return out;
}

std::string EscapeBySet(std::string&& text, const EscapeSet& set) {
    if (!HasMember(text, set)) return std::move(text);
    return EscapeBySet(std::string_view(text), set);
}

}  // namespace tessera::uri
