// Reference resolution and URI relations: Tessera against uriparser and curl's URL API,
// in the same run on the same inputs.
//
//   Resolve/*   every reference of the RFC 3986 examples (data/rfc3986_examples.tsv)
//               against the base http://a/b/c/d;p?q: reference text in, result text out,
//               base parsed once.
//   ResolveCorpus/*  15,000 references made from the corpus data/urls/kasztp.txt, three for
//               each of its first 5,000 URLs, against that URL (parsed once): the next
//               URL's file name after "../" with its query, the next URL's path and query,
//               and "./" with the URL's own file name and a fragment.
//   Relation/*  the relation (none, child, same, parent) of URL pairs from the corpus
//               data/urls/kasztp.txt, both URLs parsed beforehand: each URL with the next
//               one and with its own parent directory. uriparser and curl have no such
//               operation; their rows answer the same question from their parsed forms
//               (same scheme, host and port, default ports, IPv6 hosts by address with
//               uriparser, path segments unescaped).
//   RelationOfText/*  the same, from the texts of the pairs: GetRelationByString, and
//               each peer parsing both texts before comparing.
//   Relative/*  the same pairs, the first made relative to the second (uriRemoveBaseUriA).
//   CommonParent/*  Tessera alone (neither peer has the operation): GetCommonParent of the
//               same parsed pairs; and of two URIs whose paths of 10 KB, 100 KB and 300 KB
//               share all but their last segments (time per byte of path: it stays flat
//               when the work grows linearly with the path).
#include <algorithm>
#include <cstring>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>
#include <curl/curl.h>
#include <uriparser/Uri.h>

#include <tessera/URI.h>

#include "test_data.h"
#include "uri/path_segment_views.h"

namespace {

using Varn::URI;

const char kBase[] = "http://a/b/c/d;p?q";

std::vector<std::string> RfcReferences() {
    std::vector<std::string> references;
    std::istringstream lines(tessera_test::ReadDataFile("rfc3986_examples.tsv"));
    std::string line;
    std::getline(lines, line);  // column names
    while (std::getline(lines, line)) {
        if (line.find('\t') != std::string::npos) references.push_back(line.substr(0, line.find('\t')));
    }
    return references;
}

// The first pairs of corpus URLs: each with the next one and with its parent directory.
std::vector<std::pair<std::string, std::string>> CorpusPairs() {
    std::vector<std::string> urls = tessera_test::ReadUrlCorpus("kasztp.txt");
    if (urls.size() > 5000) urls.resize(5000);
    std::vector<std::pair<std::string, std::string>> pairs;
    for (std::size_t i = 0; i + 1 < urls.size(); ++i) {
        pairs.emplace_back(urls[i], urls[i + 1]);
        const std::size_t slash = urls[i].rfind('/', urls[i].size() - 2);
        if (slash > urls[i].find("//") + 1) pairs.emplace_back(urls[i], urls[i].substr(0, slash + 1));
    }
    return pairs;
}

// The last segment of a URL's path (without query or fragment), its path with query, and
// its query with '?' ("" when none).
struct UrlPieces {
    std::string fileName, pathAndQuery, query;
};

UrlPieces PiecesOf(const std::string& url) {
    UrlPieces pieces;
    const std::size_t hostStart = url.find("//") == std::string::npos ? 0 : url.find("//") + 2;
    const std::size_t pathStart = std::min(url.find('/', hostStart), url.size());
    const std::size_t end = std::min(url.find_first_of("?#", pathStart), url.size());
    const std::size_t queryEnd = std::min(url.find('#', end), url.size());
    pieces.pathAndQuery = url.substr(pathStart, queryEnd - pathStart);
    pieces.query = url.substr(end, queryEnd - end);
    const std::size_t lastSlash = url.rfind('/', end == 0 ? 0 : end - 1);
    pieces.fileName =
        lastSlash == std::string::npos || lastSlash < pathStart ? "" : url.substr(lastSlash + 1, end - lastSlash - 1);
    return pieces;
}

struct CorpusReference {
    std::string reference;
    std::size_t base;  // index into CorpusBases()
};

const std::vector<std::string>& CorpusBases() {
    static const std::vector<std::string> kBases = [] {
        std::vector<std::string> urls = tessera_test::ReadUrlCorpus("kasztp.txt");
        urls.resize(std::min<std::size_t>(urls.size(), 5001));
        return urls;
    }();
    return kBases;
}

const std::vector<CorpusReference>& CorpusReferences() {
    static const std::vector<CorpusReference> kReferences = [] {
        std::vector<CorpusReference> references;
        const std::vector<std::string>& urls = CorpusBases();
        for (std::size_t i = 0; i + 1 < urls.size(); ++i) {
            const UrlPieces own = PiecesOf(urls[i]), next = PiecesOf(urls[i + 1]);
            references.push_back({"../" + next.fileName + next.query, i});
            references.push_back({next.pathAndQuery, i});
            references.push_back({"./" + own.fileName + "#top", i});
        }
        return references;
    }();
    return kReferences;
}

const std::vector<std::string>& References() {
    static const std::vector<std::string> kReferences = RfcReferences();
    return kReferences;
}

const std::vector<std::pair<std::string, std::string>>& Pairs() {
    static const std::vector<std::pair<std::string, std::string>> kPairs = CorpusPairs();
    return kPairs;
}

void CountItems(benchmark::State& state, std::size_t perIteration) {
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * perIteration));
}

