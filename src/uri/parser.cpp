// Parsing URI text into the components (the steps are in parse_steps.cpp; the text is
// kept as the URI's buffer, see storage.h), and the validity rules.
#include <string>
#include <string_view>

#include <tessera/URI.h>

#include "uri/ascii.h"
#include "uri/storage.h"

namespace Varn {

using tessera::uri::ContainsByte;
using tessera::uri::Equals;

void URI::ConstructURI(const std::string& text) {
    if (!ParseURI(text)) m_valid = false;
}

// Strong guarantee: the copy of the text is made before anything changes.
bool URI::ParseURI(const std::string& text) { return Storage::Parse(*this, std::string(text)); }

bool URI::ValidateURI() {
    const std::string_view scheme = Storage::Get(*this, tessera::uri::kScheme);
    if (IsAbsolute()) {
        if (scheme.size() < 2 || Equals(scheme, "unknown")) return false;
        for (char c : scheme) {
            if (!tessera::uri::IsAsciiLetter(c)) return false;  // VerifyAlpha
        }
    }
    if (m_hierarchical) {
        if (ContainsByte(Storage::Get(*this, tessera::uri::kPath), '\\')) return false;
        return IsRelative() || !Equals(scheme, "unknown");
    }
    return !ContainsByte(Storage::Get(*this, tessera::uri::kNonHierarchical), '\\');
}

bool URI::IsIPv6(const std::string& text) { return tessera::uri::HasTwoColons(text); }

}  // namespace Varn
