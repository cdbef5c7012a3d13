// Reading, writing and calendar arithmetic of time stamps: Tessera, Abseil, and the C
// library (sscanf/snprintf, timegm/gmtime_r) doing the same fields, in one run.
#include <cstdio>
#include <ctime>
#include <string>
#include <vector>

#include <absl/time/civil_time.h>
#include <absl/time/time.h>
#include <benchmark/benchmark.h>

#include <tessera/TimeStamp.h>

namespace {

constexpr int kStamps = 256;

/// Fields of kStamps moments spread over 1970-2099, the same in every run.
struct Moment {
    int year, month, day, hour, minute, second;
};
const std::vector<Moment>& Moments() {
    static const std::vector<Moment> kMoments = [] {
        std::vector<Moment> out;
        unsigned int state = 12345;
        auto next = [&state](int range) {
            state = state * 1103515245u + 12345u;
            return static_cast<int>((state >> 8) % static_cast<unsigned int>(range));
        };
        for (int i = 0; i < kStamps; ++i) {
            out.push_back({1970 + next(130), 1 + next(12), 1 + next(28), next(24), next(60), next(60)});
        }
        return out;
    }();
    return kMoments;
}

/// RFC 3339 texts: UTC, with offsets and with fractions.
const std::vector<std::string>& Rfc3339Texts() {
    static const std::vector<std::string> kTexts = [] {
        const char* const kZones[] = {"Z", "+05:30", "-08:00", ".25Z", "+01:00"};
        std::vector<std::string> out;
        char text[64];
        int i = 0;
        for (const Moment& m : Moments()) {
            std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d%s", m.year, m.month, m.day, m.hour,
                          m.minute, m.second, kZones[i++ % 5]);
            out.emplace_back(text);
        }
        return out;
    }();
    return kTexts;
}

/// ISO 8601 texts in basic form, read as UTC.
const std::vector<std::string>& BasicIsoTexts() {
    static const std::vector<std::string> kTexts = [] {
        std::vector<std::string> out;
        char text[64];
        for (const Moment& m : Moments()) {
            std::snprintf(text, sizeof text, "%04d%02d%02dT%02d%02d%02d", m.year, m.month, m.day, m.hour, m.minute,
                          m.second);
            out.emplace_back(text);
        }
        return out;
    }();
    return kTexts;
}

template <class Body>
void RunOverStamps(benchmark::State& state, Body body) {
    for (auto _ : state) {
        for (int i = 0; i < kStamps; ++i) body(i);
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()) * kStamps);
}

// ---- reading RFC 3339 and ISO 8601 basic form --------------------------------------

using TextSet = const std::vector<std::string>& (*)();

void Read_Tessera(benchmark::State& state, TextSet texts, bool (Varn::TimeStamp::*read)(const std::string&)) {
    const auto& all = texts();
    RunOverStamps(state, [&](int i) {
        Varn::TimeStamp stamp;
        benchmark::DoNotOptimize((stamp.*read)(all[i]));
        benchmark::DoNotOptimize(stamp);
    });
}

void Read_Abseil(benchmark::State& state, TextSet texts, const char* format) {
    const auto& all = texts();
    RunOverStamps(state, [&](int i) {
        absl::Time time;
        std::string error;
        benchmark::DoNotOptimize(absl::ParseTime(format, all[i], &time, &error));
        benchmark::DoNotOptimize(time);
    });
}

/// sscanf reading the same fields: date, time, and for RFC 3339 the zone's sign and offset.
void Read_Sscanf(benchmark::State& state, TextSet texts, const char* format) {
    const auto& all = texts();
    RunOverStamps(state, [&](int i) {
        int f[8] = {};
        char zone = 0;
        benchmark::DoNotOptimize(
            std::sscanf(all[i].c_str(), format, &f[0], &f[1], &f[2], &f[3], &f[4], &f[5], &zone, &f[6], &f[7]));
        benchmark::DoNotOptimize(f);
    });
}

// ---- writing W3C date-time ----------------------------------------------------------

std::vector<std::int64_t> Seconds() {
    std::vector<std::int64_t> out;
    for (const Moment& m : Moments()) {
        out.push_back(Varn::TimeStamp(m.year, m.month, m.day, m.hour, m.minute, m.second, 0).ToTime_t());
    }
    return out;
}