// How many pairs came out child, same and parent (the rest: none), as counters.
void CountRelations(benchmark::State& state, const std::vector<int>& relations) {
    int counts[4] = {};
    for (int r : relations) ++counts[r & 3];
    state.counters["child"] = counts[1];
    state.counters["same"] = counts[2];
    state.counters["parent"] = counts[3];
}

// ---- uriparser helpers ----------------------------------------------------------------

struct ParsedUri {
    UriUriA uri{};
    bool ok = false;
    explicit ParsedUri(const std::string& text) {
        const char* error = nullptr;
        ok = uriParseSingleUriA(&uri, text.c_str(), &error) == URI_SUCCESS;
    }
    ~ParsedUri() { uriFreeUriMembersA(&uri); }
    ParsedUri(const ParsedUri&) = delete;
    ParsedUri& operator=(const ParsedUri&) = delete;
};

std::string_view RangeText(const UriTextRangeA& range) {
    return range.first ? std::string_view(range.first, static_cast<std::size_t>(range.afterLast - range.first))
                       : std::string_view();
}

std::string UriparserText(const UriUriA& uri) {
    int size = 0;
    uriToStringCharsRequiredA(&uri, &size);
    std::string out(static_cast<std::size_t>(size) + 1, '\0');
    uriToStringA(out.data(), &uri, size + 1, nullptr);
    out.resize(static_cast<std::size_t>(size));
    return out;
}

// Both URIs of every corpus pair, parsed by uriparser: first, second, first, second, ...
std::vector<std::unique_ptr<ParsedUri>> UriparserPairs() {
    std::vector<std::unique_ptr<ParsedUri>> uris;
    for (const auto& pair : Pairs()) {
        uris.push_back(std::make_unique<ParsedUri>(pair.first));
        uris.push_back(std::make_unique<ParsedUri>(pair.second));
    }
    return uris;
}

// Relation from two path segment lists: 0 none, 1 child, 2 same, 3 parent.
template <typename Next>
int RelationOfSegments(Next nextA, Next nextB) {
    std::string_view a, b;
    for (;;) {
        const bool moreA = nextA(a), moreB = nextB(b);
        if (moreA && moreB) {
            if (a != b) return 0;
        } else {
            return moreA ? 1 : moreB ? 3 : 2;
        }
    }
}

// A cursor over the non-empty segments of a uriparser path list, unescaped.
auto UriparserSegments(const UriPathSegmentA* segment) {
    return [segment, decoded = std::string()](std::string_view& out) mutable {
        for (; segment; segment = segment->next) {
            out = RangeText(segment->text);
            if (out.empty()) continue;
            segment = segment->next;
            if (out.find('%') != std::string_view::npos) {
                decoded.assign(out);
                const char* end = uriUnescapeInPlaceExA(decoded.data(), URI_FALSE, URI_BR_DONT_TOUCH);
                out = std::string_view(decoded.data(), static_cast<std::size_t>(end - decoded.data()));
            }
            return true;
        }
        return false;
    };
}

