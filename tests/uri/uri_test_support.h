// Helpers shared by the URI tests: protected operations made reachable, the escape of a
// byte, and the three flags of a URI as one value that a table can state in one column.
#ifndef TESSERA_TESTS_URI_TEST_SUPPORT_H
#define TESSERA_TESTS_URI_TEST_SUPPORT_H

#include <string>

#include <tessera/URI.h>

namespace tessera_test {

/// A URI with its protected operations reachable.
class OpenURI : public Varn::URI {
public:
    using URI::Compare;
    using URI::Initialize;
    using URI::JoinPath;
    using URI::MakeLower;
    using URI::NormalizeEncoding;
    using URI::ParseURI;
    using URI::SplitPath;
    using URI::URI;
    using URI::operator=;
};

/// The escape of byte b: '%' and two upper-case hexadecimal digits.
inline std::string EscapeOf(unsigned char b) {
    static const char kHex[] = "0123456789ABCDEF";
    return std::string{'%', kHex[b >> 4], kHex[b & 15]};
}

/// The valid, relative and hierarchical flags of a URI, one bit each.
using Flags = unsigned;
constexpr Flags kValid = 1, kRelative = 2, kHierarchical = 4;
/// The usual combinations: "http://h/", "mailto:x", "a/b", and the state that a failed
/// parse leaves ("unknown:").
constexpr Flags kAbsolute = kValid | kHierarchical, kOpaque = kValid, kReference = kValid | kRelative | kHierarchical,
                kDefaultState = 0;

inline Flags FlagsOf(const Varn::URI& u) {
    return (u.IsValidURI() ? kValid : 0) | (u.IsRelative() ? kRelative : 0) | (u.IsHierarchical() ? kHierarchical : 0);
}

/// The flags as words, for assertions that print them: "valid hierarchical", "none".
inline std::string FlagNames(Flags flags) {
    const std::string names = std::string(flags & kValid ? " valid" : "") + (flags & kRelative ? " relative" : "") +
                              (flags & kHierarchical ? " hierarchical" : "");
    return names.empty() ? "none" : names.substr(1);
}

}  // namespace tessera_test

#endif
