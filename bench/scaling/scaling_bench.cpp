// How the time of every text entry point grows with the size of its input: each entry
// point runs on 10 KB, 100 KB and 1 MB of ordinary text and of hostile text (deep paths,
// runs of '%', '..' segments, long queries, invalid UTF-8, lone surrogates, characters
// the target code page lacks), and reports its growth exponent
// log(t(1 MB) / t(10 KB)) / log(100): 1 is linear, 2 quadratic. Linear is the goal
// (at most 1.1).
//
//   scaling_bench [--json=FILE] [--filter=TEXT] [--default-allocator]
//
// Each size is timed twice. Judged: the calls take their inputs in turn from 8 MB of
// copies, so that every size reads its input from the same level of the memory
// hierarchy and the exponent shows the growth of the code. Shown beside it: every call
// takes the same input, which stays in the caches; there a 10 KB input lives in the
// first level and a 1 MB one does not, and even a plain copy grows faster than linearly.
//
// Times are CPU time, the fastest of several batches (other work on the machine only
// ever slows a batch down). glibc's allocator gives each block of 128 KB or more pages
// of its own, paid for again in page faults at every use, so a step in cost per byte
// lies between 10 KB and 1 MB that says nothing of the code; the program has it keep
// large blocks on its heap (--default-allocator leaves it as it is). Where 100 KB already
// takes far more than ten times 10 KB, 1 MB is skipped when it would take more than a few
// seconds, and the exponent is that of 10 KB -> 100 KB (log base 10), marked as such. This
// program compares with no peer; bench/run_all.py runs it in several processes and reports
// the worst exponent.
#include <cmath>
#include <cstdio>
#include <ctime>
#include <fstream>
#include <functional>
#include <map>
#include <string>
#include <vector>

#if defined(__GLIBC__)
#include <malloc.h>
#endif

#include <tessera/TimeStamp.h>
#include <tessera/Transcoder.h>
#include <tessera/URI.h>

