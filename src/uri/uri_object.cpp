// The URI object: construction, copying, the stored flags and the hierarchical state;
// and the carrier through which operations write into a caller's string.
#include <tessera/URI.h>

#include "uri/ascii.h"

namespace Varn {

URI::URI() : m_valid(false), m_relative(false), m_hierarchical(false) { Initialize(); }

URI::URI(const URI& other) : m_valid(false), m_relative(false), m_hierarchical(false) { CopyURI(other); }

URI::URI(StringProxy text) : m_valid(false), m_relative(false), m_hierarchical(false) { ConstructURI(text); }

URI::URI(const char* text) : URI(StringProxy(text)) {}

URI& URI::operator=(const URI& other) {
    CopyURI(other);
    return *this;
}

URI& URI::operator=(StringProxy text) {
    ConstructURI(text);
    return *this;
}

URI& URI::operator=(const char* text) { return *this = StringProxy(text); }

URI::~URI() = default;

void URI::Initialize() {
    m_valid = false;
    m_relative = false;
    m_hierarchical = false;
    m_scheme.clear();
    m_scheme.append("unknown", 7);
    m_authority.clear();
    m_username.clear();
    m_password.clear();
    m_serverPort.clear();
    m_path.clear();
    m_query.clear();
    m_fragment.clear();
    m_nonHierarchical.clear();
}

void URI::CopyURI(const URI& other) {
    if (&other == this) return;
    m_scheme = other.m_scheme;
    m_authority = other.m_authority;
    m_serverPort = other.m_serverPort;
    m_path = other.m_path;
    m_query = other.m_query;
    m_fragment = other.m_fragment;
    m_username = other.m_username;
    m_password = other.m_password;
    m_nonHierarchical = other.m_nonHierarchical;
    m_valid = other.m_valid;
    m_relative = other.m_relative;
    m_hierarchical = other.m_hierarchical;
}

void URI::SetHierState(bool hierarchical) {
    const bool noScheme = tessera::uri::IsNoScheme(m_scheme);
    if (hierarchical) {
        m_hierarchical = true;
        m_nonHierarchical.clear();
        m_relative = noScheme;
        m_valid = !m_authority.empty() || !m_path.empty();
    } else {
        m_hierarchical = false;
        m_authority.clear();
        m_username.clear();
        m_password.clear();
        m_serverPort.clear();
        m_path.clear();
        m_relative = false;
        m_valid = !noScheme;
    }
}

bool URI::IsValidURI() const { return m_valid; }

bool URI::IsAbsolute() const { return !m_relative; }

bool URI::IsRelative() const { return m_relative; }

bool URI::IsDirectory() const { return !m_path.empty() && m_path.back() == '/'; }

bool URI::IsHierarchical() const { return m_hierarchical; }

}  // namespace Varn
