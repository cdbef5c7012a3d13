// Query strings as ordered maps of unescaped keys and values: key=value&key=value.
#include <tessera/URI.h>

#include <string>

namespace Varn {

namespace {

using QueryMap = std::map<std::string, std::string>;

/// Adds one "key=value" pair (escaped form) to map. Only the first '=' separates; a
/// pair without '=' is a key with an empty value. A later duplicate key wins.
void AddQueryPair(const std::string& pair, QueryMap& map) {
    const std::string::size_type equals = pair.find('=');
    std::string value;
    if (equals != std::string::npos) value = URI::QueryUnescape(pair.substr(equals + 1));
    map[URI::QueryUnescape(pair.substr(0, equals))] = std::move(value);
}

}  // namespace

void URI::GetQueryByMap(std::map<std::string, std::string>& target) const {
    // Filled apart and swapped in, so that a failed allocation leaves the caller's map as it was.
    QueryMap map;
    const StringProxy query = GetQuery(false);
    const std::string& rest = query;
    // Pairs run up to each '&'; a trailing '&' ends the text without a further pair,
    // while a leading or doubled '&' gives an empty pair (empty key and value).
    std::string::size_type start = 0;
    while (start < rest.size()) {
        std::string::size_type amp = rest.find('&', start);
        if (amp == std::string::npos) amp = rest.size();
        AddQueryPair(rest.substr(start, amp - start), map);
        start = amp + 1;
    }
    target.swap(map);
}

void URI::SetQueryByMap(const std::map<std::string, std::string>& map) {
    std::string query;
    for (const auto& entry : map) {
        if (!query.empty()) query += '&';
        query += QueryEscape(entry.first).str();
        query += '=';
        query += QueryEscape(entry.second).str();
    }
    SetQuery(query, false);
}

bool URI::GetQueryValue(StringProxy key, StringRefProxy value) const {
    QueryMap map;
    GetQueryByMap(map);
    const auto found = map.find(key);
    if (found == map.end()) return false;
    value = found->second;
    return true;
}

void URI::SetQueryValue(StringProxy key, StringProxy value) {
    QueryMap map;
    GetQueryByMap(map);
    map[key] = value;
    SetQueryByMap(map);
}

}  // namespace Varn
