// UTF-8 <-> UTF-16 on real texts, whole and in slices of 1 KB and 10 MB: Tessera's
// conversions side by side with ICU, glibc iconv and a plain memcpy of the UTF-8 bytes.
// Every rate is in MB (10^6 bytes) of UTF-8 text per second. The peers write into a buffer
// allocated once ahead; Tessera returns a new string on every call, allocation included.
// Both directions are the public calls, `Varn::Transcoder::UTF8ToUTF16` and `UTF16ToUTF8`;
// "copy" copies the UTF-16 result into a new string; "fill" makes a new string of the
// result's length as Tessera makes its results and fills it from a 16 KB chunk,
// converting nothing: what any call returning that string spends on its memory alone.
// Each contender converts once before its timed loop. Every run also counts the
// minor page faults of its timed loop, per call ("faults/call"): a result on pages the
// allocator has just taken from the system faults once a page (once per 2 MB where huge
// pages are granted), one on pages it kept does not.
#include <benchmark/benchmark.h>
#include <iconv.h>
#include <sys/resource.h>
#include <unicode/ustring.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include <tessera/Transcoder.h>

#include "test_data.h"
#include "unicode/kernel.h"
#include "unicode/sized_conversion.h"
#include "unicode/utf8_utf16.h"

namespace {

// One line of texts.tsv: "name<TAB>kind", then optionally "<TAB>" and the sizes of the
// slices to measure besides the whole text ("1KB 10MB"); '#' starts a comment. The text
// is text/<name>.utf8.txt in the data folder.
struct TextLine {
    std::string name;
    std::vector<std::string> slices;
};

std::vector<TextLine> ReadTextTable() {
    std::vector<TextLine> lines;
    std::ifstream table(TESSERA_BENCH_TEXTS);
    for (std::string line; std::getline(table, line);) {
        if (line.empty() || line[0] == '#') continue;
        std::istringstream fields(line);
        TextLine text;
        std::string kind;
        std::getline(fields, text.name, '\t');
        std::getline(fields, kind, '\t');
        for (std::string slice; fields >> slice;) text.slices.push_back(slice);
        lines.push_back(text);
    }
    return lines;
}

// "1KB" is 1000 bytes, "10MB" ten million.
std::size_t SliceBytes(const std::string& size) {
    const std::size_t unit = size.find("MB") != std::string::npos ? 1000000 : 1000;
    return std::stoul(size) * unit;
}

// `text` repeated as often as needed to fill `bytes`, cut back to the start of a character.
std::string Slice(const std::string& text, std::size_t bytes) {
    std::string slice;
    while (slice.size() < bytes) slice += text;
    std::size_t size = bytes;
    while (size > 0 && (static_cast<unsigned char>(slice[size]) & 0xC0) == 0x80) --size;
    slice.resize(size);
    return slice;
}

// One text in every form the contenders read.
struct Sample {
    std::string name;  // in the benchmarks' names: the text's, with ".1KB" for a slice
    std::string utf8;
    std::wstring wide;     // Tessera: one UTF-16 unit per wchar_t
    std::u16string utf16;  // ICU and iconv (as UTF-16LE bytes)
};

long MinorFaults() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_minflt;
}

// Made just before a run's timed loop: when it goes, right after the loop, sets the
// counter "faults/call" to the minor faults of the loop divided by its iterations.
class FaultCount {
public:
    explicit FaultCount(benchmark::State& state) : m_state(state), m_start(MinorFaults()) {}
    FaultCount(const FaultCount&) = delete;
    FaultCount& operator=(const FaultCount&) = delete;
    ~FaultCount() {
        m_state.counters["faults/call"] =
            benchmark::Counter(static_cast<double>(MinorFaults() - m_start), benchmark::Counter::kAvgIterations);
    }

private:
    benchmark::State& m_state;
    long m_start;
};

