// uri_local_path: the input as a local path in each notation and as free text for
// UnknownToURI; and the URI parsed from it converted back to local paths.
//
// Properties:
// - A Unix path comes back from its file URI unchanged (with a '/' put in front if it
//   had none); a Macintosh path comes back with '/' read as ':' and without a leading
//   ':' or '/'; a Windows path that does not begin with two separators comes back with
//   '/' read as '\', '|' as ':' and without a leading separator. Each file URI is
//   absolute and hierarchical with the scheme "file".
// - An empty Windows path changes nothing; the generic conversions are those of this
//   platform's notation.
// - UnknownToURI of empty text returns false and changes nothing; whenever it returns
//   false the URI is unchanged or holds no host, path, query or fragment.
#include <string>

#include <tessera/URI.h>

#include "check.h"
#include "uri_text.h"

namespace tessera::fuzz {

namespace {

constexpr const char* kCheckName = "uri_local_path";
using Varn::URI;

std::string Replaced(std::string text, char from, char to) {
    for (char& c : text) {
        if (c == from) c = to;
    }
    return text;
}

void CheckFileURI(const URI& uri, const std::string& path, const char* notation) {
    TESSERA_FUZZ_REQUIRE(uri.GetScheme() == "file" && uri.IsAbsolute() && uri.IsHierarchical(),
                         std::string(notation) + " " + Quote(path) + " -> " + Quote(uri.ToString(false)));
}

void CheckUnix(const std::string& path) {
    URI uri("http://h/x?q#f");
    uri.LocalPathToURIUnix(path);
    CheckFileURI(uri, path, "unix");
    const std::string expected = !path.empty() && path[0] == '/' ? path : "/" + path;
    TESSERA_FUZZ_REQUIRE(uri.ToLocalPathUnix() == expected && uri.IsValidURI(),
                         Quote(path) + " -> " + Quote(uri.ToString(false)) + " -> " + Quote(uri.ToLocalPathUnix()));
}

void CheckMac(const std::string& path) {
    URI uri("http://h/x?q#f");
    uri.LocalPathToURIMac(path);
    CheckFileURI(uri, path, "mac");
    std::string expected = Replaced(path, '/', ':');
    if (!expected.empty() && expected[0] == ':') expected.erase(0, 1);
    TESSERA_FUZZ_REQUIRE(uri.ToLocalPathMac() == expected,
                         Quote(path) + " -> " + Quote(uri.ToString(false)) + " -> " + Quote(uri.ToLocalPathMac()));
}

void CheckWindows(const std::string& path) {
    const URI before("http://h/x?q#f");
    URI uri(before);
    uri.LocalPathToURIWin(path);
    if (path.empty()) {
        TESSERA_FUZZ_REQUIRE(Snapshot(uri) == Snapshot(before), Quote(path));
        return;
    }
    CheckFileURI(uri, path, "windows");
    std::string expected = Replaced(Replaced(path, '/', '\\'), '|', ':');
    if (expected.compare(0, 2, "\\\\") == 0) return;  // a UNC path: the server becomes the host
    if (expected[0] == '\\') expected.erase(0, 1);
    TESSERA_FUZZ_REQUIRE(uri.ToLocalPathWin() == expected,
                         Quote(path) + " -> " + Quote(uri.ToString(false)) + " -> " + Quote(uri.ToLocalPathWin()));
}

void CheckPlatformNotation(const std::string& path) {
    URI generic, native;
    generic.LocalPathToURI(path);
#ifdef _WIN32
    native.LocalPathToURIWin(path);
    TESSERA_FUZZ_REQUIRE(generic.ToLocalPath() == generic.ToLocalPathWin(), Quote(path));
#else
    native.LocalPathToURIUnix(path);
    TESSERA_FUZZ_REQUIRE(generic.ToLocalPath() == generic.ToLocalPathUnix(), Quote(path));
#endif
    TESSERA_FUZZ_REQUIRE(Snapshot(generic) == Snapshot(native), Quote(path));
}

void CheckParsedToLocal(const std::string& text) {
    const URI uri{URI::StringProxy(text)};
    const std::string unix = uri.ToLocalPathUnix();
    const std::string mac = uri.ToLocalPathMac();
    const std::string windows = uri.ToLocalPathWin();
    if (!uri.IsOfType("file") && !uri.IsRelative())
        TESSERA_FUZZ_REQUIRE(unix.empty() && windows.empty() && mac.empty(), Quote(text));
}

void CheckGuess(const std::string& text) {
    for (const char* defaultScheme : {"http", ""}) {
        const URI before("ftp://u@h:21/d/f?q#frag");
        URI guessed(before);
        const bool made = guessed.UnknownToURI(text, defaultScheme);
        if (text.empty()) TESSERA_FUZZ_REQUIRE(!made && Snapshot(guessed) == Snapshot(before), Quote(text));
        if (made || Snapshot(guessed) == Snapshot(before)) continue;
        TESSERA_FUZZ_REQUIRE(guessed.GetAuthority().empty() && guessed.GetPath().empty() &&
                                 guessed.GetQuery(false).empty() && guessed.GetFragment().empty(),
                             Quote(text) + " with " + defaultScheme + " -> " + Quote(guessed.ToString(false)));
    }
}

}  // namespace

void CheckUriLocalPath(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    CheckUnix(text);
    CheckMac(text);
    CheckWindows(text);
    CheckPlatformNotation(text);
    CheckParsedToLocal(text);
    CheckGuess(text);
}

}  // namespace tessera::fuzz
