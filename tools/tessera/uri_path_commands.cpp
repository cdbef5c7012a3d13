// tessera uri query | to-path | from-path | guess
#include <iostream>
#include <map>
#include <string>

#include <tessera/URI.h>

#include "text_items.h"
#include "uri_commands.h"

namespace tessera::tool {
namespace {

using Varn::URI;

/// The local-path notation chosen by --win, --unix or --mac (the last one given).
enum class Notation { kPlatform, kWindows, kUnix, kMac };

Notation NotationOf(const Invocation& in) {
    Notation notation = Notation::kPlatform;
    for (const std::string& arg : in.Options()) {
        if (arg == "--win")
            notation = Notation::kWindows;
        else if (arg == "--unix")
            notation = Notation::kUnix;
        else if (arg == "--mac")
            notation = Notation::kMac;
    }
    return notation;
}

const char* NotationName(Notation notation) {
    switch (notation) {
        case Notation::kWindows:
            return "Windows";
        case Notation::kUnix:
            return "Unix";
        case Notation::kMac:
            return "Macintosh";
        case Notation::kPlatform:
            break;
    }
    return "this platform's";
}

}  // namespace

int RunUriQuery(const Invocation& in) {
    BlockSeparator blocks;
    return ForEachItem(in, 0, [&](const std::string& text) -> int {
        const URI uri(text);
        if (!uri.IsValidURI()) return in.Reject("not a valid URI: " + Quote(text));
        blocks.Next();
        std::map<std::string, std::string> pairs;
        uri.GetQueryByMap(pairs);
        for (const auto& pair : pairs) std::cout << pair.first << '=' << pair.second << '\n';
        return kSuccess;
    });
}

int RunUriToPath(const Invocation& in) {
    const Notation notation = NotationOf(in);
    return ForEachItem(in, 0, [&](const std::string& text) -> int {
        const URI uri(text);
        if (!uri.IsValidURI()) return in.Reject("not a valid URI: " + Quote(text));
        URI::StringProxy path;
        switch (notation) {
            case Notation::kPlatform:
                path = uri.ToLocalPath();
                break;
            case Notation::kWindows:
                path = uri.ToLocalPathWin();
                break;
            case Notation::kUnix:
                path = uri.ToLocalPathUnix();
                break;
            case Notation::kMac:
                path = uri.ToLocalPathMac();
                break;
        }
        if (path.empty()) {
            return in.Reject(std::string("no local path in ") + NotationName(notation) + " notation for " +
                             Quote(text));
        }
        std::cout << path << '\n';
        return kSuccess;
    });
}

int RunUriFromPath(const Invocation& in) {
    const Notation notation = NotationOf(in);
    return ForEachItem(in, 0, [&](const std::string& path) -> int {
        URI uri;
        switch (notation) {
            case Notation::kPlatform:
                uri.LocalPathToURI(path);
                break;
            case Notation::kWindows:
                uri.LocalPathToURIWin(path);
                break;
            case Notation::kUnix:
                uri.LocalPathToURIUnix(path);
                break;
            case Notation::kMac:
                uri.LocalPathToURIMac(path);
                break;
        }
        // Only an empty Windows path leaves the URI without a file scheme.
        if (!uri.IsOfType("file")) return in.Reject("no file URI for the empty path");
        std::cout << uri.ToString(false) << '\n';
        return kSuccess;
    });
}

int RunUriGuess(const Invocation& in) {
    const std::string scheme = in.Value("--scheme", "http");
    return ForEachItem(in, 0, [&](const std::string& text) -> int {
        URI uri;
        if (!uri.UnknownToURI(text, scheme)) return in.Reject("cannot make a URI of " + Quote(text));
        std::cout << uri.ToString(false) << '\n';
        return kSuccess;
    });
}

}  // namespace tessera::tool
