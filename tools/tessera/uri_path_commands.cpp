// tessera uri query | to-path | from-path | guess
#include <iostream>
#include <map>
#include <string>

#include <tessera/URI.h>

#include "uri_commands.h"

namespace tessera_tool {
namespace {

using Varn::URI;

/// The local-path notation chosen by --win, --unix or --mac.
enum class Notation { Platform, Windows, Unix, Mac };

const char* NotationName(Notation notation) {
    switch (notation) {
        case Notation::Windows: return "Windows";
        case Notation::Unix: return "Unix";
        case Notation::Mac: return "Macintosh";
        case Notation::Platform: break;
    }
    return "this platform's";
}

/// Reads the options and the single operand of to-path / from-path. Returns 0 when
/// they are well formed, else the usage error status (after printing the message).
int ParseNotationArgs(const std::string& command, const Args& args, Notation& notation, std::string& operand) {
    notation = Notation::Platform;
    std::size_t i = 0;
    for (; i < args.size() && args[i].size() > 1 && args[i][0] == '-'; ++i) {
        if (args[i] == "--") {
            ++i;
            break;
        }
        if (args[i] == "--win") notation = Notation::Windows;
        else if (args[i] == "--unix") notation = Notation::Unix;
        else if (args[i] == "--mac") notation = Notation::Mac;
        else return Fail(2, "uri " + command + ": unknown option '" + args[i] + "'");
    }
    if (args.size() - i != 1) {
        return Fail(2, "usage: tessera uri " + command + " [--win|--unix|--mac] " +
                           (command == "to-path" ? "URI" : "PATH"));
    }
    operand = args[i];
    return 0;
}

}  // namespace

int RunUriQuery(const Args& args) {
    if (args.size() != 1) return Fail(2, "usage: tessera uri query URI");
    const URI uri(args[0]);
    if (!uri.IsValidURI()) return Fail(1, "uri query: not a valid URI: " + args[0]);
    std::map<std::string, std::string> pairs;
    uri.GetQueryByMap(pairs);
    for (const auto& pair : pairs) std::cout << pair.first << '=' << pair.second << '\n';
    return 0;
}

int RunUriToPath(const Args& args) {
    Notation notation;
    std::string text;
    if (const int status = ParseNotationArgs("to-path", args, notation, text)) return status;
    const URI uri(text);
    if (!uri.IsValidURI()) return Fail(1, "uri to-path: not a valid URI: " + text);
    URI::StringProxy path;
    switch (notation) {
        case Notation::Platform: path = uri.ToLocalPath(); break;
        case Notation::Windows: path = uri.ToLocalPathWin(); break;
        case Notation::Unix: path = uri.ToLocalPathUnix(); break;
        case Notation::Mac: path = uri.ToLocalPathMac(); break;
    }
    if (path.empty()) {
        return Fail(1, std::string("uri to-path: no local path in ") + NotationName(notation) +
                           " notation for " + text);
    }
    std::cout << path << '\n';
    return 0;
}

int RunUriFromPath(const Args& args) {
    Notation notation;
    std::string path;
    if (const int status = ParseNotationArgs("from-path", args, notation, path)) return status;
    URI uri;
    switch (notation) {
        case Notation::Platform: uri.LocalPathToURI(path); break;
        case Notation::Windows: uri.LocalPathToURIWin(path); break;
        case Notation::Unix: uri.LocalPathToURIUnix(path); break;
        case Notation::Mac: uri.LocalPathToURIMac(path); break;
    }
    // Only an empty Windows path leaves the URI without a file scheme.
    if (!uri.IsOfType("file")) return Fail(1, "uri from-path: the path is empty");
    std::cout << uri.ToString(false) << '\n';
    return 0;
}

int RunUriGuess(const Args& args) {
    std::string scheme = "http";
    std::size_t i = 0;
    for (; i < args.size() && args[i].size() > 1 && args[i][0] == '-'; ++i) {
        if (args[i] == "--") {
            ++i;
            break;
        }
        if (args[i] != "--scheme") return Fail(2, "uri guess: unknown option '" + args[i] + "'");
        if (++i == args.size()) return Fail(2, "uri guess: --scheme needs a scheme name");
        scheme = args[i];
    }
    if (i == args.size()) return Fail(2, "usage: tessera uri guess [--scheme NAME] TEXT...");
    int status = 0;
    for (; i < args.size(); ++i) {
        URI uri;
        if (uri.UnknownToURI(args[i], scheme)) {
            std::cout << uri.ToString(false) << '\n';
        } else {
            status = Fail(1, "uri guess: cannot make a URI of '" + args[i] + "'");
        }
    }
    return status;
}

}  // namespace tessera_tool