// Whether two hosts are the same: IPv6 addresses by their 16 bytes, others as written.
bool SameHost(const UriUriA& a, const UriUriA& b) {
    if (a.hostData.ip6 && b.hostData.ip6) return std::memcmp(a.hostData.ip6->data, b.hostData.ip6->data, 16) == 0;
    return RangeText(a.hostText) == RangeText(b.hostText);
}

std::string_view DefaultPortOf(std::string_view scheme) {
    return scheme == "http" ? "80" : scheme == "ftp" ? "21" : scheme == "sftp" ? "22" : "";
}

int UriparserRelation(const UriUriA& a, const UriUriA& b) {
    const std::string_view schemeA = RangeText(a.scheme), schemeB = RangeText(b.scheme);
    if (schemeA != schemeB || !SameHost(a, b)) return 0;
    std::string_view portA = RangeText(a.portText), portB = RangeText(b.portText);
    if (portA.empty()) portA = DefaultPortOf(schemeA);
    if (portB.empty()) portB = DefaultPortOf(schemeB);
    if (portA != portB) return 0;
    return RelationOfSegments(UriparserSegments(a.pathHead), UriparserSegments(b.pathHead));
}

// ---- curl helpers ---------------------------------------------------------------------

using CurlUrl = std::unique_ptr<CURLU, decltype(&curl_url_cleanup)>;

CurlUrl CurlParse(const std::string& text) {
    CurlUrl url(curl_url(), &curl_url_cleanup);
    curl_url_set(url.get(), CURLUPART_URL, text.c_str(), CURLU_NON_SUPPORT_SCHEME);
    return url;
}

// A part of a curl URL, owned; empty when absent.
struct CurlPart {
    char* text = nullptr;
    CurlPart(CURLU* url, CURLUPart part, unsigned flags = 0) { curl_url_get(url, part, &text, flags); }
    ~CurlPart() { curl_free(text); }
    CurlPart(const CurlPart&) = delete;
    CurlPart& operator=(const CurlPart&) = delete;
    std::string_view View() const { return text ? std::string_view(text) : std::string_view(); }
};

auto TextSegments(std::string_view path) {
    return [cursor = tessera::uri::SegmentCursor(path)](std::string_view& out) mutable { return cursor.Next(out); };
}

int CurlRelation(CURLU* a, CURLU* b) {
    const CurlPart schemeA(a, CURLUPART_SCHEME), schemeB(b, CURLUPART_SCHEME);
    const CurlPart hostA(a, CURLUPART_HOST), hostB(b, CURLUPART_HOST);
    if (schemeA.View() != schemeB.View() || hostA.View() != hostB.View()) return 0;
    const CurlPart portA(a, CURLUPART_PORT, CURLU_DEFAULT_PORT), portB(b, CURLUPART_PORT, CURLU_DEFAULT_PORT);
    if (portA.View() != portB.View()) return 0;
    const CurlPart pathA(a, CURLUPART_PATH, CURLU_URLDECODE), pathB(b, CURLUPART_PATH, CURLU_URLDECODE);
    return RelationOfSegments(TextSegments(pathA.View()), TextSegments(pathB.View()));
}

// ---- Resolve ---------------------------------------------------------------------------

void Resolve_Tessera(benchmark::State& state) {
    const URI base(kBase);
    for (auto _ : state) {
        for (const std::string& text : References()) {
            URI reference(text);
            reference.MakeAbsoluteURI(base);
            benchmark::DoNotOptimize(reference.ToString(false));
        }
    }
    CountItems(state, References().size());
}

void Resolve_Uriparser(benchmark::State& state) {
    const ParsedUri base(kBase);
    for (auto _ : state) {
        for (const std::string& text : References()) {
            ParsedUri reference(text);
            UriUriA result{};
            if (uriAddBaseUriA(&result, &reference.uri, &base.uri) == URI_SUCCESS) {
                benchmark::DoNotOptimize(UriparserText(result));
            }
            uriFreeUriMembersA(&result);
        }
    }
    CountItems(state, References().size());
}

void Resolve_Curl(benchmark::State& state) {
    const CurlUrl base = CurlParse(kBase);
    for (auto _ : state) {
        for (const std::string& text : References()) {
            CurlUrl url(curl_url_dup(base.get()), &curl_url_cleanup);
            curl_url_set(url.get(), CURLUPART_URL, text.c_str(), CURLU_NON_SUPPORT_SCHEME);
            const CurlPart result(url.get(), CURLUPART_URL);
            benchmark::DoNotOptimize(result.text);
        }
    }
    CountItems(state, References().size());
}

