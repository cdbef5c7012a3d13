// Helpers shared by the URI tests: protected operations made reachable, the escape of a
// byte, and the three flags of a URI as one text that a table can state in one column.
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
    using URI::JoinPath;
    using URI::MakeLower;
    using URI::NormalizeEncoding;
    using URI::ParseURI;
    using URI::SetHierState;
    using URI::SplitPath;
    using URI::URI;
    using URI::operator=;
};

/// The escape of byte b: '%' and two upper-case hexadecimal digits.
inline std::string EscapeOf(unsigned char b) {
    static const char kHex[] = "0123456789ABCDEF";
    return std::string{'%', kHex[b >> 4], kHex[b & 15]};
}

/// The valid, relative and hierarchical flags of a URI as words, "none" when all are
/// false: "valid hierarchical" for "http://h/", "valid" for "mailto:x", "valid relative
/// hierarchical" for "a/b", "none" for the state a failed parse leaves ("unknown:").
inline std::string FlagsOf(const Varn::URI& u) {
    const std::string names = std::string(u.IsValidURI() ? " valid" : "") + (u.IsRelative() ? " relative" : "") +
                              (u.IsHierarchical() ? " hierarchical" : "");
    return names.empty() ? "none" : names.substr(1);
}
constexpr const char *kAbsolute = "valid hierarchical", *kOpaque = "valid", *kReference = "valid relative hierarchical",
                     *kDefaultState = "none";

}  // namespace tessera_test

#endif
