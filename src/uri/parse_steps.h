// The parser's steps, one rule each: splitting a URI text into its parts. Each step
// returns views into the text; the parser then stores the text once and records where
// the parts lie (an empty part views the place where it would be, so the parts keep
// their order).
#ifndef TESSERA_URI_PARSE_STEPS_H
#define TESSERA_URI_PARSE_STEPS_H

#include <string_view>

#include "uri/parts.h"

namespace tessera::uri {

/// Where a part lies in the text. Made without a value, unlike a std::string_view: the
/// parse sets every part on each of its ways, so a first value would only be overwritten.
struct PartView {
    const char* start;
    std::size_t length;

    PartView& operator=(std::string_view view) noexcept {
        start = view.data();
        length = view.size();
        return *this;
    }
    const char* data() const noexcept { return start; }
    std::size_t size() const noexcept { return length; }
    bool empty() const noexcept { return length == 0; }
};

/// The parts of a URI text, as written (no escape decoded, no letter lower-cased).
struct TextParts {
    PartView part[kPartCount];
    bool hierarchical = false;
    bool relative = false;
    bool schemeHasUpper = false;   // an 'A'-'Z' in the scheme
    bool schemeLetters = false;    // the scheme is ASCII letters alone
    bool hostHasUpper = false;     // an 'A'-'Z' in the host (or in the user information)
    bool bareIPv6 = false;         // the host holds two ':' and no bracket: brackets are added
    bool mayHoldBackslash = true;  // false when no '\\' comes before the query
};

/// Splits text at its separators: the last '#', the first '?' before it, a ':' before any
/// '/', "//" and the host part, as URI::ParseURI does; the validity rules come after.
/// `readable` (at least text.size()) is how many bytes from text.data() may be read: a
/// short text in a longer buffer is scanned as one block.
TextParts SplitURIText(std::string_view text, std::size_t readable);

/// The text after "//": the host part up to the first '/', split into user information,
/// host and port, and the path from that '/' on.
struct HostPart {
    std::string_view username, password, host, port, path;
    bool bareIPv6 = false;  // the host holds two ':' and no bracket: brackets are added
    bool hasUpper = false;  // an 'A'-'Z' anywhere in the host part
};

/// The user name before the host part's first '@' (up to its first ':', the password after
/// that); then the port after the host's first ':', unless the host holds a second ':',
/// which makes it an IPv6 address: "[::1]:80" has the port after "]:", "::1" none.
HostPart SplitHostPart(std::string_view afterSlashes);

/// The position of the ':' of a drive letter in a "file" URI's path ("/C:/x"), where it
/// is stored as '|'; npos when the path does not begin with '/', a letter and ':'.
std::size_t DriveColon(std::string_view scheme, std::string_view path);

}  // namespace tessera::uri

#endif  // TESSERA_URI_PARSE_STEPS_H
