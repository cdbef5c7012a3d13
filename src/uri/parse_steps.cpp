// The parser's steps on views of the text: the query and fragment marks, the scheme,
// the host part and the path, each rule in a function of its own.
#include "uri/parse_steps.h"

#include <cstring>

#include "uri/ascii.h"
#include "uri/separator_scan.h"

namespace tessera::uri {
namespace {

// The empty view at position `at` of text.
std::string_view At(std::string_view text, std::size_t at) { return text.substr(at, 0); }

// Fragment after the last '#', query after the first '?' before it; returns what is left.
std::string_view SplitQueryAndFragment(std::string_view text, const QueryAndFragmentMarks& marks, TextParts& out) {
    out.part[kFragment] = marks.hash == text.size() ? At(text, text.size()) : text.substr(marks.hash + 1);
    out.part[kQuery] = marks.question == marks.hash ? At(text, marks.hash)
                                                    : text.substr(marks.question + 1, marks.hash - marks.question - 1);
    return text.substr(0, marks.question);
}

// With "//" after the scheme's ':' and two more slashes, all leading slashes go.
std::string_view SkipExtraSlashes(std::string_view rest) {
    if (rest.size() < 2 || rest[0] != '/' || rest[1] != '/') return rest;
    const std::size_t first = rest.find_first_not_of('/');
    return rest.substr(first == std::string_view::npos ? rest.size() : first);
}

// A reference without scheme: all of it is the path.
void SplitRelative(std::string_view rest, TextParts& out) {
    for (unsigned p = kScheme; p < kPath; ++p) out.part[p] = At(rest, 0);
    out.part[kPath] = rest;
    out.relative = true;
    out.hierarchical = true;
}

// scheme ":" opaque text.
void SplitOpaque(std::string_view rest, std::size_t colon, TextParts& out) {
    out.part[kScheme] = rest.substr(0, colon);
    out.part[kNonHierarchical] = rest.substr(colon + 1);
    for (unsigned p = kUsername; p <= kPath; ++p) out.part[p] = At(rest, rest.size());
}

// scheme "://" host part, then the path from the first '/'.
void SplitHierarchical(std::string_view rest, std::size_t colon, TextParts& out) {
    out.part[kScheme] = rest.substr(0, colon);
    out.part[kNonHierarchical] = At(rest, colon + 1);
    out.hierarchical = true;
    const HostPart host = SplitHostPart(SkipExtraSlashes(rest.substr(colon + 3)));
    out.part[kUsername] = host.username;
    out.part[kPassword] = host.password;
    out.part[kAuthority] = host.host;
    out.part[kServerPort] = host.port;
    out.part[kPath] = host.path;
    out.hostHasUpper = host.hasUpper;
    out.bareIPv6 = host.bareIPv6;
}

// A host with two ':', an IPv6 address: in brackets, the port follows "]:" (none without
// it); without brackets, it is all host, and brackets are to be added.
void SplitIPv6Host(std::string_view hostAndPort, HostPart& out) {
    out.host = hostAndPort;
    out.port = At(hostAndPort, hostAndPort.size());
    if (hostAndPort.empty() || hostAndPort[0] != '[') {
        out.bareIPv6 = true;
        return;
    }
    const std::size_t close = hostAndPort.find("]:");
    if (close == std::string_view::npos) return;
    out.host = hostAndPort.substr(0, close + 1);
    out.port = hostAndPort.substr(close + 2);
}

}  // namespace

TextParts SplitURIText(std::string_view text, std::size_t readable) {
    TextParts out;
    const TextMarks marks = FindTextMarks(text.data(), text.size(), readable);
    const std::string_view rest = SplitQueryAndFragment(text, marks.queryAndFragment, out);
    const SchemeEnd& scheme = marks.scheme;
    out.mayHoldBackslash = marks.mayHoldBackslash;
    const std::size_t colon = scheme.colon;
    out.schemeHasUpper = scheme.upper;
    out.schemeLetters = scheme.letters;
    if (colon == std::string_view::npos) {
        SplitRelative(rest, out);
    } else if (rest.size() - colon > 2 && rest[colon + 1] == '/' && rest[colon + 2] == '/') {
        SplitHierarchical(rest, colon, out);
    } else {
        SplitOpaque(rest, colon, out);
    }
    return out;
}

HostPart SplitHostPart(std::string_view afterSlashes) {
    // One pass finds the '/' that ends the host part and its separators before it.
    const HostPartSeparators marks = ScanHostPart(afterSlashes.data(), 0, afterSlashes.size());
    const std::string_view hostPart = afterSlashes.substr(0, marks.slash);
    const std::size_t end = afterSlashes.size();
    HostPart out;
    out.path = afterSlashes.substr(marks.slash);
    out.hasUpper = marks.upper;
    std::string_view hostAndPort = hostPart;
    if (marks.at != end) {
        const std::string_view userInformation = hostPart.substr(0, marks.at);
        const std::size_t colon = userInformation.find(':');
        out.username = userInformation.substr(0, colon);
        out.password =
            colon == std::string_view::npos ? At(userInformation, marks.at) : userInformation.substr(colon + 1);
        hostAndPort = hostPart.substr(marks.at + 1);
    } else {
        out.username = out.password = At(hostPart, 0);
    }
    if (marks.secondColon != end) {
        SplitIPv6Host(hostAndPort, out);
    } else {
        const std::size_t hostStart = hostPart.size() - hostAndPort.size();
        const std::size_t colon = marks.firstColon == end ? std::string_view::npos : marks.firstColon - hostStart;
        out.host = hostAndPort.substr(0, colon);
        out.port =
            colon == std::string_view::npos ? At(hostAndPort, hostAndPort.size()) : hostAndPort.substr(colon + 1);
    }
    return out;
}

std::size_t DriveColon(std::string_view scheme, std::string_view path) {
    const bool drive =
        scheme == "file" && path.size() >= 3 && path[0] == '/' && IsAsciiLetter(path[1]) && path[2] == ':';
    return drive ? 2 : std::string_view::npos;
}

}  // namespace tessera::uri
