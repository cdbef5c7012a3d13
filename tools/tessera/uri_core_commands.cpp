// tessera uri show | escape | unescape: components, flags and written-out forms of URIs;
// percent-escaping of text.
#include <iomanip>
#include <iostream>
#include <string>

#include <tessera/URI.h>

#include "text_items.h"
#include "uri_commands.h"

namespace tessera::tool {
namespace {

using Varn::URI;

// What whole holds after prefix and before a suffix of suffixLength bytes; "" when whole
// does not have them (the component was empty and left its separator out).
std::string Between(const std::string& whole, const std::string& prefix, std::size_t suffixLength) {
    if (whole.size() <= prefix.size() + suffixLength || whole.compare(0, prefix.size(), prefix) != 0) return "";
    return whole.substr(prefix.size(), whole.size() - prefix.size() - suffixLength);
}

// The components as stored (escaped), read through the public interface: each is
// written out by a copy of the URI whose scheme is "x" and whose other components are
// cleared or replaced by a plain placeholder, and cut out of that text.
struct StoredComponents {
    std::string scheme, username, password, host, port, path, query, fragment, nonHierarchical;
};

StoredComponents ReadStored(const URI& uri) {
    StoredComponents s;
    s.query = uri.GetQuery(false);
    const auto written = [&uri](bool keepScheme, auto prepare) {
        URI c(uri);
        if (!keepScheme) c.SetScheme("x");
        c.SetQuery("", false);
        prepare(c);
        return c.ToString(false).str();
    };
    s.scheme = Between(written(true,
                               [](URI& c) {
                                   c.SetNonHierarchical("");
                                   c.SetFragment("");
                               }),
                       "", 1);
    s.fragment = Between(written(false, [](URI& c) { c.SetNonHierarchical(""); }), "x:#", 0);
    if (!uri.IsHierarchical()) {
        s.nonHierarchical = Between(written(false, [](URI& c) { c.SetFragment(""); }), "x:", 0);
        return s;
    }
    // "x://" + host, "x://h:" + port, "x:" + path, "x://" + username + "@h",
    // "x://u:" + password + "@h".
    const auto only = [&written](bool user, bool password, const char* host, bool port, bool path) {
        return written(false, [=](URI& c) {
            if (!user) c.SetUsername(password ? "u" : "");
            if (!password) c.SetPassword("");
            if (host != nullptr) c.SetAuthority(host);
            if (!port) c.SetServerPort("");
            if (!path) c.SetPath("");
            c.SetFragment("");
        });
    };
    s.host = Between(only(false, false, nullptr, false, false), "x://", 0);
    s.port = Between(only(false, false, "h", true, false), "x://h:", 0);
    s.path = Between(only(false, false, "", false, true), "x:", 0);
    s.username = Between(only(true, false, "h", false, false), "x://", 2);
    s.password = Between(only(false, true, "h", false, false), "x://u:", 2);
    return s;
}

std::string Quoted(const std::string& text) { return '"' + text + '"'; }

void PrintRow(const char* name, const std::string& stored, const std::string& unescaped) {
    std::cout << "  " << std::left << std::setw(18) << name << std::setw(30) << Quoted(stored) << ' '
              << Quoted(unescaped) << '\n';
}

void PrintForm(const char* name, const std::string& text) {
    std::cout << "  " << std::left << std::setw(22) << name << text << '\n';
}

const char* YesNo(bool value) { return value ? "yes" : "no"; }

void Show(const URI& uri) {
    std::cout << "  valid " << YesNo(uri.IsValidURI()) << ", relative " << YesNo(uri.IsRelative()) << ", hierarchical "
              << YesNo(uri.IsHierarchical()) << '\n';
    const StoredComponents s = ReadStored(uri);
    std::cout << "  " << std::left << std::setw(18) << "component" << std::setw(30) << "stored"
              << " unescaped\n";
    PrintRow("scheme", s.scheme, uri.GetScheme());
    PrintRow("username", s.username, uri.GetUsername());
    PrintRow("password", s.password, uri.GetPassword());
    PrintRow("host", s.host, uri.GetAuthority());
    PrintRow("port", s.port, uri.GetServerPort());
    PrintRow("path", s.path, uri.GetPath());
    PrintRow("query", s.query, uri.GetQuery(true));
    PrintRow("fragment", s.fragment, uri.GetFragment());
    PrintRow("non-hierarchical", s.nonHierarchical, uri.GetNonHierarchical());
    PrintForm("ToString(false)", uri.ToString(false));
    PrintForm("ToString(true)", uri.ToString(true));
    PrintForm("ToStringUTF8", uri.ToStringUTF8());
    PrintForm("ToStringUTF8Escaped", uri.ToStringUTF8Escaped());
}

}  // namespace

int RunUriShow(const Invocation& in) {
    BlockSeparator blocks;
    return ForEachItem(in, 0, [&](const std::string& text) -> int {
        const URI uri(text);
        if (!uri.IsValidURI()) return in.Reject("not a valid URI: " + Quote(text));
        blocks.Next();
        std::cout << text << '\n';
        Show(uri);
        return kSuccess;
    });
}

int RunUriEscape(const Invocation& in) {
    const bool query = in.Has("--query");
    return ForEachItem(in, 0, [&](const std::string& text) -> int {
        std::cout << (query ? URI::QueryEscape(text) : URI::Escape(text)) << '\n';
        return kSuccess;
    });
}

int RunUriUnescape(const Invocation& in) {
    const bool query = in.Has("--query");
    return ForEachItem(in, 0, [&](const std::string& text) -> int {
        std::cout << (query ? URI::QueryUnescape(text) : URI::Unescape(text, false)) << '\n';
        return kSuccess;
    });
}

}  // namespace tessera::tool
