// Helpers shared by the URI tests.
#ifndef TESSERA_TESTS_URI_TEST_SUPPORT_H
#define TESSERA_TESTS_URI_TEST_SUPPORT_H

#include <string>

#include <tessera/URI.h>

namespace tessera_test {

/// A URI with its protected operations reachable.
class OpenURI : public Varn::URI {
public:
    using URI::Compare;
    using URI::ConstructURI;
    using URI::CopyURI;
    using URI::Initialize;
    using URI::MakeLower;
    using URI::NormalizeEncoding;
    using URI::ParseURI;
    using URI::SetHierState;
    using URI::URI;
    using URI::ValidateURI;
    using URI::operator=;
};

/// The escape of byte b: '%' and two upper-case hexadecimal digits.
inline std::string EscapeOf(unsigned char b) {
    static const char kHex[] = "0123456789ABCDEF";
    return std::string{'%', kHex[b >> 4], kHex[b & 15]};
}

}  // namespace tessera_test

#endif
