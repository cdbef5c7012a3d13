// tessera uri resolve | relative | relation | common-parent | ipv6
#include <iostream>
#include <string>

#include <tessera/URI.h>

#include "text_items.h"
#include "uri_commands.h"

namespace tessera::tool {
namespace {

using Varn::URI;

// Parses text as a URI; false (after rejecting it) when it is not one.
bool ReadURI(const Invocation& in, const std::string& text, URI& out) {
    out = URI::StringProxy(text);
    if (out.IsValidURI()) return true;
    in.Reject("not a valid URI: " + Quote(text));
    return false;
}

const char* RelationName(URI::RELATION relation) {
    switch (relation) {
        case URI::RELATION_CHILD:
            return "child";
        case URI::RELATION_SAME:
            return "same";
        case URI::RELATION_PARENT:
            return "parent";
        case URI::RELATION_NONE:
            break;
    }
    return "none";
}

using URIPairFunction = std::function<int(const std::string&, const std::string&, const URI&, const URI&)>;

/// Calls each for every pair of valid URIs (rejecting the other pairs).
int ForEachURIPair(const Invocation& in, const URIPairFunction& each) {
    return ForEachPair(in, [&](const std::string& first, const std::string& second) -> int {
        URI a, b;
        if (!ReadURI(in, first, a) || !ReadURI(in, second, b)) return kRejected;
        return each(first, second, a, b);
    });
}

}  // namespace

int RunUriResolve(const Invocation& in) {
    const std::string& baseText = in.Operands()[0];
    URI base;
    if (!ReadURI(in, baseText, base)) return kRejected;
    if (base.IsRelative()) return in.Reject("the base must be an absolute URI: " + Quote(baseText));
    return ForEachItem(in, 1, [&](const std::string& text) -> int {
        URI reference;
        if (!ReadURI(in, text, reference)) return kRejected;
        reference.MakeAbsoluteURI(base);  // an absolute reference stands for itself
        if (!reference.IsValidURI()) {
            return in.Reject(Quote(text) + " does not resolve to a valid URI against " + Quote(baseText));
        }
        std::cout << reference.ToString(false) << '\n';
        return kSuccess;
    });
}

int RunUriRelative(const Invocation& in) {
    const bool caseSensitive = !in.Has("--ignore-case");
    return ForEachURIPair(in,
                          [&](const std::string& first, const std::string& second, URI target, const URI& base) -> int {
                              if (!target.MakeRelativeURI(base, caseSensitive)) {
                                  return in.Reject(Quote(first) + " cannot be made relative to " + Quote(second) +
                                                   " (relative base, or another scheme or host)");
                              }
                              std::cout << target.ToString(false) << '\n';
                              return kSuccess;
                          });
}

int RunUriRelation(const Invocation& in) {
    const bool caseSensitive = !in.Has("--ignore-case");
    return ForEachURIPair(in, [&](const std::string&, const std::string&, const URI& a, const URI& b) -> int {
        std::cout << RelationName(a.GetRelation(b, caseSensitive)) << '\n';
        return kSuccess;
    });
}

int RunUriCommonParent(const Invocation& in) {
    const bool caseSensitive = !in.Has("--ignore-case");
    return ForEachURIPair(in,
                          [&](const std::string& first, const std::string& second, const URI& a, const URI& b) -> int {
                              if (a.IsRelative() || b.IsRelative()) {
                                  return in.Reject("a relative reference has no common parent: " +
                                                   Quote(a.IsRelative() ? first : second));
                              }
                              std::cout << a.GetCommonParent(b, caseSensitive).ToString(false) << '\n';
                              return kSuccess;
                          });
}

int RunUriIpv6(const Invocation& in) {
    return ForEachItem(in, 0, [&](const std::string& text) -> int {
        std::string address = text;
        if (address.size() >= 2 && address.front() == '[' && address.back() == ']') {
            address = address.substr(1, address.size() - 2);
        }
        std::string full;
        if (!URI::IsIPv6(address) || !URI::ExpandIPv6Addr(address, full)) {
            return in.Reject("not an IPv6 address: " + Quote(text));
        }
        std::cout << full << '\n';
        return kSuccess;
    });
}

}  // namespace tessera::tool
