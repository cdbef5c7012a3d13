// Guessing a URI from text as a user types it into an address field: a Windows or
// Unix path, a relative reference, a complete URI, or a bare host name with a path.
// The tests run in a fixed order and the first that applies decides.
#include <tessera/URI.h>

#include <algorithm>
#include <string>

namespace Varn {

namespace {

bool BeginsWith(const std::string& text, const char* prefix) {
    return text.compare(0, std::char_traits<char>::length(prefix), prefix) == 0;
}

/// A drive letter followed by ":\" or ":/", or a UNC start "\\" or "//". A one-letter
/// scheme such as x:// is therefore taken for a drive.
bool LooksLikeWindowsPath(const std::string& text) {
    const bool driveMark = text.size() >= 3 && text[1] == ':' && (text[2] == '\\' || text[2] == '/');
    return driveMark || BeginsWith(text, "\\\\") || BeginsWith(text, "//");
}

/// ".", "..", or a path beginning "./" or "../": a reference the user meant as relative.
bool IsExplicitlyRelative(const std::string& path) {
    return path == "." || path == ".." || BeginsWith(path, "./") || BeginsWith(path, "../");
}

bool HasScheme(const std::string& scheme) { return !scheme.empty() && scheme != "unknown"; }

}  // namespace

bool URI::UnknownToURI(StringProxy text, StringProxy defaultScheme) {
    const std::string& input = text;
    if (input.empty()) return false;

    if (LooksLikeWindowsPath(input)) {
        LocalPathToURIWin(input);
        return true;
    }
    if (input[0] == '/') {
        LocalPathToURIUnix(input);
        return true;
    }
    if (input[0] == '\\') {  // root-relative Windows path (a UNC start was caught above)
        std::string path = input;
        std::replace(path.begin(), path.end(), '\\', '/');
        LocalPathToURIUnix(path);
        return true;
    }

    // Adopts the guess, with every component escaped the canonical way.
    const auto adopt = [this](const URI& guess) {
        CopyURI(guess);
        ForceEscape();
        return true;
    };

    URI scratch(text);
    const StringProxy scheme = scratch.GetScheme();
    if (!scratch.IsHierarchical()) {
        // Opaque text (scheme:rest); a failed parse also ends here with "unknown".
        if (scheme == "unknown") return false;
        return adopt(scratch);
    }
    if (HasScheme(scheme)) {
        if (!scratch.GetAuthority().empty() || scheme == "file") return adopt(scratch);
        if (scratch.GetPath().empty()) {  // "name://" and nothing after: keep just the scheme
            SetParts(scheme, "", "", "", "", "");
            return false;
        }
        // A scheme, "//", no host but a path: try it as a host name below.
    } else if (IsExplicitlyRelative(scratch.GetPath())) {
        return adopt(scratch);
    }

    // A bare host name, perhaps with a path: put the default scheme in front.
    scratch = defaultScheme.str() + "://" + input;
    if (!scratch.GetScheme().empty() && !scratch.GetAuthority().empty()) return adopt(scratch);
    SetParts("unknown", "", "", "", "", "");
    return false;
}

}  // namespace Varn