namespace {

using Varn::Transcoder;
using Varn::URI;

// ---- inputs -----------------------------------------------------------------------------

enum class Kind {
    kOrdinary,
    kDeepPath,
    kPercentRuns,
    kDotSegments,
    kLongQuery,
    kInvalidUtf8,
    kLoneSurrogates,
    kUnconvertible
};

const char* KindName(Kind kind) {
    switch (kind) {
        case Kind::kOrdinary:
            return "ordinary";
        case Kind::kDeepPath:
            return "deep path";
        case Kind::kPercentRuns:
            return "runs of '%'";
        case Kind::kDotSegments:
            return "'..' segments";
        case Kind::kLongQuery:
            return "long query";
        case Kind::kInvalidUtf8:
            return "invalid UTF-8";
        case Kind::kLoneSurrogates:
            return "lone surrogates";
        case Kind::kUnconvertible:
            return "unconvertible";
    }
    return "";
}

/// size bytes (about) of one kind of text, made of a repeated unit.
std::string Payload(Kind kind, std::size_t size) {
    std::string unit;
    switch (kind) {
        case Kind::kOrdinary:
            unit = "docs/guide-2024/intro_page.html?lang=en&x=%C3%A9/caf\xC3\xA9 r\xC3\xA9sum\xC3\xA9 \xE4\xB8\xAD/";
            break;
        case Kind::kDeepPath:
            unit = "a/";
            break;
        case Kind::kPercentRuns:
            unit = "%%%%%%%%%%%%%%%%%%%%%%%%%%%%%%%%%%%%%%%%%%%%%%%%%%%%%%%%%%%%%%%4";
            break;
        case Kind::kDotSegments:
            unit = "../x/./../";
            break;
        case Kind::kLongQuery:
            unit = "?key=value%20one&k2=v+2&";
            break;
        case Kind::kInvalidUtf8:
            unit = "a\xFF\xC3\xE4\xB8 \x80\xBF\xF0\x9F";
            break;
        case Kind::kLoneSurrogates:
            unit = "a\xED\xA0\x80 \xED\xBF\xBFz";
            break;
        case Kind::kUnconvertible:
            unit = "\xE4\xB8\xAD\xE6\x96\x87\xF0\x9F\x98\x80\xD9\x85\xE0\xA4\xB9";
            break;
    }
    std::string text;
    text.reserve(size + unit.size());
    while (text.size() < size) text += unit;
    return text;
}

/// The text as UTF-16; lone surrogates become unpaired UTF-16 units.
std::wstring Wide(Kind kind, const std::string& text) {
    if (kind != Kind::kLoneSurrogates) return Transcoder::UTF8ToUTF16(text);
    std::wstring units;
    for (std::size_t i = 0; i < text.size() / 4; ++i)
        units += {L'a', static_cast<wchar_t>(0xD800), L' ', static_cast<wchar_t>(0xDFFF)};
    return units;
}

/// What an entry point works on, prepared before the clock runs.
struct Prepared {
    std::string text;
    std::wstring wide;
    URI uri, other;
};

/// The payload as the URI "http://host.example/" + payload, and other as its first
/// half's directory (a relation to compute) or a base to resolve against.
Prepared AsUri(Kind kind, const std::string& payload) {
    Prepared p;
    p.text = "http://host.example/" + payload;
    p.uri = URI::StringProxy(p.text);
    p.other = URI::StringProxy("http://host.example/" + payload.substr(0, payload.size() / 2) + "/x");
    p.wide = Wide(kind, payload);
    return p;
}

Prepared AsText(Kind kind, const std::string& payload) {
    Prepared p;
    p.text = payload;
    p.wide = Wide(kind, payload);
    p.other = URI::StringProxy("http://host.example/base/dir/page.html?q");
    return p;
}

// ---- entry points -------------------------------------------------------------------------

using Prepare = Prepared (*)(Kind, const std::string&);
using Operation = std::size_t (*)(const Prepared&);

struct Entry {
    const char* name;
    Prepare prepare;
    Operation run;
    std::vector<Kind> kinds;
};

const std::vector<Kind> kUriKinds = {Kind::kOrdinary,    Kind::kDeepPath,  Kind::kPercentRuns,
                                     Kind::kDotSegments, Kind::kLongQuery, Kind::kInvalidUtf8};
const std::vector<Kind> kTextKinds = {Kind::kOrdinary, Kind::kInvalidUtf8, Kind::kLoneSurrogates, Kind::kUnconvertible};

std::size_t Size(const URI::StringProxy& text) { return text.size(); }

const std::vector<Entry>& Entries() {
    static const std::vector<Entry> entries = {
        // Not an entry point: the machine's own copy of as many bytes, for comparison.
        {"reference: copy of the text",
         AsUri,
         [](const Prepared& p) {
             static const char* volatile sink = nullptr;
             const std::string copy(p.text);
             sink = copy.data();
             return copy.size();
         },
         {Kind::kOrdinary}},
        // Parsing, writing, accessors.
        {"URI(text)", AsUri, [](const Prepared& p) { return Size(URI(URI::StringProxy(p.text)).ToString(false)); },
         kUriKinds},
        {"FromEncodedString", AsUri,
         [](const Prepared& p) {
             URI u;
             return std::size_t{u.FromEncodedString(p.text, "windows-1252")};
         },
         kUriKinds},
        {"ToString(false)", AsUri, [](const Prepared& p) { return Size(p.uri.ToString(false)); }, kUriKinds},
        {"ToString(true)", AsUri, [](const Prepared& p) { return Size(p.uri.ToString(true)); }, kUriKinds},
        {"ToStringUTF8", AsUri, [](const Prepared& p) { return Size(p.uri.ToStringUTF8()); }, kUriKinds},
        {"ToStringUTF8Escaped", AsUri, [](const Prepared& p) { return Size(p.uri.ToStringUTF8Escaped()); }, kUriKinds},
        {"ToEncodedString", AsUri,
         [](const Prepared& p) {
             URI u(p.uri);
             return Size(u.ToEncodedString("shift_jis"));
         },
         kUriKinds},
        {"getters", AsUri,
         [](const Prepared& p) {
             return Size(p.uri.GetPath()) + Size(p.uri.GetQuery(true)) + Size(p.uri.GetFragment());
         },
         kUriKinds},
        {"SetPath", AsText,
         [](const Prepared& p) {
             URI u(p.other);
             u.SetPath(p.text);
             return Size(u.ToString(false));
         },
         kUriKinds},
        {"SetQuery", AsText,
         [](const Prepared& p) {
             URI u(p.other);
             u.SetQuery(p.text, true);
             return Size(u.ToString(false));
         },
         kUriKinds},
        {"ForceEscape", AsUri,
         [](const Prepared& p) {
             URI u(p.uri);
             u.ForceEscape();
             return Size(u.ToString(false));
         },
         kUriKinds},
        {"file names", AsUri,
         [](const Prepared& p) {
             return Size(p.uri.GetFilename(false)) + Size(p.uri.GetExtension(true)) +
                    Size(p.uri.GetLastPathComponent());
         },
         kUriKinds},
        {"RemoveLastPathComponent", AsUri,
         [](const Prepared& p) {
             URI u(p.uri);
             return Size(u.RemoveLastPathComponent());
         },
         kUriKinds},
        // Escaping.
        {"Escape", AsText, [](const Prepared& p) { return Size(URI::Escape(p.text)); }, kUriKinds},
        {"EscapeChars", AsText, [](const Prepared& p) { return Size(URI::EscapeChars(p.text, " %/")); }, kUriKinds},
        {"QueryEscape", AsText, [](const Prepared& p) { return Size(URI::QueryEscape(p.text)); }, kUriKinds},
        {"Unescape", AsText, [](const Prepared& p) { return Size(URI::Unescape(p.text, false)); }, kUriKinds},
        {"QueryUnescape", AsText, [](const Prepared& p) { return Size(URI::QueryUnescape(p.text)); }, kUriKinds},
        // Resolution and relations.
        {"ChDir", AsText,
         [](const Prepared& p) {
             URI u(p.other);
             u.ChDir(p.text, true);
             return Size(u.ToString(false));
         },
         kUriKinds},
        {"MakeAbsoluteURI", AsText,
         [](const Prepared& p) {
             URI u(URI::StringProxy(p.text));
             u.MakeAbsoluteURI(p.other);
             return Size(u.ToString(false));
         },
         kUriKinds},
        {"MakeRelativeURI", AsUri,
         [](const Prepared& p) {
             URI u(p.uri);
             u.MakeRelativeURI(p.other, true);
             return Size(u.ToString(false));
         },
         kUriKinds},
        {"GetRelation", AsUri, [](const Prepared& p) { return std::size_t(p.uri.GetRelation(p.other, true)); },
         kUriKinds},
        {"GetRelationByString", AsUri,
         [](const Prepared& p) { return std::size_t(URI::GetRelationByString(p.text, p.text)); }, kUriKinds},
        {"GetCommonParent", AsUri,
         [](const Prepared& p) { return Size(p.uri.GetCommonParent(p.other, true).ToString(false)); }, kUriKinds},
        // Query maps.
        {"GetQueryByMap", AsUri,
         [](const Prepared& p) {
             std::map<std::string, std::string> m;
             p.uri.GetQueryByMap(m);
             return m.size();
         },
         kUriKinds},
        {"GetQueryValue", AsUri,
         [](const Prepared& p) {
             std::string v;
             return std::size_t{p.uri.GetQueryValue("k2", v)};
         },
         kUriKinds},
        {"SetQueryValue", AsUri,
         [](const Prepared& p) {
             URI u(p.uri);
             u.SetQueryValue("key", "new value");
             return Size(u.GetQuery(false));
         },
         kUriKinds},
        // Local paths and guessing.
        {"LocalPathToURIWin", AsText,
         [](const Prepared& p) {
             URI u;
             u.LocalPathToURIWin("C:\\" + p.text);
             return Size(u.ToString(false));
         },
         kUriKinds},
        {"LocalPathToURIUnix", AsText,
         [](const Prepared& p) {
             URI u;
             u.LocalPathToURIUnix(p.text);
             return Size(u.ToString(false));
         },
         kUriKinds},
        {"LocalPathToURIMac", AsText,
         [](const Prepared& p) {
             URI u;
             u.LocalPathToURIMac(p.text);
             return Size(u.ToString(false));
         },
         kUriKinds},
        {"ToLocalPathWin", AsText,
         [](const Prepared& p) {
             URI u(URI::StringProxy("file:///C|/" + p.text));
             return Size(u.ToLocalPathWin());
         },
         kUriKinds},
        {"ToLocalPathUnix", AsText,
         [](const Prepared& p) {
             URI u(URI::StringProxy("file:///" + p.text));
             return Size(u.ToLocalPathUnix());
         },
         kUriKinds},
        {"ToLocalPathMac", AsText,
         [](const Prepared& p) {
             URI u(URI::StringProxy("file:///" + p.text));
             return Size(u.ToLocalPathMac());
         },
         kUriKinds},
        {"UnknownToURI", AsText,
         [](const Prepared& p) {
             URI u;
             u.UnknownToURI("www.example.org/" + p.text, "http");
             return Size(u.ToString(false));
         },
         kUriKinds},
        {"ExpandIPv6Addr", AsText,
         [](const Prepared& p) {
             std::string out;
             return std::size_t{URI::ExpandIPv6Addr(p.text, out)} + URI::IsIPv6(p.text);
         },
         kUriKinds},
        // Conversions.
        {"UTF8ToUTF16", AsText, [](const Prepared& p) { return Transcoder::UTF8ToUTF16(p.text).size(); }, kTextKinds},
        {"UTF16ToUTF8", AsText, [](const Prepared& p) { return Transcoder::UTF16ToUTF8(p.wide).size(); }, kTextKinds},
        {"UTF8ToEncoding windows-1252", AsText,
         [](const Prepared& p) { return Transcoder::UTF8ToEncoding(p.text, "windows-1252").size(); }, kTextKinds},
        {"UTF16ToEncoding shift_jis", AsText,
         [](const Prepared& p) { return Transcoder::UTF16ToEncoding(p.wide, "shift_jis").size(); }, kTextKinds},
        {"UTF8ToEncoding iso-2022-jp", AsText,
         [](const Prepared& p) { return Transcoder::UTF8ToEncoding(p.text, "iso-2022-jp").size(); }, kTextKinds},
        {"EncodingToUTF8 windows-1252", AsText,
         [](const Prepared& p) { return Transcoder::EncodingToUTF8(p.text, "windows-1252").size(); }, kTextKinds},
        {"EncodingToUTF16 shift_jis", AsText,
         [](const Prepared& p) { return Transcoder::EncodingToUTF16(p.text, "shift_jis").size(); }, kTextKinds},
        {"EncodingToUTF8 iso-2022-jp", AsText,
         [](const Prepared& p) { return Transcoder::EncodingToUTF8(p.text, "iso-2022-jp").size(); }, kTextKinds},
        // Time stamps: a long text is refused, in time that should not grow with it.
        {"FromRFC3339",
         AsText,
         [](const Prepared& p) {
             Varn::TimeStamp t;
             return std::size_t{t.FromRFC3339("2024-02-29T12:34:56." + p.text)};
         },
         {Kind::kOrdinary, Kind::kInvalidUtf8}},
        {"FromISO8601",
         AsText,
         [](const Prepared& p) {
             Varn::TimeStamp t;
             return std::size_t{t.FromISO8601("20240229T123456," + p.text)};
         },
         {Kind::kOrdinary, Kind::kInvalidUtf8}},
    };
    return entries;
}

// ---- timing ----------------------------------------------------------------------------------

volatile std::size_t g_sink = 0;

double CpuSeconds() { return static_cast<double>(std::clock()) / CLOCKS_PER_SEC; }

/// Seconds per run of operation, taking the inputs in turn: the fastest of at least 5
/// batches (3 for an operation that takes seconds), each batch at least 5 ms long.
double TimeOf(Operation operation, const std::vector<Prepared>& inputs) {
    std::size_t perBatch = 1, next = 0;
    double best = 1e30, spent = 0;
    for (int batches = 0; batches < 5 || spent < 0.05;) {
        const double start = CpuSeconds();
        for (std::size_t i = 0; i < perBatch; ++i) {
            g_sink = g_sink + operation(inputs[next]);
            next = next + 1 == inputs.size() ? 0 : next + 1;
        }
        const double seconds = CpuSeconds() - start;
        if (seconds < 0.005) {  // too short to time: a longer batch, and this one does not count
            perBatch *= 2;
            continue;
        }
        spent += seconds;
        best = std::min(best, seconds / static_cast<double>(perBatch));
        if (++batches >= 3 && spent > 2) break;
    }
    return best;
}

/// Times at 10 KB, 100 KB and 1 MB (negative: skipped) and the growth exponent they give.
struct Growth {
    double seconds[3];
    double exponent;
};

struct Row {
    std::string entry, kind;
    Growth rotating;  // inputs taken in turn from kRotatedBytes of copies: judged
    Growth same;      // the same input every call, kept in the caches: shown
};

constexpr std::size_t kSizes[3] = {10 * 1000, 100 * 1000, 1000 * 1000};
constexpr std::size_t kRotatedBytes = 8 * 1000 * 1000;  // the second level's size many times over

double Exponent(const double (&seconds)[3]) {
    return seconds[2] >= 0 ? std::log(seconds[2] / seconds[0]) / std::log(100.0)
                           : std::log(seconds[1] / seconds[0]) / std::log(10.0);
}

Row Measure(const Entry& entry, Kind kind) {
    Row row{entry.name, KindName(kind), {{-1, -1, -1}, 0}, {{-1, -1, -1}, 0}};
    for (int i = 0; i < 3; ++i) {
        if (i == 2) {
            const double ratio = row.rotating.seconds[1] / row.rotating.seconds[0];
            if (ratio > 20 && row.rotating.seconds[1] * ratio > 5) break;  // 1 MB would take too long
        }
        const std::vector<Prepared> one(1, entry.prepare(kind, Payload(kind, kSizes[i])));
        row.same.seconds[i] = TimeOf(entry.run, one);
        row.rotating.seconds[i] = TimeOf(entry.run, std::vector<Prepared>(kRotatedBytes / kSizes[i], one[0]));
    }
    row.rotating.exponent = Exponent(row.rotating.seconds);
    row.same.exponent = Exponent(row.same.seconds);
    return row;
}

std::string Quoted(const std::string& text) {
    std::string out = "\"";
    for (char c : text) out += c == '"' || c == '\\' ? std::string("\\") + c : std::string(1, c);
    return out + "\"";
}

void WriteGrowth(std::ofstream& out, const char* name, const Growth& growth) {
    out << "\"" << name << "\": {\"seconds\": [" << growth.seconds[0] << ", " << growth.seconds[1] << ", "
        << growth.seconds[2] << "], \"exponent\": " << growth.exponent << "}";
}

void WriteJson(const std::vector<Row>& rows, const std::string& path) {
    std::ofstream out(path);
    out << "{\"sizes\": [10000, 100000, 1000000], \"rows\": [\n";
    for (std::size_t i = 0; i < rows.size(); ++i) {
        out << " {\"entry\": " << Quoted(rows[i].entry) << ", \"input\": " << Quoted(rows[i].kind) << ", ";
        WriteGrowth(out, "rotating", rows[i].rotating);
        out << ", ";
        WriteGrowth(out, "same", rows[i].same);
        out << "}" << (i + 1 < rows.size() ? ",\n" : "\n");
    }
    out << "]}\n";
}

}  // namespace

