// Taking over the text of a StringProxy that an operation received by value.
#ifndef TESSERA_URI_PROXY_TEXT_H
#define TESSERA_URI_PROXY_TEXT_H

#include <string>
#include <utility>

#include <tessera/URI.h>

namespace tessera::uri {

/// The characters of `proxy`, to be moved out rather than copied (a reference, so that a
/// string it initialises or is bound to takes them over with no move in between). Only for
/// a proxy that the operation owns (a parameter taken by value): the string in it is not
/// const, so it may be changed, and the proxy is left valid but unspecified.
inline std::string&& TakeText(Varn::URI::StringProxy& proxy) noexcept {
    return std::move(const_cast<std::string&>(proxy.str()));
}

}  // namespace tessera::uri

#endif  // TESSERA_URI_PROXY_TEXT_H
