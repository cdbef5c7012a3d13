// tessera uri resolve | relative | relation | common-parent | ipv6
#include <iostream>
#include <string>

#include <tessera/URI.h>

#include "uri_commands.h"

namespace tessera_tool {
namespace {

using Varn::URI;

// The operands of a subcommand and whether --ignore-case was given (when allowed).
struct Operands {
    Args values;
    bool ignoreCase = false;
};

// Splits args into operands and options; false (after a usage message) on a bad option
// or a count of operands outside [minCount, maxCount].
bool ReadOperands(const Args& args, const char* usage, bool caseOption, std::size_t minCount,
                  std::size_t maxCount, Operands& out) {
    bool optionsDone = false;
    for (const std::string& arg : args) {
        if (!optionsDone && arg == "--") {
            optionsDone = true;
        } else if (!optionsDone && caseOption && arg == "--ignore-case") {
            out.ignoreCase = true;
        } else if (!optionsDone && arg.size() > 1 && arg[0] == '-' && arg[1] == '-') {
            Fail(2, "uri: unknown option '" + arg + "'; usage: tessera uri " + usage);
            return false;
        } else {
            out.values.push_back(arg);
        }
    }
    if (out.values.size() < minCount || out.values.size() > maxCount) {
        Fail(2, std::string("uri: usage: tessera uri ") + usage);
        return false;
    }
    return true;
}

// Parses text as a URI; false (after an error message) when it is not one.
bool ParseOperand(const std::string& text, URI& out) {
    out = URI::StringProxy(text);
    if (out.IsValidURI()) return true;
    Fail(1, "uri: not a valid URI: '" + text + "'");
    return false;
}

// Reads the operands "[--ignore-case] A B" as two valid URIs; 0, or the exit status.
int ReadTwoURIs(const Args& args, const char* usage, Operands& in, URI& a, URI& b) {
    if (!ReadOperands(args, usage, true, 2, 2, in)) return 2;
    if (!ParseOperand(in.values[0], a) || !ParseOperand(in.values[1], b)) return 1;
    return 0;
}

const char* RelationName(URI::RELATION relation) {
    switch (relation) {
        case URI::RELATION_CHILD: return "child";
        case URI::RELATION_SAME: return "same";
        case URI::RELATION_PARENT: return "parent";
        case URI::RELATION_NONE: break;
    }
    return "none";
}

}  // namespace

int RunUriResolve(const Args& args) {
    const char* usage = "resolve BASE REF...";
    Operands in;
    if (!ReadOperands(args, usage, false, 2, static_cast<std::size_t>(-1), in)) return 2;
    URI base;
    if (!ParseOperand(in.values[0], base)) return 1;
    if (base.IsRelative()) return Fail(1, "uri: the base must be an absolute URI: '" + in.values[0] + "'");
    for (std::size_t i = 1; i < in.values.size(); ++i) {
        URI reference;
        if (!ParseOperand(in.values[i], reference)) return 1;
        reference.MakeAbsoluteURI(base);  // an absolute reference stands for itself
        if (!reference.IsValidURI()) {
            return Fail(1, "uri: '" + in.values[i] + "' does not resolve to a valid URI against '" +
                               in.values[0] + "'");
        }
        std::cout << reference.ToString(false) << '\n';
    }
    return 0;
}

int RunUriRelative(const Args& args) {
    Operands in;
    URI target, base;
    if (const int status = ReadTwoURIs(args, "relative [--ignore-case] TARGET BASE", in, target, base)) return status;
    if (!target.MakeRelativeURI(base, !in.ignoreCase)) {
        return Fail(1, "uri: '" + in.values[0] + "' cannot be made relative to '" + in.values[1] +
                           "' (relative base, or another scheme or host)");
    }
    std::cout << target.ToString(false) << '\n';
    return 0;
}

int RunUriRelation(const Args& args) {
    Operands in;
    URI a, b;
    if (const int status = ReadTwoURIs(args, "relation [--ignore-case] A B", in, a, b)) return status;
    std::cout << RelationName(a.GetRelation(b, !in.ignoreCase)) << '\n';
    return 0;
}

int RunUriCommonParent(const Args& args) {
    Operands in;
    URI a, b;
    if (const int status = ReadTwoURIs(args, "common-parent [--ignore-case] A B", in, a, b)) return status;
    if (a.IsRelative() || b.IsRelative()) return Fail(1, "uri: a relative reference has no common parent");
    std::cout << a.GetCommonParent(b, !in.ignoreCase).ToString(false) << '\n';
    return 0;
}

int RunUriIpv6(const Args& args) {
    Operands in;
    if (!ReadOperands(args, "ipv6 ADDRESS", false, 1, 1, in)) return 2;
    std::string address = in.values[0];
    if (address.size() >= 2 && address.front() == '[' && address.back() == ']') {
        address = address.substr(1, address.size() - 2);
    }
    std::string full;
    if (!URI::IsIPv6(address) || !URI::ExpandIPv6Addr(address, full)) {
        return Fail(1, "uri: not an IPv6 address: '" + in.values[0] + "'");
    }
    std::cout << full << '\n';
    return 0;
}

}  // namespace tessera_tool