void ResolveCorpus_Tessera(benchmark::State& state) {
    std::vector<URI> bases;
    for (const std::string& url : CorpusBases()) bases.emplace_back(url);
    for (auto _ : state) {
        for (const CorpusReference& c : CorpusReferences()) {
            URI reference(c.reference);
            reference.MakeAbsoluteURI(bases[c.base]);
            benchmark::DoNotOptimize(reference.ToString(false));
        }
    }
    CountItems(state, CorpusReferences().size());
}

void ResolveCorpus_Uriparser(benchmark::State& state) {
    std::vector<std::unique_ptr<ParsedUri>> bases;
    for (const std::string& url : CorpusBases()) bases.push_back(std::make_unique<ParsedUri>(url));
    for (auto _ : state) {
        for (const CorpusReference& c : CorpusReferences()) {
            ParsedUri reference(c.reference);
            UriUriA result{};
            if (uriAddBaseUriA(&result, &reference.uri, &bases[c.base]->uri) == URI_SUCCESS) {
                benchmark::DoNotOptimize(UriparserText(result));
            }
            uriFreeUriMembersA(&result);
        }
    }
    CountItems(state, CorpusReferences().size());
}

void ResolveCorpus_Curl(benchmark::State& state) {
    std::vector<CurlUrl> bases;
    for (const std::string& url : CorpusBases()) bases.push_back(CurlParse(url));
    for (auto _ : state) {
        for (const CorpusReference& c : CorpusReferences()) {
            CurlUrl url(curl_url_dup(bases[c.base].get()), &curl_url_cleanup);
            curl_url_set(url.get(), CURLUPART_URL, c.reference.c_str(), CURLU_NON_SUPPORT_SCHEME);
            const CurlPart result(url.get(), CURLUPART_URL);
            benchmark::DoNotOptimize(result.text);
        }
    }
    CountItems(state, CorpusReferences().size());
}

// ---- Relation --------------------------------------------------------------------------

void Relation_Tessera(benchmark::State& state) {
    std::vector<std::pair<URI, URI>> uris;
    for (const auto& pair : Pairs()) uris.emplace_back(URI(pair.first), URI(pair.second));
    for (auto _ : state) {
        for (const auto& pair : uris) benchmark::DoNotOptimize(pair.first.GetRelation(pair.second, true));
    }
    CountItems(state, uris.size());
    std::vector<int> relations;
    for (const auto& pair : uris) relations.push_back(pair.first.GetRelation(pair.second, true));
    CountRelations(state, relations);
}

void Relation_Uriparser(benchmark::State& state) {
    const std::vector<std::unique_ptr<ParsedUri>> uris = UriparserPairs();
    for (auto _ : state) {
        for (std::size_t i = 0; i + 1 < uris.size(); i += 2) {
            benchmark::DoNotOptimize(UriparserRelation(uris[i]->uri, uris[i + 1]->uri));
        }
    }
    CountItems(state, uris.size() / 2);
    std::vector<int> relations;
    for (std::size_t i = 0; i + 1 < uris.size(); i += 2)
        relations.push_back(UriparserRelation(uris[i]->uri, uris[i + 1]->uri));
    CountRelations(state, relations);
}

void Relation_Curl(benchmark::State& state) {
    std::vector<CurlUrl> urls;
    for (const auto& pair : Pairs()) {
        urls.push_back(CurlParse(pair.first));
        urls.push_back(CurlParse(pair.second));
    }
    for (auto _ : state) {
        for (std::size_t i = 0; i + 1 < urls.size(); i += 2) {
            benchmark::DoNotOptimize(CurlRelation(urls[i].get(), urls[i + 1].get()));
        }
    }
    CountItems(state, urls.size() / 2);
    std::vector<int> relations;
    for (std::size_t i = 0; i + 1 < urls.size(); i += 2)
        relations.push_back(CurlRelation(urls[i].get(), urls[i + 1].get()));
    CountRelations(state, relations);
}

// ---- RelationOfText -------------------------------------------------------------------

