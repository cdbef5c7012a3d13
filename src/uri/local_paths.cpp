// Conversions between file URIs and local paths in Windows, Unix and classic
// Macintosh notation. Going out the path is read unescaped (GetPath); coming in it is
// stored through SetParts, whose SetPath escapes it and keeps a "/C|" drive mark.
#include <tessera/URI.h>

#include <algorithm>
#include <string>

#include "uri/storage.h"

namespace Varn {

namespace {

const char kFileScheme[] = "file";

/// text with every from replaced by to.
std::string Replaced(std::string text, char from, char to) {
    std::replace(text.begin(), text.end(), from, to);
    return text;
}

}  // namespace

// Whether the stored scheme is exactly "file" (as stored: lower case).
bool URI::Storage::IsExactlyFile(const URI& uri) noexcept { return Get(uri, tessera::uri::kScheme) == kFileScheme; }

// ---- To local paths ------------------------------------------------------------------

// The generic forms use this platform's own notation, through the virtual table so that
// a derived class's override of that notation applies.
URI::StringProxy URI::ToLocalPath() const {
#if defined(_WIN32)
    return ToLocalPathWin();
#else
    return ToLocalPathUnix();
#endif
}

URI::StringProxy URI::ToLocalPathWin() const {
    if (!Storage::IsExactlyFile(*this)) {
        if (IsRelative()) return Replaced(GetPath(), '/', '\\');
        return StringProxy();
    }
    const StringProxy path = GetPath();
    const StringProxy authority = GetAuthority();
    std::string local;
    if (!authority.empty()) {
        local = "//" + authority.str() + path.str();  // a UNC path; "localhost" included
    } else {
        local = path;
        if (!local.empty() && local[0] == '/') local.erase(0, 1);
    }
    return Replaced(Replaced(std::move(local), '/', '\\'), '|', ':');
}

URI::StringProxy URI::ToLocalPathUnix() const {
    if (!Storage::IsExactlyFile(*this)) return IsRelative() ? GetPath() : StringProxy();
    if (!GetAuthority().empty()) return StringProxy();  // no host may be named, not even localhost
    return GetPath();
}

URI::StringProxy URI::ToLocalPathMac() const {
    if (!Storage::IsExactlyFile(*this)) {
        if (IsRelative()) return ":" + Replaced(GetPath(), '/', ':');
        return StringProxy();
    }
    const StringProxy authority = GetAuthority();
    if (!authority.empty() && authority != "localhost") return StringProxy();
    std::string local = GetPath();
    if (!local.empty() && local[0] == '/') local.erase(0, 1);
    return Replaced(std::move(local), '/', ':');  // the first segment is the volume name
}

// ---- From local paths ----------------------------------------------------------------

void URI::LocalPathToURI(StringProxy path) {
#if defined(_WIN32)
    LocalPathToURIWin(std::move(path));
#else
    LocalPathToURIUnix(std::move(path));
#endif
}

void URI::LocalPathToURIWin(StringProxy localPath) {
    if (localPath.empty()) return;  // nothing to convert: the URI stays as it is
    std::string path = Replaced(localPath, '\\', '/');
    std::string server;
    if (path.compare(0, 2, "//") == 0) {  // UNC: //server/share/...
        server = path.substr(2);
        const std::string::size_type slash = server.find('/');
        if (slash != std::string::npos) {
            path = server.substr(slash);
            server.erase(slash);
        } else {
            path.clear();
        }
    }
    if (!path.empty()) {
        if (path[0] != '/') path.insert(0, 1, '/');
        path = Replaced(std::move(path), ':', '|');  // every colon, not only the drive's
    }
    SetParts(kFileScheme, server, "", path, "", "");
}

void URI::LocalPathToURIUnix(StringProxy localPath) {
    std::string path = localPath;
    if (path.empty() || path[0] != '/') path.insert(0, 1, '/');
    SetParts(kFileScheme, "", "", path, "", "");
}

void URI::LocalPathToURIMac(StringProxy localPath) {
    std::string path = Replaced(localPath, ':', '/');
    if (path.empty() || path[0] != '/') path.insert(0, 1, '/');
    SetParts(kFileScheme, "", "", path, "", "");
}

}  // namespace Varn
