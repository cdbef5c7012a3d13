// The URI object: construction, copying, the stored flags and the hierarchical state;
// and the carrier through which operations write into a caller's string.
#include <tessera/URI.h>

#include "uri/ascii.h"

namespace Varn {

URI::URI() : m_Valid(false), m_Relative(false), m_Hierarchical(false) { Initialize(); }

URI::URI(const URI& other) : m_Valid(false), m_Relative(false), m_Hierarchical(false) { CopyURI(other); }

URI::URI(StringProxy text) : m_Valid(false), m_Relative(false), m_Hierarchical(false) { ConstructURI(text); }

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
    m_Valid = false;
    m_Relative = false;
    m_Hierarchical = false;
    m_Scheme.clear();
    m_Scheme.append("unknown", 7);
    m_Authority.clear();
    m_Username.clear();
    m_Password.clear();
    m_ServerPort.clear();
    m_Path.clear();
    m_Query.clear();
    m_Fragment.clear();
    m_NonHierarchical.clear();
}

void URI::CopyURI(const URI& other) {
    if (&other == this) return;
    m_Scheme = other.m_Scheme;
    m_Authority = other.m_Authority;
    m_ServerPort = other.m_ServerPort;
    m_Path = other.m_Path;
    m_Query = other.m_Query;
    m_Fragment = other.m_Fragment;
    m_Username = other.m_Username;
    m_Password = other.m_Password;
    m_NonHierarchical = other.m_NonHierarchical;
    m_Valid = other.m_Valid;
    m_Relative = other.m_Relative;
    m_Hierarchical = other.m_Hierarchical;
}

void URI::SetHierState(bool hierarchical) {
    const bool noScheme = tessera::uri::IsNoScheme(m_Scheme);
    if (hierarchical) {
        m_Hierarchical = true;
        m_NonHierarchical.clear();
        m_Relative = noScheme;
        m_Valid = !m_Authority.empty() || !m_Path.empty();
    } else {
        m_Hierarchical = false;
        m_Authority.clear();
        m_Username.clear();
        m_Password.clear();
        m_ServerPort.clear();
        m_Path.clear();
        m_Relative = false;
        m_Valid = !noScheme;
    }
}

bool URI::IsValidURI() const { return m_Valid; }

bool URI::IsAbsolute() const { return !m_Relative; }

bool URI::IsRelative() const { return m_Relative; }

bool URI::IsDirectory() const { return !m_Path.empty() && m_Path.back() == '/'; }

bool URI::IsHierarchical() const { return m_Hierarchical; }

}  // namespace Varn