void RelationOfText_Tessera(benchmark::State& state) {
    for (auto _ : state) {
        for (const auto& pair : Pairs()) benchmark::DoNotOptimize(URI::GetRelationByString(pair.first, pair.second));
    }
    CountItems(state, Pairs().size());
}

void RelationOfText_Uriparser(benchmark::State& state) {
    for (auto _ : state) {
        for (const auto& pair : Pairs()) {
            const ParsedUri a(pair.first), b(pair.second);
            benchmark::DoNotOptimize(UriparserRelation(a.uri, b.uri));
        }
    }
    CountItems(state, Pairs().size());
}

void RelationOfText_Curl(benchmark::State& state) {
    for (auto _ : state) {
        for (const auto& pair : Pairs()) {
            const CurlUrl a = CurlParse(pair.first), b = CurlParse(pair.second);
            benchmark::DoNotOptimize(CurlRelation(a.get(), b.get()));
        }
    }
    CountItems(state, Pairs().size());
}

// ---- Relative --------------------------------------------------------------------------

void Relative_Tessera(benchmark::State& state) {
    std::vector<std::pair<URI, URI>> uris;
    for (const auto& pair : Pairs()) uris.emplace_back(URI(pair.first), URI(pair.second));
    for (auto _ : state) {
        for (const auto& pair : uris) {
            URI target(pair.first);
            target.MakeRelativeURI(pair.second, true);
            benchmark::DoNotOptimize(target.ToString(false));
        }
    }
    CountItems(state, uris.size());
}

void Relative_Uriparser(benchmark::State& state) {
    const std::vector<std::unique_ptr<ParsedUri>> uris = UriparserPairs();
    for (auto _ : state) {
        for (std::size_t i = 0; i + 1 < uris.size(); i += 2) {
            UriUriA result{};
            if (uriRemoveBaseUriA(&result, &uris[i]->uri, &uris[i + 1]->uri, URI_FALSE) == URI_SUCCESS) {
                benchmark::DoNotOptimize(UriparserText(result));
            }
            uriFreeUriMembersA(&result);
        }
    }
    CountItems(state, uris.size() / 2);
}

// ---- CommonParent ----------------------------------------------------------------------

void CommonParent_Tessera(benchmark::State& state) {
    std::vector<std::pair<URI, URI>> uris;
    for (const auto& pair : Pairs()) uris.emplace_back(URI(pair.first), URI(pair.second));
    for (auto _ : state) {
        for (const auto& pair : uris) benchmark::DoNotOptimize(pair.first.GetCommonParent(pair.second, true));
    }
    CountItems(state, uris.size());
}

// Two URIs whose paths of about `size` bytes share all but their last two segments.
std::pair<URI, URI> DeepPair(std::size_t size) {
    std::string path;
    for (int i = 0; path.size() < size; ++i) path += "/dir" + std::to_string(i % 100);
    return {URI("http://h" + path + "/a/b.html"), URI("http://h" + path + "/c/d.html")};
}

// Time per byte of path.
void CommonParentDeep_Tessera(benchmark::State& state) {
    const std::pair<URI, URI> pair = DeepPair(static_cast<std::size_t>(state.range(0)));
    for (auto _ : state) benchmark::DoNotOptimize(pair.first.GetCommonParent(pair.second, true));
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * pair.first.GetPath().size()));
}

BENCHMARK(Resolve_Tessera);
BENCHMARK(Resolve_Uriparser);
BENCHMARK(Resolve_Curl);
BENCHMARK(ResolveCorpus_Tessera);
BENCHMARK(ResolveCorpus_Uriparser);
BENCHMARK(ResolveCorpus_Curl);
BENCHMARK(Relation_Tessera);
BENCHMARK(Relation_Uriparser);
BENCHMARK(Relation_Curl);
BENCHMARK(RelationOfText_Tessera);
BENCHMARK(RelationOfText_Uriparser);
BENCHMARK(RelationOfText_Curl);
BENCHMARK(Relative_Tessera);
BENCHMARK(Relative_Uriparser);
BENCHMARK(CommonParent_Tessera);
BENCHMARK(CommonParentDeep_Tessera)->Arg(10 * 1024)->Arg(100 * 1024)->Arg(300 * 1024)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