int main(int argc, char** argv) {
    std::string json, filter;
    bool defaultAllocator = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg.rfind("--json=", 0) == 0) {
            json = arg.substr(7);
        } else if (arg.rfind("--filter=", 0) == 0) {
            filter = arg.substr(9);
        } else if (arg == "--default-allocator") {
            defaultAllocator = true;
        } else {
            std::fprintf(stderr, "usage: scaling_bench [--json=FILE] [--filter=TEXT] [--default-allocator]\n");
            return 2;
        }
    }
#if defined(__GLIBC__)
    if (!defaultAllocator) {
        mallopt(M_MMAP_THRESHOLD, 1 << 30);
        mallopt(M_TRIM_THRESHOLD, 1 << 30);
    }
#endif
    std::vector<Row> rows;
    std::printf("%-30s %-16s %11s %11s %11s  exponent (same input)\n", "entry point", "input", "10 KB", "100 KB",
                "1 MB");
    for (const Entry& entry : Entries()) {
        if (!filter.empty() && std::string(entry.name).find(filter) == std::string::npos) continue;
        for (Kind kind : entry.kinds) {
            rows.push_back(Measure(entry, kind));
            const Row& r = rows.back();
            const double* seconds = r.rotating.seconds;
            std::printf("%-30s %-16s %9.1f us %9.1f us %9.1f us  %.2f (%.2f)%s%s\n", r.entry.c_str(), r.kind.c_str(),
                        seconds[0] * 1e6, seconds[1] * 1e6, seconds[2] * 1e6, r.rotating.exponent, r.same.exponent,
                        seconds[2] < 0 ? " (10-100 KB)" : "", r.rotating.exponent > 1.1 ? "  ** above 1.1" : "");
            std::fflush(stdout);
        }
    }
    if (!json.empty()) WriteJson(rows, json);
    return 0;
}
