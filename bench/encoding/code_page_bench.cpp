// Code pages on real texts and on hostile input: Tessera's UTF8ToEncoding and
// EncodingToUTF8 side by side with ICU (a converter pair opened once, ucnv_convertEx) and
// glibc iconv (a descriptor opened once). Every rate is in MB (10^6 bytes) of input per
// second. The peers write into a buffer allocated once ahead; Tessera returns a new string
// on every call, allocation and name look-up included.
//
// Two groups: the table-served pages on real text (Windows-1252, Shift-JIS), and pages
// served by stream conversion (ISO-2022, EUC-JP, GB18030, UTF-7, mixed EBCDIC) on valid
// text, random bytes and characters the page lacks, where what counts is a floor of
// 20 MB/s of any input (the "floor" rows report that constant).
#include <benchmark/benchmark.h>
#include <iconv.h>
#include <unicode/ucnv.h>

#include <cerrno>
#include <iostream>
#include <random>
#include <string>
#include <vector>

#include <tessera/Transcoder.h>

#include "test_data.h"

namespace {

using Varn::Transcoder;

/// A code page under three names: Tessera's, ICU's and glibc iconv's (nullptr: no iconv row).
struct Page {
    const char* tessera;
    const char* icu;
    const char* iconv;
};

/// One conversion measured: its input, in which direction, through which page.
struct Workload {
    std::string name;  // benchmark name without the contender
    Page page;
    bool toPage;        // UTF-8 to the page, else the page to UTF-8
    std::string input;  // UTF-8 text, or bytes of the page
};

// Times `call`, which converts the whole input once, after one call made outside the timed
// loop, so that no contender's loop holds the first call of the process (a peer's first
// write to its buffer, or memory the allocator takes from the system for the first time).
template <typename Call>
void Measure(benchmark::State& state, const Workload& workload, Call call) {
    call();
    for (auto _ : state) call();
    state.counters["MB/s"] = benchmark::Counter(static_cast<double>(workload.input.size()) / 1e6,
                                                benchmark::Counter::kIsIterationInvariantRate);
}

void Tessera(benchmark::State& state, const Workload& workload) {
    Measure(state, workload, [&] {
        std::string result = workload.toPage ? Transcoder::UTF8ToEncoding(workload.input, workload.page.tessera)
                                             : Transcoder::EncodingToUTF8(workload.input, workload.page.tessera);
        benchmark::DoNotOptimize(result.data());
    });
}

void Icu(benchmark::State& state, const Workload& workload) {
    UErrorCode error = U_ZERO_ERROR;
    UConverter* page = ucnv_open(workload.page.icu, &error);
    UConverter* utf8 = ucnv_open("UTF-8", &error);
    if (U_FAILURE(error)) {
        state.SkipWithError("ucnv_open failed");
        return;
    }
    UConverter* target = workload.toPage ? page : utf8;
    UConverter* source = workload.toPage ? utf8 : page;
    std::vector<char> out(workload.input.size() * 4 + 16);
    Measure(state, workload, [&] {
        error = U_ZERO_ERROR;
        char* to = out.data();
        const char* from = workload.input.data();
        ucnv_convertEx(target, source, &to, out.data() + out.size(), &from, from + workload.input.size(), nullptr,
                       nullptr, nullptr, nullptr, true, true, &error);
        if (U_FAILURE(error)) state.SkipWithError("ucnv_convertEx failed");
        benchmark::DoNotOptimize(out.data());
    });
    ucnv_close(page);
    ucnv_close(utf8);
}

// Converts all of `in`; where iconv stops on what it rejects, writes '?' and goes on past
// one byte of it. Returns how many stops there were.
std::size_t IconvAll(iconv_t descriptor, const std::string& in, std::vector<char>& out) {
    iconv(descriptor, nullptr, nullptr, nullptr, nullptr);
    auto* source = const_cast<char*>(in.data());
    std::size_t sourceLeft = in.size();
    char* target = out.data();
    std::size_t targetLeft = out.size();
    std::size_t rejected = 0;
    while (iconv(descriptor, &source, &sourceLeft, &target, &targetLeft) == static_cast<std::size_t>(-1) &&
           errno != E2BIG && sourceLeft > 0 && targetLeft > 0) {
        ++source;
        --sourceLeft;
        *target++ = '?';
        --targetLeft;
        ++rejected;
    }
    return rejected;
}

void Iconv(benchmark::State& state, const Workload& workload) {
    // //IGNORE: iconv's fastest way past what it cannot convert (it drops it).
    const std::string target = std::string(workload.toPage ? workload.page.iconv : "UTF-8") + "//IGNORE";
    iconv_t descriptor = iconv_open(target.c_str(), workload.toPage ? "UTF-8" : workload.page.iconv);
    std::vector<char> out(workload.input.size() * 4 + 16);
    std::size_t rejected = 0;
    Measure(state, workload, [&] {
        rejected = IconvAll(descriptor, workload.input, out);
        benchmark::DoNotOptimize(out.data());
    });
    iconv_close(descriptor);
    state.counters["rejected"] = static_cast<double>(rejected);
}

// The floor that stream-served pages must keep on any input: a constant, shown beside them.
void Floor(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(state.iterations());
    state.counters["MB/s"] = 20.0;
}

std::string RandomBytes(std::size_t size) {
    std::mt19937 generator(18);
    std::string bytes(size, '\0');
    for (char& byte : bytes) byte = static_cast<char>(generator() & 0xFF);
    return bytes;
}

std::string Text(const char* file) {
    const std::string text = tessera_test::ReadDataFile(std::string("text/") + file + ".utf8.txt");
    if (text.empty()) {
        std::cerr << "cannot read " << tessera_test::DataDir() << "/text/" << file << ".utf8.txt\n";
        std::exit(1);
    }
    return text;
}

// Both directions of a page on a text: UTF-8 to the page, and the page's form of the text back.
void AddBothWays(std::vector<Workload>& workloads, const Page& page, const char* label, const char* file) {
    const std::string text = Text(file);
    workloads.push_back({std::string("ToPage/") + label, page, true, text});
    workloads.push_back(
        {std::string("FromPage/") + label, page, false, Transcoder::UTF8ToEncoding(text, page.tessera)});
}

constexpr Page kWindows1252 = {"Windows-1252", "windows-1252", "CP1252"};
constexpr Page kShiftJis = {"shift_jis", "shift_jis", "CP932"};

// Stream-served pages, a text in their script, and one of characters they lack (nullptr:
// they have every character).
struct StreamPage {
    Page page;
    const char* text;
    const char* lacking;
};

constexpr StreamPage kStreamPages[] = {
    {{"iso-2022-jp", "ISO-2022-JP", nullptr}, "Japanese-Lipsum", "Hindi-Lipsum"},
    {{"iso-2022-kr", "ISO-2022-KR", nullptr}, "Korean-Lipsum", "Hindi-Lipsum"},
    {{"euc-jp", "EUC-JP", nullptr}, "Japanese-Lipsum", "Hindi-Lipsum"},
    {{"x-EBCDIC-JapaneseAndKana", "ibm-930", nullptr}, "Japanese-Lipsum", "Hindi-Lipsum"},
    {{"windows-54936", "GB18030", nullptr}, "Chinese-Lipsum", nullptr},
    {{"utf-7", "UTF-7", nullptr}, "Japanese-Lipsum", nullptr},
};

std::vector<Workload> Workloads() {
    std::vector<Workload> workloads;
    AddBothWays(workloads, kWindows1252, "Windows-1252/mars-french", "mars-french");
    AddBothWays(workloads, kShiftJis, "shift_jis/Japanese-Lipsum", "Japanese-Lipsum");
    AddBothWays(workloads, kShiftJis, "shift_jis/mars-japanese", "mars-japanese");
    const std::string random = RandomBytes(1 << 18);
    for (const StreamPage& stream : kStreamPages) {
        const std::string name = stream.page.tessera;
        AddBothWays(workloads, stream.page, (name + "/valid").c_str(), stream.text);
        workloads.push_back({"ToPage/" + name + "/random", stream.page, true, random});
        workloads.push_back({"FromPage/" + name + "/random", stream.page, false, random});
        if (stream.lacking)
            workloads.push_back({"ToPage/" + name + "/lacking", stream.page, true, Text(stream.lacking)});
    }
    return workloads;
}

}  // namespace

int main(int argc, char** argv) {
    static const std::vector<Workload> g_workloads = Workloads();  // outlives the benchmark run
    for (const Workload& workload : g_workloads) {
        benchmark::RegisterBenchmark((workload.name + "/tessera").c_str(), Tessera, workload);
        benchmark::RegisterBenchmark((workload.name + "/icu").c_str(), Icu, workload);
        if (workload.page.iconv) benchmark::RegisterBenchmark((workload.name + "/iconv").c_str(), Iconv, workload);
    }
    benchmark::RegisterBenchmark("floor", Floor);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
