// Parse every URL of a corpus and write it back out: Tessera (a new URI per URL, as
// applications do, and one reused URI), uriparser (uriParseSingleUriA + uriToStringA) and
// curl's URL API (curl_url_set + curl_url_get of CURLUPART_URL), side by side in one run;
// the same on made-up URLs of 50 bytes, 1 KB and 64 KB; and the memory that a parsed
// Tessera URI holds.
#include <malloc.h>

#include <cstdlib>
#include <new>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>
#include <curl/curl.h>
#include <uriparser/Uri.h>

#include <tessera/URI.h>

#include "test_data.h"

// ---- Counting the memory that the program holds ---------------------------------------
// Every allocation of the program goes through here; while g_counting is set, the bytes
// of the blocks allocated and freed (as malloc sized them) are added up.

namespace {
bool g_counting = false;
long long g_heldBytes = 0;
long long g_peakBytes = 0;

void* Allocate(std::size_t size) {
    void* block = std::malloc(size == 0 ? 1 : size);
    if (block == nullptr) throw std::bad_alloc();
    if (g_counting) {
        g_heldBytes += static_cast<long long>(malloc_usable_size(block));
        if (g_heldBytes > g_peakBytes) g_peakBytes = g_heldBytes;
    }
    return block;
}

void Free(void* block) {
    if (block != nullptr && g_counting) g_heldBytes -= static_cast<long long>(malloc_usable_size(block));
    std::free(block);
}
}  // namespace

void* operator new(std::size_t size) { return Allocate(size); }
void* operator new[](std::size_t size) { return Allocate(size); }
void operator delete(void* block) noexcept { Free(block); }
void operator delete[](void* block) noexcept { Free(block); }
void operator delete(void* block, std::size_t) noexcept { Free(block); }
void operator delete[](void* block, std::size_t) noexcept { Free(block); }

namespace {

enum Input { kKasztp, kIsaacs, k50Bytes, k1KB, k64KB };

// A made-up web URL of about `size` bytes: host, a path of short segments, a query.
std::string MadeUpUrl(std::size_t size, int seed) {
    std::string url = "https://www.example" + std::to_string(seed % 97) + ".org";
    const std::string query = "?id=" + std::to_string(seed) + "&lang=en";
    for (int i = 0; url.size() + query.size() < size; ++i) url += "/segment" + std::to_string((seed + i) % 1000);
    return url + query;
}

std::vector<std::string> MadeUpUrls(std::size_t size) {
    std::vector<std::string> urls;
    const std::size_t count = size >= 65536 ? 64 : size >= 1024 ? 2000 : 20000;
    for (std::size_t i = 0; i < count; ++i) urls.push_back(MadeUpUrl(size, static_cast<int>(i)));
    return urls;
}

const std::vector<std::string>& Urls(int input) {
    static const std::vector<std::string> kInputs[] = {
        tessera_test::ReadUrlCorpus("kasztp.txt"),
        tessera_test::ReadUrlCorpus("isaacs_files.txt"),
        MadeUpUrls(50),
        MadeUpUrls(1024),
        MadeUpUrls(65536),
    };
    return kInputs[input];
}

const char* InputName(int input) {
    static const char* const kNames[] = {"kasztp.txt", "isaacs_files.txt", "50 B URLs", "1 KB URLs", "64 KB URLs"};
    return kNames[input];
}

void Finish(benchmark::State& state, std::size_t urls, std::size_t bytes, std::size_t failed) {
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * urls));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes));
    state.counters["ns/URL"] =
        benchmark::Counter(static_cast<double>(state.iterations() * urls),
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert, benchmark::Counter::kIs1000);
    state.counters["rejected"] = static_cast<double>(failed);
    state.SetLabel(InputName(static_cast<int>(state.range(0))));
}

// A new URI for each URL, as an application makes one.
void BM_Tessera(benchmark::State& state) {
    const std::vector<std::string>& urls = Urls(static_cast<int>(state.range(0)));
    std::size_t bytes = 0, failed = 0;
    for (auto _ : state) {
        bytes = failed = 0;
        for (const std::string& url : urls) {
            const Varn::URI uri(url);
            failed += !uri.IsValidURI();
            Varn::URI::StringProxy out = uri.ToString(false);
            benchmark::DoNotOptimize(out.c_str());
            bytes += url.size();
        }
    }
    Finish(state, urls.size(), bytes, failed);
}

