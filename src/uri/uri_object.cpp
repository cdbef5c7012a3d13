// The URI object: construction, copying, the stored flags and the hierarchical state.
//
// What each operation leaves when an allocation fails: construction throws and leaves
// nothing; copying, parsing and the setters leave the URI as it was; SetParts, ForceEscape
// and FromEncodedString, which are several setters in a row, leave those done before.
#include <tessera/URI.h>

#include "uri/ascii.h"
#include "uri/proxy_text.h"
#include "uri/storage.h"

namespace Varn {

using tessera::uri::Part;

URI::URI() : m_bounds{}, m_valid(false), m_relative(false), m_hierarchical(false), m_facts(0) { Initialize(); }

URI::URI(const URI& other)
    : m_text(other.m_text),
      m_valid(other.m_valid),
      m_relative(other.m_relative),
      m_hierarchical(other.m_hierarchical),
      m_facts(other.m_facts) {
    Storage::SetBounds(*this, other.m_bounds);
}

URI::URI(StringProxy text) : m_bounds{}, m_valid(false), m_relative(false), m_hierarchical(false), m_facts(0) {
    Storage::Parse(*this, tessera::uri::TakeText(text));
}

URI::URI(const char* text) : URI(StringProxy(text)) {}

URI& URI::operator=(const URI& other) {
    CopyURI(other);
    return *this;
}

URI& URI::operator=(StringProxy text) {
    Storage::Parse(*this, tessera::uri::TakeText(text));
    return *this;
}

URI& URI::operator=(const char* text) { return *this = StringProxy(text); }

URI::~URI() = default;

void URI::Initialize() {
    m_valid = false;
    m_relative = false;
    m_hierarchical = false;
    m_facts = 0;
    // "unknown" fits the room every string has: this never allocates.
    m_text.assign("unknown", 7);
    for (std::uint32_t& bound : m_bounds) bound = 7;  // every part empty after the scheme
    m_bounds[2 * tessera::uri::kScheme] = 0;
}

void URI::CopyURI(const URI& other) {
    if (&other == this) return;
    Storage::Copy(*this, other);
    m_valid = other.m_valid;
    m_relative = other.m_relative;
    m_hierarchical = other.m_hierarchical;
}

void URI::SetHierState(bool hierarchical) {
    const bool noScheme = tessera::uri::IsNoScheme(Storage::Get(*this, tessera::uri::kScheme));
    Storage::ForgetFacts(*this);  // the flags the written form depends on change too
    if (hierarchical) {
        m_hierarchical = true;
        Storage::Clear(*this, tessera::uri::kNonHierarchical);
        m_relative = noScheme;
        m_valid = !Storage::Empty(*this, tessera::uri::kAuthority) || !Storage::Empty(*this, tessera::uri::kPath);
    } else {
        m_hierarchical = false;
        for (Part part : {tessera::uri::kUsername, tessera::uri::kPassword, tessera::uri::kAuthority,
                          tessera::uri::kServerPort, tessera::uri::kPath}) {
            Storage::Clear(*this, part);
        }
        m_relative = false;
        m_valid = !noScheme;
    }
}

bool URI::IsValidURI() const { return m_valid; }

bool URI::IsAbsolute() const { return !m_relative; }

bool URI::IsRelative() const { return m_relative; }

bool URI::IsDirectory() const {
    const std::string_view path = Storage::Get(*this, tessera::uri::kPath);
    return !path.empty() && path.back() == '/';
}

bool URI::IsHierarchical() const { return m_hierarchical; }

}  // namespace Varn
