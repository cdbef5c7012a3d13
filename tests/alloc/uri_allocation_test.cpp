// Allocation failure in every allocating operation of Varn::URI: parsing, assignment,
// getters and setters, writing out, resolution, relations, query maps, local paths,
// guessing, escaping and host addresses. An operation that fails part-way may leave a
// URI partly assigned, but each component must hold its old value or its final value
// (never one cut short or emptied); nothing may leak, and a copy must equal its source.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include <tessera/URI.h>

#include "allocation_sweep.h"
#include "uri/uri_test_support.h"

namespace tessera_test {
namespace {

using Varn::URI;

/// What a URI operation works on: the URI, a second one (a base, the other side of a
/// relation) and the targets of the operations that write into caller objects.
struct UriObjects {
    URI uri;
    URI other;
    std::map<std::string, std::string> map{{"old", "1"}};
    std::string text = "old";
    std::wstring wide = L"old";
};

Fields UriFields(const URI& u) {
    return {u.GetScheme(),   u.GetAuthority(), u.GetServerPort(),      u.GetPath(), u.GetQuery(false), u.GetFragment(),
            u.GetUsername(), u.GetPassword(),  u.GetNonHierarchical(), FlagsOf(u)};
}

Fields AllFields(const UriObjects& o) {
    Fields fields = UriFields(o.uri);
    const Fields other = UriFields(o.other);
    fields.insert(fields.end(), other.begin(), other.end());
    std::string map;
    for (const auto& pair : o.map) map += pair.first + '=' + pair.second + ';';
    fields.push_back(map);
    fields.push_back(o.text);
    fields.push_back(std::string(o.wide.begin(), o.wide.end()));  // UTF-16 units cut to bytes: compared only
    return fields;
}

std::string Flag(bool value) { return value ? "true" : "false"; }

struct UriCase {
    const char* name;
    const char* subject;  // parsed into uri
    const char* other;    // parsed into other
    std::string (*run)(UriObjects&);
};

const char kFull[] = "HTTP://us%20er:pa@Host.Example:8080/d%20ir/a/../b/file.tar.gz?q=1&r=a%20b#frag%41";
const char kBase[] = "http://host.example/d%20ir/x/y.html?base";
const char kFile[] = "file:///C|/Program%20Files/app/x.txt";
// Escapes of UTF-8 and raw UTF-8 for the UTF-8 and encoded forms.
const char kText[] = "HTTP://us%20er:pa@Host.Example:8080/d%20ir/%C3%A9\xC3\xA9%20x?q=%E4%B8%AD#frag%41";

const UriCase kCases[] = {
    // Parsing and assignment (each assignment replaces every component: one a case).
    {"construct and copy", kFull, "",
     [](UriObjects& o) {
         return URI(URI::StringProxy(kFull)).ToString(false).str() + URI(kBase).ToString(false).str() +
                URI(o.uri).ToString(false).str();
     }},
    {"assign text", kFull, "", [](UriObjects& o) { return (o.uri = URI::StringProxy(kBase)).ToString(false).str(); }},
    {"assign char*", kFull, "", [](UriObjects& o) { return (o.uri = kFile).ToString(false).str(); }},
    {"assign URI", kFull, kBase, [](UriObjects& o) { return (o.uri = o.other).ToString(false).str(); }},
    {"assign opaque text", kFull, "",
     [](UriObjects& o) { return (o.uri = "mailto:a@b.example?subject=x#f").ToString(false).str(); }},
    // Getters and writing out, into text and into the caller's narrow and wide strings.
    {"getters and writing out", kText, "",
     [](UriObjects& o) {
         std::string a, b, c, d, e;
         std::wstring wa, wb, wc, wd, we;
         o.uri.GetParts(o.text, a, b, c, d, e);
         o.uri.GetParts(o.wide, wa, wb, wc, wd, we);
         return o.uri.GetScheme().str() + o.uri.GetAuthority().str() + o.uri.GetServerPort().str() +
                o.uri.GetPath().str() + o.uri.GetQuery(true).str() + o.uri.GetFragment().str() +
                o.uri.GetUsername().str() + o.uri.GetPassword().str() + o.uri.GetNonHierarchical().str() + a + b + c +
                d + e + std::to_string(wa.size() + wb.size() + wc.size() + wd.size() + we.size()) +
                o.uri.ToString(false).str() + o.uri.ToString(true).str() + o.uri.ToStringUTF8().str() +
                o.uri.ToStringUTF8Escaped().str() + o.uri.ToEncodedString("shift_jis").str();
     }},
    {"FromEncodedString", kFull, "",
     [](UriObjects& o) { return Flag(o.uri.FromEncodedString("http://h/caf\xE9?q=\xE9", "windows-1252")); }},
    // Setters: those of one component each together, as each leaves the others alone.
    {"component setters", kFull, "",
     [](UriObjects& o) {
         o.uri.SetScheme("X-Scheme-With-A-Long-Name");
         o.uri.SetAuthority("New Host.Example.Org");
         o.uri.SetServerPort("8080 8081 8082 8083");
         o.uri.SetPath("/a b/c?d/e f/g h/i");
         o.uri.SetQuery("a b?c&d=e f g h i", true);
         o.uri.SetFragment("f g#h i j k l m n");
         o.uri.SetUsername("u s@r with a long name");
         o.uri.SetPassword("p:w d with a long text");
         return std::string();
     }},
    {"SetQuery as is", kFull, "",
     [](UriObjects& o) { return o.uri.SetQuery("a%20b&c=d%20e&f=g", false), std::string(); }},
    {"SetNonHierarchical", kFull, "",
     [](UriObjects& o) { return o.uri.SetNonHierarchical("a b@c.example.org?x"), std::string(); }},
    {"SetParts", kFull, "",
     [](UriObjects& o) {
         return o.uri.SetParts("file", "server.example", "8080", "/C|/directory/a b", "q r s t u v", "f g h i j k"),
                std::string();
     }},
    {"ForceEscape", "http://host.example/a b/%41 c d e f?q r s t#f g h i", "",
     [](UriObjects& o) { return o.uri.ForceEscape(), std::string(); }},
    // File names.
    {"file names", kFull, "",
     [](UriObjects& o) {
         return o.uri.GetFilename(true).str() + o.uri.GetFilename(false).str() + o.uri.GetExtension(true).str() +
                o.uri.GetExtension(false).str() + o.uri.GetLastPathComponent().str() +
                Flag(o.uri.IsUnderDirectory("b")) + Flag(o.uri.IsOfFileType("gz"));
     }},
    {"RemoveLastPathComponent", kFull, "", [](UriObjects& o) { return o.uri.RemoveLastPathComponent().str(); }},
    // Resolution.
    {"MakeAbsoluteURI", "../a b/./c?q#f", kBase, [](UriObjects& o) { return Flag(o.uri.MakeAbsoluteURI(o.other)); }},
    {"ChDir escaped and plain path", kBase, kBase,
     [](UriObjects& o) { return Flag(o.uri.ChDir("../p q/./r?s#t", true)) + Flag(o.other.ChDir("../p q/#r", false)); }},
    {"ChDir authority", kBase, "", [](UriObjects& o) { return Flag(o.uri.ChDir("//other.example/a/b", true)); }},
    // Relations, equality and common parents, none of which changes its operands.
    {"relations", "http://HOST.example/d%20ir/x/", kBase,
     [](UriObjects& o) {
         return std::to_string(o.uri.GetRelation(o.other, true) + 4 * o.uri.GetRelation(o.other, false)) +
                std::to_string(URI::GetRelationByString("http://h/a/b%20c/", "http://H/a/b%20c/d")) +
                Flag(URI::CompareAuthority("[fe80:0:0:0:0:0:0:1]", "[FE80::1]")) + Flag(o.uri == o.other) +
                Flag(o.uri == kFull) + Flag(o.uri != URI::StringProxy(kBase)) +
                URI(kFull).GetCommonParent(o.other, false).ToString(false).str() +
                URI::GetCommonParentByString(kFull, kBase, true).ToString(false).str();
     }},
    {"MakeRelativeURI", "http://host.example/d%20ir/p/q.html?x#y", kBase,
     [](UriObjects& o) { return Flag(o.uri.MakeRelativeURI(o.other, true)); }},
    // Query maps: read into the caller's objects, then written.
    {"query maps", kFull, kFull,
     [](UriObjects& o) {
         o.uri.GetQueryByMap(o.map);
         const std::string found = Flag(o.uri.GetQueryValue("r", o.text)) + Flag(o.uri.GetQueryValue("r", o.wide));
         o.uri.SetQueryByMap({{"a b", "c&d"}, {"e", "f=g"}});
         o.other.SetQueryValue("s t", "u&v");  // the query again, so on the other URI
         return found;
     }},
    // Local paths: to each notation, and from each one (a case each, as each replaces the URI).
    {"ToLocalPath", kFile, "",
     [](UriObjects& o) {
         return o.uri.ToLocalPath().str() + o.uri.ToLocalPathWin().str() + o.uri.ToLocalPathUnix().str() +
                o.uri.ToLocalPathMac().str();
     }},
    {"LocalPathToURI", kFull, "",
     [](UriObjects& o) { return o.uri.LocalPathToURI("/usr/local/a b/c"), std::string(); }},
    {"LocalPathToURIWin", kFull, "",
     [](UriObjects& o) { return o.uri.LocalPathToURIWin("D:\\directory\\a b.txt"), std::string(); }},
    {"LocalPathToURIWin UNC", kFull, "",
     [](UriObjects& o) { return o.uri.LocalPathToURIWin("\\\\server\\share\\a b"), std::string(); }},
    {"LocalPathToURIUnix", kFull, "",
     [](UriObjects& o) { return o.uri.LocalPathToURIUnix("/usr/local/a b/c"), std::string(); }},
    {"LocalPathToURIMac", kFull, "",
     [](UriObjects& o) { return o.uri.LocalPathToURIMac("Disk:Folder:a b:c"), std::string(); }},
    // Guessing.
    {"UnknownToURI host", kFull, "",
     [](UriObjects& o) { return Flag(o.uri.UnknownToURI("www.example.org/a b", "http")); }},
    {"UnknownToURI path", kFull, "",
     [](UriObjects& o) { return Flag(o.uri.UnknownToURI("C:\\directory\\a b.txt", "http")); }},
    {"UnknownToURI e-mail", kFull, "", [](UriObjects& o) { return Flag(o.uri.UnknownToURI("user@example.org", "")); }},
    // Escaping and host addresses (static: only ExpandIPv6Addr writes into a caller's object).
    {"escaping and host addresses", kFull, "",
     [](UriObjects& o) {
         std::string result = URI::Escape("a b%c\x01").str() + URI::EscapeChars("a b", " ").str() +
                              URI::QueryEscape("a=b&c").str() + URI::Unescape("%41%C3%A9", true).str() +
                              URI::Unescape("%41%zz", false).str() + URI::QueryUnescape("a+b%2B").str();
         std::vector<std::string> groups;
         std::vector<int> octets;
         result += Flag(URI::VerifyAlpha("abc")) + Flag(URI::helperIPv6("a:b:c", groups, true)) +
                   Flag(URI::IsIPv6("::1")) + Flag(URI::IsIPv4Address("10.1.2.3", &octets));
         result += Flag(URI::ConvertIPv4ToIPv6Addr(&octets, result));
         result += Flag(URI::ExpandIPv6Addr("fe80::1:2", o.text));
         return result + o.text;
     }},
};

class UriAllocation : public ::testing::TestWithParam<UriCase> {};

TEST_P(UriAllocation, FailureLeavesUsableObjectsAndNoLeak) {
    const UriCase& c = GetParam();
    const SweepReport report = SweepAllocationFailures(SweepCase<UriObjects>{
        [&c] {
            return UriObjects{URI(c.subject), URI(c.other)};
        },
        c.run,
        AllFields,
        Keep::kFieldwise,
    });
    EXPECT_GT(report.failurePoints, 0u) << "the operation allocates nothing";
    for (const std::string& problem : report.problems) ADD_FAILURE() << problem;
}

INSTANTIATE_TEST_SUITE_P(Every, UriAllocation, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<UriCase>& info) { return TestNameOf(info.param.name); });

}  // namespace
}  // namespace tessera_test
