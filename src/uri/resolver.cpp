// The resolver hook: an application's mapping of URIs that the comparing operations
// apply before they look at a URI.
#include <tessera/URI.h>

namespace Varn {

// Installed by the application; never created, copied or deleted by the library.
URIResolver* URI::m_Resolver = nullptr;

URIResolver::~URIResolver() = default;

URIResolver* URI::SetResolver(URIResolver* resolver) {
    URIResolver* previous = m_Resolver;
    m_Resolver = resolver;
    return previous;
}

URI URI::Resolve(const URI& uri) {
    if (!m_Resolver) return uri;
    return m_Resolver->ResolveURI(uri);
}

}  // namespace Varn