// One URI, assigned each URL in turn.
void BM_TesseraReused(benchmark::State& state) {
    const std::vector<std::string>& urls = Urls(static_cast<int>(state.range(0)));
    std::size_t bytes = 0, failed = 0;
    Varn::URI uri;
    for (auto _ : state) {
        bytes = failed = 0;
        for (const std::string& url : urls) {
            uri = url;
            failed += !uri.IsValidURI();
            Varn::URI::StringProxy out = uri.ToString(false);
            benchmark::DoNotOptimize(out.c_str());
            bytes += url.size();
        }
    }
    Finish(state, urls.size(), bytes, failed);
}

void BM_Uriparser(benchmark::State& state) {
    const std::vector<std::string>& urls = Urls(static_cast<int>(state.range(0)));
    std::size_t bytes = 0, failed = 0;
    std::string out;
    for (auto _ : state) {
        bytes = failed = 0;
        for (const std::string& url : urls) {
            UriUriA uri;
            const char* errorPos = nullptr;
            if (uriParseSingleUriA(&uri, url.c_str(), &errorPos) != URI_SUCCESS) {
                ++failed;
                continue;
            }
            int chars = 0;
            uriToStringCharsRequiredA(&uri, &chars);
            out.resize(static_cast<std::size_t>(chars) + 1);
            uriToStringA(&out[0], &uri, chars + 1, nullptr);
            benchmark::DoNotOptimize(out.data());
            uriFreeUriMembersA(&uri);
            bytes += url.size();
        }
    }
    Finish(state, urls.size(), bytes, failed);
}

void BM_Curl(benchmark::State& state) {
    const std::vector<std::string>& urls = Urls(static_cast<int>(state.range(0)));
    std::size_t bytes = 0, failed = 0;
    CURLU* handle = curl_url();
    for (auto _ : state) {
        bytes = failed = 0;
        for (const std::string& url : urls) {
            char* out = nullptr;
            if (curl_url_set(handle, CURLUPART_URL, url.c_str(), 0) != CURLUE_OK ||
                curl_url_get(handle, CURLUPART_URL, &out, 0) != CURLUE_OK) {
                ++failed;
                continue;
            }
            benchmark::DoNotOptimize(out);
            curl_free(out);
            bytes += url.size();
        }
    }
    curl_url_cleanup(handle);
    Finish(state, urls.size(), bytes, failed);
}

// The memory a parsed URI holds, for the corpus URLs under 200 bytes: the object and its
// heap blocks once parsed ("bytes/URI"), and the most held at once while parsing
// ("peak bytes/URI"), on average over the URLs. Time is not what this measures.
void BM_TesseraMemory(benchmark::State& state) {
    const std::vector<std::string>& urls = Urls(static_cast<int>(state.range(0)));
    long long held = 0, peak = 0, count = 0;
    for (auto _ : state) {
        held = peak = count = 0;
        for (const std::string& url : urls) {
            if (url.size() >= 200) continue;
            g_heldBytes = g_peakBytes = 0;
            g_counting = true;
            {
                const Varn::URI uri(url);
                benchmark::DoNotOptimize(&uri);
                held += g_heldBytes + static_cast<long long>(sizeof uri);
            }
            g_counting = false;
            peak += g_peakBytes + static_cast<long long>(sizeof(Varn::URI));
            ++count;
        }
    }
    state.counters["bytes/URI"] = static_cast<double>(held) / static_cast<double>(count);
    state.counters["peak bytes/URI"] = static_cast<double>(peak) / static_cast<double>(count);
    state.counters["sizeof"] = sizeof(Varn::URI);
    state.SetLabel(InputName(static_cast<int>(state.range(0))));
}

void Inputs(benchmark::internal::Benchmark* b) {
    for (int input : {kKasztp, kIsaacs, k50Bytes, k1KB, k64KB}) b->Arg(input);
    b->Unit(benchmark::kMillisecond);
}

BENCHMARK(BM_Tessera)->Apply(Inputs);
BENCHMARK(BM_TesseraReused)->Apply(Inputs);
BENCHMARK(BM_Uriparser)->Apply(Inputs);
BENCHMARK(BM_Curl)->Apply(Inputs);
BENCHMARK(BM_TesseraMemory)->Arg(kKasztp)->Arg(kIsaacs)->Iterations(1);

}  // namespace

BENCHMARK_MAIN();