// Times `call`, which converts (or copies) the whole sample once. Every contender makes
// one call before its timed loop, so that no contender's loop holds the first call of
// the process: a peer's buffer is written then for the first time, and a string result
// of that size takes memory that the allocator must first get from the system (a block
// of 32 MB or more is mapped afresh on every call, and that stays in the loop).
template <typename Call>
void Measure(benchmark::State& state, const Sample& sample, Call call) {
    call();
    {
        const FaultCount faults(state);
        for (auto _ : state) call();
    }
    state.counters["MB/s"] = benchmark::Counter(static_cast<double>(sample.utf8.size()) / 1e6,
                                                benchmark::Counter::kIsIterationInvariantRate);
}

void TesseraUtf8ToUtf16(benchmark::State& state, const Sample& sample) {
    Measure(state, sample, [&] {
        const std::wstring result = Varn::Transcoder::UTF8ToUTF16(sample.utf8);
        benchmark::DoNotOptimize(result.data());
    });
}

void CopyUtf16(benchmark::State& state, const Sample& sample) {
    Measure(state, sample, [&] {
        const std::wstring copy(sample.wide);
        benchmark::DoNotOptimize(copy.data());
    });
}

// A result of the sample's length made as Tessera makes it, converting nothing: one that
// fits a chunk is made at its size; a longer one is reserved as for an exact estimate and
// appended to a chunk at a time.
void FillUtf16(benchmark::State& state, const Sample& sample) {
    constexpr std::size_t kChunk = tessera::unicode::kChunkBytes / sizeof(wchar_t);
    const std::size_t length = sample.wide.size();
    const std::wstring chunk(kChunk, L'a');
    Measure(state, sample, [&] {
        std::wstring result;
        if (length <= kChunk) {
            result.assign(chunk.data(), length);
        } else {
            tessera::unicode::ReserveEstimatedResult(result, length);
            while (result.size() < length) result.append(chunk.data(), std::min(kChunk, length - result.size()));
        }
        benchmark::DoNotOptimize(result.data());
    });
}

void TesseraUtf16ToUtf8(benchmark::State& state, const Sample& sample) {
    Measure(state, sample, [&] {
        const std::string result = Varn::Transcoder::UTF16ToUTF8(sample.wide);
        benchmark::DoNotOptimize(result.data());
    });
}

void IcuUtf8ToUtf16(benchmark::State& state, const Sample& sample) {
    std::vector<UChar> out(sample.utf8.size() + 1);
    Measure(state, sample, [&] {
        UErrorCode error = U_ZERO_ERROR;
        int32_t length = 0;
        u_strFromUTF8(out.data(), static_cast<int32_t>(out.size()), &length, sample.utf8.data(),
                      static_cast<int32_t>(sample.utf8.size()), &error);
        if (U_FAILURE(error)) state.SkipWithError("u_strFromUTF8 failed");
        benchmark::DoNotOptimize(out.data());
        benchmark::DoNotOptimize(length);
    });
}

void IcuUtf16ToUtf8(benchmark::State& state, const Sample& sample) {
    std::vector<char> out(sample.utf8.size() + 1);
    const auto* source = reinterpret_cast<const UChar*>(sample.utf16.data());
    Measure(state, sample, [&] {
        UErrorCode error = U_ZERO_ERROR;
        int32_t length = 0;
        u_strToUTF8(out.data(), static_cast<int32_t>(out.size()), &length, source,
                    static_cast<int32_t>(sample.utf16.size()), &error);
        if (U_FAILURE(error)) state.SkipWithError("u_strToUTF8 failed");
        benchmark::DoNotOptimize(out.data());
        benchmark::DoNotOptimize(length);
    });
}

// Converts all of `in` with a descriptor opened once; returns the bytes written.
std::size_t IconvAll(iconv_t descriptor, const char* in, std::size_t size, char* out, std::size_t capacity) {
    iconv(descriptor, nullptr, nullptr, nullptr, nullptr);
    auto* source = const_cast<char*>(in);
    char* target = out;
    std::size_t left = capacity;
    if (iconv(descriptor, &source, &size, &target, &left) == static_cast<std::size_t>(-1)) return 0;
    return capacity - left;
}

