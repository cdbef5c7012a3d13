// uri_parse: parse any text, then read it back through every getter and writer.
//
// Properties:
// - A failed parse leaves the default state; a successful one leaves consistent flags
//   (a relative URI has no scheme, an absolute one a lower-case scheme of two or more
//   letters; a hierarchical URI no non-hierarchical part, an opaque one no host or path)
//   and, when absolute and hierarchical, a path that is empty or begins with '/'.
// - Getters and writers agree: GetQuery(true) is the unescaped stored query, a relative
//   URI writes out as path, query and fragment, ToStringUTF8 decodes only escapes of
//   bytes 0x80-0xFF of ToString(false), ToStringUTF8Escaped is pure ASCII and grows by
//   two bytes per non-ASCII byte, a URI equals its own text and its copy.
// - GetParts gives what the single getters give, in UTF-16 for wide targets.
// - File names: the name is the name without extension followed by the extension, the
//   file type of a URI with an extension (other than ".") is that extension, a non-empty
//   last component is one of the path's segments, and removing it clears query and
//   fragment.
// - ForceEscape keeps what every getter except GetAuthority returns; without user
//   information, an IPv6 host or a drive mark the written-out result then holds no
//   space or control byte and only well-formed escapes, and a second ForceEscape
//   changes nothing.
#include <string>

#include <tessera/Transcoder.h>
#include <tessera/URI.h>

#include "check.h"
#include "uri_text.h"

