// uri_query: a query as stored (the input after its second line) read as a map; a key
// (first line) and a value (second line) set into it.
//
// Properties:
// - GetQueryByMap replaces the map's content; an empty query gives an empty map.
// - Writing a map with SetQueryByMap and reading it back with GetQueryByMap gives the
//   same map (QueryEscape escapes '&', '=', '+' and '%', so every key and value comes
//   back whole); writing changes no flag and no other component.
// - GetQueryValue finds every key of the map with its value, in narrow and in wide
//   (UTF-16) form; for a missing key it returns false and leaves the target untouched.
// - After SetQueryValue(key, value) the key reads back as value and every other key of
//   the former map keeps its value.
#include <map>
#include <string>

#include <tessera/Transcoder.h>
#include <tessera/URI.h>

#include "check.h"
#include "uri_text.h"

namespace tessera::fuzz {

namespace {

constexpr const char* kCheckName = "uri_query";
using Varn::URI;
using QueryMap = std::map<std::string, std::string>;

std::string Describe(const QueryMap& map) {
    std::string out;
    for (const auto& entry : map) out += Quote(entry.first) + "=" + Quote(entry.second) + " ";
    return out;
}

void CheckLookups(const URI& uri, const QueryMap& map, const std::string& query) {
    for (const auto& entry : map) {
        std::string narrow;
        std::wstring wide;
        TESSERA_FUZZ_REQUIRE(uri.GetQueryValue(entry.first, narrow) && narrow == entry.second,
                             Quote(query) + " key " + Quote(entry.first));
        TESSERA_FUZZ_REQUIRE(uri.GetQueryValue(entry.first, wide) && wide == Varn::Transcoder::asUTF16(entry.second),
                             Quote(query) + " key " + Quote(entry.first));
    }
    std::string missing = "untouched";
    const std::string absent = map.empty() ? std::string("k") : map.rbegin()->first + "\x01";
    TESSERA_FUZZ_REQUIRE(!uri.GetQueryValue(absent, missing) && missing == "untouched", Quote(query));
}

}  // namespace

void CheckUriQuery(const std::uint8_t* data, std::size_t size) {
    const std::vector<std::string> fields = SplitFields(data, size, 3);
    const std::string& key = fields[0];
    const std::string& value = fields[1];
    const std::string& query = fields[2];

    URI uri("http://user@host:81/path#fragment");
    uri.SetQuery(query, false);
    // No key read from the query can be longer than the query: this one must go.
    const std::string stale(query.size() + 1, 'x');
    QueryMap map{{stale, "entry"}};
    uri.GetQueryByMap(map);
    TESSERA_FUZZ_REQUIRE(map.count(stale) == 0 && (!query.empty() || map.empty()), Quote(query));
    CheckLookups(uri, map, query);

    URI rewritten(uri);
    rewritten.SetQueryByMap(map);
    QueryMap back;
    rewritten.GetQueryByMap(back);
    TESSERA_FUZZ_REQUIRE(back == map, Quote(query) + " -> " + Describe(back));
    URI expected(uri);
    expected.SetQuery(rewritten.GetQuery(false), false);
    TESSERA_FUZZ_REQUIRE(Snapshot(rewritten) == Snapshot(expected), Quote(query));

    URI updated(uri);
    updated.SetQueryValue(key, value);
    QueryMap after;
    updated.GetQueryByMap(after);
    QueryMap wanted = map;
    wanted[key] = value;
    TESSERA_FUZZ_REQUIRE(after == wanted, Quote(query) + " set " + Quote(key) + " -> " + Describe(after));
    CheckLookups(updated, after, query);
}

}  // namespace tessera::fuzz
