// Parse every URL of a corpus and write it back out: Tessera (URI text assignment and
// ToString(false)), uriparser (uriParseSingleUriA + uriToStringA) and curl's URL API
// (curl_url_set + curl_url_get of CURLUPART_URL), side by side in one run.
#include <sstream>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>
#include <curl/curl.h>
#include <uriparser/Uri.h>

#include <tessera/URI.h>

#include "test_data.h"

namespace {

const std::vector<std::string>& Corpus(int which) {
    static const std::vector<std::string> kKasztp = tessera_test::ReadUrlCorpus("kasztp.txt");
    static const std::vector<std::string> kIsaacs = tessera_test::ReadUrlCorpus("isaacs_files.txt");
    return which == 0 ? kKasztp : kIsaacs;
}

void Finish(benchmark::State& state, std::size_t urls, std::size_t bytes, std::size_t failed) {
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * urls));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes));
    state.counters["ns/URL"] =
        benchmark::Counter(static_cast<double>(state.iterations() * urls),
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert, benchmark::Counter::kIs1000);
    state.counters["rejected"] = static_cast<double>(failed);
    state.SetLabel(state.range(0) == 0 ? "kasztp.txt" : "isaacs_files.txt");
}

void BM_Tessera(benchmark::State& state) {
    const std::vector<std::string>& urls = Corpus(static_cast<int>(state.range(0)));
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
    const std::vector<std::string>& urls = Corpus(static_cast<int>(state.range(0)));
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
    const std::vector<std::string>& urls = Corpus(static_cast<int>(state.range(0)));
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

BENCHMARK(BM_Tessera)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Uriparser)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Curl)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