void IconvConvert(benchmark::State& state, const Sample& sample, const char* to, const char* from, const char* in,
                  std::size_t size, std::size_t capacity) {
    iconv_t descriptor = iconv_open(to, from);
    std::vector<char> out(capacity);
    Measure(state, sample, [&] {
        const std::size_t written = IconvAll(descriptor, in, size, out.data(), out.size());
        if (written == 0) state.SkipWithError("iconv failed");
        benchmark::DoNotOptimize(out.data());
    });
    iconv_close(descriptor);
}

void IconvUtf8ToUtf16(benchmark::State& state, const Sample& sample) {
    IconvConvert(state, sample, "UTF-16LE", "UTF-8", sample.utf8.data(), sample.utf8.size(), 2 * sample.utf8.size());
}

void IconvUtf16ToUtf8(benchmark::State& state, const Sample& sample) {
    IconvConvert(state, sample, "UTF-8", "UTF-16LE", reinterpret_cast<const char*>(sample.utf16.data()),
                 2 * sample.utf16.size(), sample.utf8.size());
}

void MemcpyUtf8(benchmark::State& state, const Sample& sample) {
    std::vector<char> out(sample.utf8.size());
    Measure(state, sample, [&] {
        std::memcpy(out.data(), sample.utf8.data(), sample.utf8.size());
        benchmark::DoNotOptimize(out.data());
        benchmark::ClobberMemory();
    });
}

using BenchmarkFunction = void (*)(benchmark::State&, const Sample&);

struct Contender {
    const char* name;
    BenchmarkFunction function;
};

constexpr Contender kUtf8ToUtf16[] = {
    {"tessera", TesseraUtf8ToUtf16}, {"icu", IcuUtf8ToUtf16}, {"iconv", IconvUtf8ToUtf16},
    {"memcpy", MemcpyUtf8},          {"copy", CopyUtf16},     {"fill", FillUtf16}};
constexpr Contender kUtf16ToUtf8[] = {
    {"tessera", TesseraUtf16ToUtf8}, {"icu", IcuUtf16ToUtf8}, {"iconv", IconvUtf16ToUtf8}, {"memcpy", MemcpyUtf8}};

Sample MakeSample(const std::string& name, std::string utf8) {
    Sample sample;
    sample.name = name;
    sample.utf8 = std::move(utf8);
    sample.wide = tessera::unicode::Utf8ToUtf16(sample.utf8.data(), sample.utf8.size());
    sample.utf16.assign(sample.wide.begin(), sample.wide.end());
    return sample;
}

}  // namespace

int main(int argc, char** argv) {
    static std::vector<Sample> g_samples;  // outlives the benchmark run
    const std::vector<TextLine> texts = ReadTextTable();
    if (texts.empty()) {
        std::cerr << "no texts in " << TESSERA_BENCH_TEXTS << "\n";
        return 1;
    }
    for (const TextLine& text : texts) {
        const std::string file = "text/" + text.name + ".utf8.txt";
        const std::string utf8 = tessera_test::ReadDataFile(file);
        if (utf8.empty()) {
            std::cerr << "cannot read " << tessera_test::DataDir() << "/" << file << "\n";
            return 1;
        }
        g_samples.push_back(MakeSample(text.name, utf8));
        for (const std::string& slice : text.slices) {
            g_samples.push_back(MakeSample(text.name + "." + slice, Slice(utf8, SliceBytes(slice))));
        }
    }
    for (const Sample& sample : g_samples) {
        for (const Contender& contender : kUtf8ToUtf16) {
            benchmark::RegisterBenchmark(("UTF8ToUTF16/" + sample.name + "/" + contender.name).c_str(),
                                         contender.function, sample);
        }
        for (const Contender& contender : kUtf16ToUtf8) {
            benchmark::RegisterBenchmark(("UTF16ToUTF8/" + sample.name + "/" + contender.name).c_str(),
                                         contender.function, sample);
        }
    }
    benchmark::AddCustomContext("tessera_kernel", tessera::unicode::g_kernel->name);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
