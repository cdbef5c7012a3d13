// File names, extensions and directory tests on the last segment of a URI's unescaped
// path; RemoveLastPathComponent moves the URI one level up.
#include <string>
#include <string_view>

#include <tessera/URI.h>

#include "uri/path_segment_views.h"

namespace Varn {

URI::StringProxy URI::GetFilename(bool withoutExtension) const {
    if (IsDirectory()) return StringProxy();
    std::string name = GetPath().str();
    const std::size_t slash = name.rfind('/');
    if (slash != std::string::npos) name.erase(0, slash + 1);
    if (withoutExtension) {
        const std::size_t dot = name.rfind('.');
        if (dot != std::string::npos) name.erase(dot);
    }
    return StringProxy(std::move(name));
}

URI::StringProxy URI::GetExtension(bool withoutDot) const {
    std::string name = GetFilename(false).str();
    const std::size_t dot = name.rfind('.');
    if (dot == std::string::npos || dot == 0) return StringProxy();
    name.erase(0, withoutDot ? dot + 1 : dot);
    return StringProxy(std::move(name));
}

URI::StringProxy URI::GetLastPathComponent() const {
    if (!IsDirectory()) return GetFilename(false);
    std::string path = GetPath().str();
    if (path.empty() || path == "/") return StringProxy();
    path.pop_back();
    const std::size_t slash = path.rfind('/');
    if (slash != std::string::npos) path.erase(0, slash + 1);
    return StringProxy(std::move(path));
}

URI::StringProxy URI::RemoveLastPathComponent() {
    StringProxy component = GetLastPathComponent();
    ChDir(IsDirectory() ? ".." : ".", false);
    return component;
}

bool URI::IsOfFileType(StringProxy fileType) const {
    std::string_view wanted = fileType.str();
    const std::size_t dot = wanted.rfind('.');
    if (dot != std::string_view::npos) wanted.remove_prefix(dot + 1);
    const StringProxy extension = GetExtension(true);
    return !extension.empty() && tessera::uri::SameText(extension.str(), wanted, false);
}

bool URI::IsUnderDirectory(StringProxy name) const {
    const StringProxy path = GetPath();
    tessera::uri::SegmentCursor cursor(path.str());
    std::string_view segment;
    while (cursor.Next(segment)) {
        if (segment == name.str()) return true;
    }
    return false;
}

}  // namespace Varn
