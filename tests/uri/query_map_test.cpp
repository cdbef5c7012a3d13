// Query maps: splitting the stored query into pairs, writing it back, single keys.
#include <gtest/gtest.h>

#include <tessera/URI.h>

namespace {

using Varn::URI;
using QueryMap = std::map<std::string, std::string>;

TEST(QueryMap, SplitsAndWritesBack) {
    struct Case { const char* query; QueryMap pairs; const char* rewritten; };
    const Case cases[] = {
        {"b=2&a=1", {{"a", "1"}, {"b", "2"}}, "a=1&b=2"},
        {"a=1&a=2", {{"a", "2"}}, "a=2"},                         // the last duplicate wins
        {"a", {{"a", ""}}, "a="},                                 // every pair gains '='
        {"x=1=2", {{"x", "1=2"}}, "x=1%3D2"},                     // only the first '=' splits
        {"&&a=1&", {{"", ""}, {"a", "1"}}, "=&a=1"},              // empty pairs, trailing '&'
        {"a+b=c+d", {{"a b", "c d"}}, "a%20b=c%20d"},             // '+' is a space
        {"k=%41%2b%C3%A9", {{"k", "A+\xC3\xA9"}}, "k=A%2B\xC3\xA9"},
        {"", {}, ""},
    };
    for (const Case& c : cases) {
        URI uri(std::string("http://h/p?") + c.query + "#f");
        QueryMap pairs{{"stale", "entry"}};
        uri.GetQueryByMap(pairs);
        EXPECT_EQ(pairs, c.pairs) << c.query;
        uri.SetQueryByMap(pairs);
        EXPECT_EQ(uri.GetQuery(false), c.rewritten) << c.query;
        EXPECT_EQ(uri.GetFragment(), "f");
    }
}

TEST(QueryMap, SetQueryValueRewritesWholeQuery) {
    URI uri("http://h/p?b=2&a=1&b=0#f");
    uri.SetQueryValue("c", "3");
    EXPECT_EQ(uri.ToString(false), "http://h/p?a=1&b=0&c=3#f");
    EXPECT_TRUE(uri.IsValidURI());

    uri.SetQueryByMap({});
    EXPECT_EQ(uri.ToString(false), "http://h/p#f");
}

TEST(QueryMap, DelimitersInKeysAndValuesRoundTrip) {
    URI uri("http://h/");
    uri.SetQueryValue("a&b=c", "1+2 3/4?$:@");
    EXPECT_EQ(uri.GetQuery(false), "a%26b%3Dc=1%2B2%203%2F4%3F%24%3A%40");
    std::string value = "untouched";
    EXPECT_TRUE(uri.GetQueryValue("a&b=c", value));
    EXPECT_EQ(value, "1+2 3/4?$:@");
}

TEST(QueryMap, GetQueryValueMatchesExactlyAndLeavesTargetWhenAbsent) {
    const URI uri("http://h/?a=1&a+b=x&k=caf%C3%A9");
    std::string value = "untouched";
    EXPECT_FALSE(uri.GetQueryValue("A", value));
    EXPECT_FALSE(uri.GetQueryValue("a+b", value));
    EXPECT_EQ(value, "untouched");
    EXPECT_TRUE(uri.GetQueryValue("a b", value));
    EXPECT_EQ(value, "x");

    std::wstring wide;
    EXPECT_TRUE(uri.GetQueryValue("k", wide));
    EXPECT_EQ(wide, std::wstring(L"caf") + wchar_t(0xE9));
}

}  // namespace