void WriteW3dtf_Tessera(benchmark::State& state) {
    std::vector<Varn::TimeStamp> stamps;
    for (std::int64_t s : Seconds()) stamps.push_back(Varn::TimeStamp::FromTime_t(s));
    RunOverStamps(state, [&](int i) { benchmark::DoNotOptimize(stamps[i].ToW3DTF()); });
}

void WriteW3dtf_Abseil(benchmark::State& state) {
    std::vector<absl::Time> times;
    for (std::int64_t s : Seconds()) times.push_back(absl::FromUnixSeconds(s));
    const absl::TimeZone utc = absl::UTCTimeZone();
    RunOverStamps(state, [&](int i) { benchmark::DoNotOptimize(absl::FormatTime(absl::RFC3339_sec, times[i], utc)); });
}

void WriteW3dtf_Snprintf(benchmark::State& state) {
    const std::vector<std::int64_t> seconds = Seconds();
    RunOverStamps(state, [&](int i) {
        const std::time_t t = static_cast<std::time_t>(seconds[i]);
        std::tm f{};
        gmtime_r(&t, &f);
        char text[64];
        const int n = std::snprintf(text, sizeof text, "%d-%02d-%02dT%02d:%02d:%02dZ", f.tm_year + 1900, f.tm_mon + 1,
                                    f.tm_mday, f.tm_hour, f.tm_min, f.tm_sec);
        benchmark::DoNotOptimize(std::string(text, static_cast<std::size_t>(n)));
    });
}

// ---- calendar fields to a count and back --------------------------------------------

void CalendarRoundTrip_Tessera(benchmark::State& state) {
    const auto& moments = Moments();
    RunOverStamps(state, [&](int i) {
        const Moment& m = moments[i];
        const Varn::TimeStamp stamp(m.year, m.month, m.day, m.hour, m.minute, m.second, 0);
        int f[6];
        unsigned int fraction;
        stamp.ToYMDHMSF(f[0], f[1], f[2], f[3], f[4], f[5], fraction);
        benchmark::DoNotOptimize(f);
    });
}

void CalendarRoundTrip_Abseil(benchmark::State& state) {
    const auto& moments = Moments();
    const absl::TimeZone utc = absl::UTCTimeZone();
    RunOverStamps(state, [&](int i) {
        const Moment& m = moments[i];
        const absl::Time time =
            absl::FromCivil(absl::CivilSecond(m.year, m.month, m.day, m.hour, m.minute, m.second), utc);
        benchmark::DoNotOptimize(absl::ToCivilSecond(time, utc));
    });
}

void CalendarRoundTrip_Libc(benchmark::State& state) {
    const auto& moments = Moments();
    RunOverStamps(state, [&](int i) {
        const Moment& m = moments[i];
        std::tm fields{};
        fields.tm_year = m.year - 1900, fields.tm_mon = m.month - 1, fields.tm_mday = m.day;
        fields.tm_hour = m.hour, fields.tm_min = m.minute, fields.tm_sec = m.second;
        const std::time_t t = timegm(&fields);
        std::tm back{};
        gmtime_r(&t, &back);
        benchmark::DoNotOptimize(back);
    });
}

}  // namespace

BENCHMARK_CAPTURE(Read_Tessera, rfc3339, Rfc3339Texts, &Varn::TimeStamp::FromRFC3339);
BENCHMARK_CAPTURE(Read_Abseil, rfc3339, Rfc3339Texts, absl::RFC3339_full);
BENCHMARK_CAPTURE(Read_Sscanf, rfc3339, Rfc3339Texts, "%4d-%2d-%2dT%2d:%2d:%2d%c%2d:%2d");
BENCHMARK_CAPTURE(Read_Tessera, iso8601_basic, BasicIsoTexts, &Varn::TimeStamp::FromISO8601);
BENCHMARK_CAPTURE(Read_Abseil, iso8601_basic, BasicIsoTexts, "%Y%m%dT%H%M%S");
BENCHMARK_CAPTURE(Read_Sscanf, iso8601_basic, BasicIsoTexts, "%4d%2d%2dT%2d%2d%2d");
BENCHMARK(WriteW3dtf_Tessera);
BENCHMARK(WriteW3dtf_Abseil);
BENCHMARK(WriteW3dtf_Snprintf);
BENCHMARK(CalendarRoundTrip_Tessera);
BENCHMARK(CalendarRoundTrip_Abseil);
BENCHMARK(CalendarRoundTrip_Libc);

BENCHMARK_MAIN();
