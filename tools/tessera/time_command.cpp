// tessera time SUBCOMMAND ...: read and write time stamps.
#include <charconv>
#include <cstdint>
#include <iostream>
#include <stdexcept>

#include <tessera/TimeStamp.h>

#include "commands.h"

namespace tessera_tool {
namespace {

const char kTimeUsage[] =
    "usage: tessera time SUBCOMMAND ARGS...\n"
    "\n"
    "subcommands:\n"
    "  now                 the current time (whole seconds, UTC)\n"
    "  parse TEXT...       read RFC 3339 or ISO 8601 text\n"
    "  from-ticks N        100-ns ticks since 1601-01-01T00:00:00Z\n"
    "  from-time_t N       seconds since 1970-01-01T00:00:00Z\n"
    "\n"
    "Each prints the stamp as ticks, W3C date-time, ISO 8601 basic and extended, time_t.\n";

void PrintStamp(Varn::TimeStamp stamp) {
    std::string basic, extended;
    stamp.ToISO8601(basic, true);
    stamp.ToISO8601(extended, false);
    std::cout << "ticks         " << stamp.ToInt64() << '\n'
              << "W3C           " << stamp.ToW3DTF() << '\n'
              << "ISO basic     " << basic << '\n'
              << "ISO extended  " << extended << '\n'
              << "time_t        " << stamp.ToTime_t() << '\n';
}

/// RFC 3339 first, then ISO 8601; false when neither reads the text.
bool ReadStamp(const std::string& text, Varn::TimeStamp& stamp) {
    if (stamp.FromRFC3339(text)) return true;
    try {
        return stamp.FromISO8601(text);
    } catch (const std::out_of_range&) {
        return false;  // too short to hold a date
    }
}

int RunParse(const Args& texts) {
    if (texts.empty()) return Fail(2, "time parse: missing TEXT (try 'tessera time --help')");
    int status = 0;
    for (std::size_t i = 0; i < texts.size(); ++i) {
        Varn::TimeStamp stamp;
        if (!ReadStamp(texts[i], stamp)) {
            status = Fail(1, "time parse: '" + texts[i] + "' is not an RFC 3339 or ISO 8601 time stamp");
            continue;
        }
        if (i > 0) std::cout << '\n';
        std::cout << "text          " << texts[i] << '\n';
        PrintStamp(stamp);
    }
    return status;
}

/// Prints the stamp made from the one integer operand, named what in messages.
int RunFromNumber(const Args& args, const char* what, Varn::TimeStamp (*make)(std::int64_t)) {
    const std::string command = std::string("time ") + what;
    if (args.size() != 1) return Fail(2, command + ": expects one number (try 'tessera time --help')");
    const std::string& text = args[0];
    std::int64_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || text.empty()) {
        return Fail(1, command + ": '" + text + "' is not a 64-bit integer");
    }
    PrintStamp(make(value));
    return 0;
}

Varn::TimeStamp FromTicks(std::int64_t ticks) { return Varn::TimeStamp(ticks); }

}  // namespace

int RunTime(const Args& args) {
    if (args.empty()) {
        std::cerr << kTimeUsage;
        return 2;
    }
    const std::string& name = args[0];
    const Args rest(args.begin() + 1, args.end());
    const auto help = [](const std::string& a) { return a == "--help" || a == "-h"; };
    if (help(name) || (!rest.empty() && help(rest[0]))) {
        std::cout << kTimeUsage;
        return 0;
    }
    if (name == "now") {
        if (!rest.empty()) return Fail(2, "time now: takes no arguments");
        Varn::TimeStamp stamp;
        stamp.SetToCurrentTime();
        PrintStamp(stamp);
        return 0;
    }
    if (name == "parse") return RunParse(rest);
    if (name == "from-ticks") return RunFromNumber(rest, "from-ticks", FromTicks);
    if (name == "from-time_t") return RunFromNumber(rest, "from-time_t", Varn::TimeStamp::FromTime_t);
    return Fail(2, "time: unknown subcommand '" + name + "' (try 'tessera time --help')");
}

}  // namespace tessera_tool
