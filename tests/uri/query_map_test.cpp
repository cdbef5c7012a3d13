// Query maps: splitting the stored query into pairs, writing it back, the escapes of a
// single key (the fuzz replay reads every key back, narrow and wide, and looks up missing ones).
#include <map>
#include <string>

#include <gtest/gtest.h>
#include <tessera/URI.h>

namespace {

using Varn::URI;
using QueryMap = std::map<std::string, std::string>;

TEST(QueryMap, SplitsAndWritesBack) {
    struct Case {
        const char* query;
        QueryMap pairs;
        const char* rewritten;
    };
    const Case cases[] = {
        {"b=2&a=1&b=0", {{"a", "1"}, {"b", "0"}}, "a=1&b=0"},  // sorted; the last duplicate wins
        {"x=1=2&k", {{"k", ""}, {"x", "1=2"}}, "k=&x=1%3D2"},  // the first '=' splits
        {"&&a=1&", {{"", ""}, {"a", "1"}}, "=&a=1"},           // empty pairs; trailing '&'
        {"a+b=%41%2b%C3%A9", {{"a b", "A+\xC3\xA9"}}, "a%20b=A%2B\xC3\xA9"},
        {"", {}, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.query);
        URI uri(std::string("http://h/p?") + c.query + "#f");
        QueryMap pairs{{"stale", "entry"}};
        uri.GetQueryByMap(pairs);
        EXPECT_EQ(pairs, c.pairs);
        uri.SetQueryByMap(pairs);
        EXPECT_EQ(uri.ToString(false), std::string("http://h/p") + (*c.rewritten ? "?" : "") + c.rewritten + "#f");
    }
}

TEST(QueryMap, SetQueryValueEscapesKeyAndValue) {
    URI uri("http://h/p?b=2&a=1#f");
    uri.SetQueryValue("a&b=c", "1+2 3/4?$:@");
    EXPECT_EQ(uri.GetQuery(false), "a=1&a%26b%3Dc=1%2B2%203%2F4%3F%24%3A%40&b=2");
}

}  // namespace