namespace tessera::fuzz {

namespace {

constexpr const char* kCheckName = "uri_parse";
using Varn::URI;

void CheckFlagsAfterParse(const URI& uri, const std::string& text) {
    if (!uri.IsValidURI()) {
        TESSERA_FUZZ_REQUIRE(IsDefaultState(uri), Quote(text) + " -> " + Quote(Snapshot(uri)));
        return;
    }
    const std::string scheme = uri.GetScheme();
    if (uri.IsRelative()) {
        TESSERA_FUZZ_REQUIRE(scheme.empty() && uri.IsHierarchical(), Quote(text));
    } else {
        TESSERA_FUZZ_REQUIRE(
            scheme.size() >= 2 && scheme != "unknown" && URI::VerifyAlpha(scheme) && !HasUpperCase(scheme),
            Quote(text) + " scheme " + Quote(scheme));
    }
    if (uri.IsHierarchical()) {
        TESSERA_FUZZ_REQUIRE(uri.GetNonHierarchical().empty(), Quote(text));
        if (!uri.IsRelative()) {
            const std::string path = uri.GetPath();
            TESSERA_FUZZ_REQUIRE(path.empty() || path[0] == '/', Quote(text) + " path " + Quote(path));
        }
    } else {
        TESSERA_FUZZ_REQUIRE(uri.GetAuthority().empty() && uri.GetServerPort().empty() && uri.GetPath().empty() &&
                                 uri.GetUsername().empty() && uri.GetPassword().empty(),
                             Quote(text));
    }
}

void CheckWriters(const URI& uri, const std::string& text) {
    const std::string stored = uri.ToString(false);
    const std::string readable = uri.ToString(true);
    const std::string query = uri.GetQuery(false);
    TESSERA_FUZZ_REQUIRE(uri.GetQuery(true) == URI::Unescape(query, false), Quote(text));
    if (uri.IsRelative()) {
        std::string expected = uri.GetPath();
        if (!query.empty()) expected += "?" + uri.GetQuery(true).str();
        const std::string fragment = uri.GetFragment();
        if (!fragment.empty()) expected += "#" + fragment;
        TESSERA_FUZZ_REQUIRE(readable == expected, Quote(text) + " -> " + Quote(readable));
    }

    TESSERA_FUZZ_REQUIRE(uri.ToStringUTF8() == URI::Unescape(stored, true), Quote(text));
    const std::string escaped = uri.ToStringUTF8Escaped();
    std::size_t high = 0;
    for (unsigned char c : stored) high += c >= 0x80;
    bool ascii = true;
    for (unsigned char c : escaped) ascii = ascii && c < 0x80;
    TESSERA_FUZZ_REQUIRE(ascii && escaped.size() == stored.size() + 2 * high, Quote(text) + " -> " + Quote(escaped));

    TESSERA_FUZZ_REQUIRE(uri == URI::StringProxy(stored), Quote(text));
    if (stored.find('\0') == std::string::npos) TESSERA_FUZZ_REQUIRE(uri == stored.c_str(), Quote(text));
    const URI copy(uri);
    URI assigned;
    assigned = uri;
    TESSERA_FUZZ_REQUIRE(copy == uri && Snapshot(copy) == Snapshot(uri) && Snapshot(assigned) == Snapshot(uri),
                         Quote(text));
}

void CheckGetParts(const URI& uri, const std::string& text) {
    std::string scheme, authority, port, path, query, fragment;
    uri.GetParts(scheme, authority, port, path, query, fragment);
    TESSERA_FUZZ_REQUIRE(scheme == uri.GetScheme() && authority == uri.GetAuthority() && port == uri.GetServerPort() &&
                             path == uri.GetPath() && query == uri.GetQuery(true) && fragment == uri.GetFragment(),
                         Quote(text));
    std::wstring wScheme, wAuthority, wPort, wPath, wQuery, wFragment;
    uri.GetParts(wScheme, wAuthority, wPort, wPath, wQuery, wFragment);
    using Varn::Transcoder;
    TESSERA_FUZZ_REQUIRE(wScheme == Transcoder::asUTF16(scheme) && wAuthority == Transcoder::asUTF16(authority) &&
                             wPort == Transcoder::asUTF16(port) && wPath == Transcoder::asUTF16(path) &&
                             wQuery == Transcoder::asUTF16(query) && wFragment == Transcoder::asUTF16(fragment),
                         Quote(text));
}

void CheckFileNames(const URI& uri, const std::string& text) {
    const std::string name = uri.GetFilename(false);
    const std::string stem = uri.GetFilename(true);
    const std::string extension = uri.GetExtension(false);
    const std::string bare = uri.GetExtension(true);
    if (uri.IsDirectory()) TESSERA_FUZZ_REQUIRE(name.empty() && stem.empty(), Quote(text));
    if (!extension.empty()) {
        TESSERA_FUZZ_REQUIRE(extension[0] == '.' && bare == extension.substr(1) && stem + extension == name,
                             Quote(text) + " name " + Quote(name) + " extension " + Quote(extension));
        // A name ending in '.' has the extension "." and no file type.
        if (!bare.empty()) TESSERA_FUZZ_REQUIRE(uri.IsOfFileType(bare) && uri.IsOfFileType(extension), Quote(text));
    } else {
        TESSERA_FUZZ_REQUIRE(bare.empty(), Quote(text));
    }
    const std::string last = uri.GetLastPathComponent();
    // A directory's unescaped path need not end in '/' ("%2/" decodes to one byte).
    const std::string path = uri.GetPath();
    const bool slashEnded = !path.empty() && path.back() == '/';
    if (!last.empty() && (!uri.IsDirectory() || slashEnded))
        TESSERA_FUZZ_REQUIRE(uri.IsUnderDirectory(last), Quote(text) + " last " + Quote(last));

    URI moved(uri);
    TESSERA_FUZZ_REQUIRE(moved.RemoveLastPathComponent() == last, Quote(text));
    TESSERA_FUZZ_REQUIRE(moved.GetQuery(false).empty() && moved.GetFragment().empty(), Quote(text));
}

void CheckForceEscape(const URI& uri, const std::string& text) {
    URI once(uri);
    once.ForceEscape();
    TESSERA_FUZZ_REQUIRE(once.IsHierarchical() == uri.IsHierarchical(), Quote(text));
    TESSERA_FUZZ_REQUIRE(once.GetQuery(true) == uri.GetQuery(true) && once.GetFragment() == uri.GetFragment() &&
                             once.GetServerPort() == uri.GetServerPort() &&
                             once.GetNonHierarchical() == uri.GetNonHierarchical() &&
                             once.GetUsername() == uri.GetUsername() && once.GetPassword() == uri.GetPassword(),
                         Quote(text) + " -> " + Quote(once.ToString(false)));

    // A "file" path whose third byte is '|' keeps its first three bytes unescaped.
    const std::string path = uri.GetPath();
    const bool driveMark = uri.IsOfType("file") && path.size() >= 4 && path[2] == '|';
    if (!driveMark) TESSERA_FUZZ_REQUIRE(once.GetPath() == path, Quote(text) + " -> " + Quote(once.GetPath()));

    const bool plain =
        !driveMark && !URI::IsIPv6(uri.GetAuthority()) && uri.GetUsername().empty() && uri.GetPassword().empty();
    if (!plain) return;
    const std::string written = once.ToString(false);
    TESSERA_FUZZ_REQUIRE(!HasControlOrSpace(written) && EscapesWellFormed(written),
                         Quote(text) + " -> " + Quote(written));
    URI twice(once);
    twice.ForceEscape();
    TESSERA_FUZZ_REQUIRE(Snapshot(twice) == Snapshot(once), Quote(text) + " -> " + Quote(twice.ToString(false)));
}

}  // namespace

void CheckUriParse(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const URI uri{URI::StringProxy(text)};
    URI reassigned("http://previous/content?q#f");
    reassigned = URI::StringProxy(text);
    TESSERA_FUZZ_REQUIRE(Snapshot(reassigned) == Snapshot(uri), Quote(text));

    CheckFlagsAfterParse(uri, text);
    CheckWriters(uri, text);
    CheckGetParts(uri, text);
    CheckFileNames(uri, text);
    CheckForceEscape(uri, text);
}

}  // namespace tessera::fuzz
