// What a URI knows of its stored text is kept with it and trusted later: writing it out
// copies the buffer when it is known to hold the written form, and resolution and relative
// forms take a short path as stored when it is known to be plain. Every way of changing a
// URI must leave no such knowledge behind that no longer holds, so each row changes a URI
// that has it (just parsed with a host, or just laid out by a resolution) through one
// entry point and writes it out. A freshly parsed copy of the expected text, which works
// everything out anew, must write the same.
#include <functional>
#include <map>
#include <string>

#include <gtest/gtest.h>

#include "uri_test_support.h"

namespace tessera_test {
namespace {

using Varn::URI;

struct ChangedURI {
    const char* entryPoint;
    const char* start;
    std::function<void(OpenURI&)> change;
    const char* written;
};

const std::map<std::string, std::string> kQueryMap = {{"k", "v w"}};

// The changes of more than one step: the URI that knows its written form is changed
// again, or is resolved or related after a change of its own or of its base.
void CopyThenSetPort(OpenURI& u) {
    URI copy(u);
    copy.SetServerPort("8");
    u = copy;
}
void ResolveChangedReference(OpenURI& u) {
    u.SetFragment("f");
    u.MakeAbsoluteURI(URI("http://a/b/c/d;p?q"));
}
void SetPortAfterResolving(OpenURI& u) {
    u.MakeAbsoluteURI(URI("http://a/b/c/d;p?q"));
    u.SetServerPort("8");
}
void ResolveOnChangedBase(OpenURI& u) {
    URI base("http://a/b/c");
    base.SetUsername("u");
    u.MakeAbsoluteURI(base);
}
void ResolveTheGeneralWay(OpenURI& u) {  // a query holding '#' does not read back
    u.SetQuery("x#y", false);
    u.MakeAbsoluteURI(URI("http://a/b/c"));
}
void RelateChangedTarget(OpenURI& u) {
    u.SetUsername("u");
    u.MakeRelativeURI(URI("http://h/a/"), true);
}
void RelateDotPathTarget(OpenURI& u) {  // a short plain path made one of dots
    u.SetPath("/a/./b/..");
    u.MakeRelativeURI(URI("http://h/a/"), true);
}
void RelateToDotPathBase(OpenURI& u) {
    URI base("http://h/a/");
    base.SetPath("/a/../c/");
    u.MakeRelativeURI(base, true);
}
void ResolveOnDotPathBase(OpenURI& u) {
    URI base("http://a/b/c");
    base.SetPath("/b/./c/../d");
    u.MakeAbsoluteURI(base);
}
void SetHostAfterRelating(OpenURI& u) {
    u.MakeRelativeURI(URI("http://h/a/"), true);
    u.SetAuthority("g");
}

TEST(StoredFacts, EveryEntryPointLeavesWhatIsKnownTrue) {
    const ChangedURI cases[] = {
        {"copy construction", "http://h/a?q#f", CopyThenSetPort, "http://h:8/a?q#f"},
        {"assignment of a URI", "http://h/a?q#f", [](OpenURI& u) { u = URI("http://u@h/a"); }, "http://u@h/a"},
        {"assignment of a text", "http://h/a?q#f", [](OpenURI& u) { u = "http://h:/a?#"; }, "http://h/a"},
        {"CopyURI", "http://h/a?q#f", [](OpenURI& u) { u.CopyURI(URI("x?#f")); }, "x#f"},
        {"ParseURI", "http://h/a?q#f", [](OpenURI& u) { u.ParseURI("http://@h/a"); }, "http://h/a"},
        {"ConstructURI", "http://h/a?q#f", [](OpenURI& u) { u.ConstructURI("HTTP://[::1]:/a?q"); }, "http://[::1]/a?q"},
        {"FromEncodedString", "http://h/a?q#f", [](OpenURI& u) { u.FromEncodedString("http://h/\xE9?", "iso-8859-1"); },
         "http://h/\xC3\xA9"},
        {"UnknownToURI", "http://h/a?q#f", [](OpenURI& u) { u.UnknownToURI("www.h.org/a", "http"); },
         "http://www.h.org/a"},
        {"Initialize", "http://h/a?q#f", [](OpenURI& u) { u.Initialize(); }, "unknown:"},
        {"SetScheme", "http://h/a?q#f", [](OpenURI& u) { u.SetScheme("https"); }, "https://h/a?q#f"},
        {"SetAuthority", "http://h/a?q#f", [](OpenURI& u) { u.SetAuthority("host"); }, "http://host/a?q#f"},
        {"SetServerPort", "http://h/a?q#f", [](OpenURI& u) { u.SetServerPort("81"); }, "http://h:81/a?q#f"},
        {"SetPath", "http://h/a?q#f", [](OpenURI& u) { u.SetPath("/a b/c"); }, "http://h/a%20b/c?q#f"},
        {"SetQuery", "http://h/a?q#f", [](OpenURI& u) { u.SetQuery("", true); }, "http://h/a#f"},
        {"SetFragment", "http://h/a?q#f", [](OpenURI& u) { u.SetFragment(""); }, "http://h/a?q"},
        {"SetUsername", "http://h/a?q#f", [](OpenURI& u) { u.SetUsername("u"); }, "http://u@h/a?q#f"},
        {"SetPassword", "http://h/a?q#f", [](OpenURI& u) { u.SetPassword("p"); }, "http://h/a?q#f"},
        {"SetNonHierarchical", "http://h/a?q#f", [](OpenURI& u) { u.SetNonHierarchical("x"); }, "http:x?q#f"},
        {"SetParts", "http://h/a?q#f", [](OpenURI& u) { u.SetParts("http", "h", "", "/a", "", "f"); }, "http://h/a#f"},
        {"SetQueryByMap", "http://h/a?q#f", [](OpenURI& u) { u.SetQueryByMap(kQueryMap); }, "http://h/a?k=v%20w#f"},
        {"SetQueryValue", "http://h/a?q#f", [](OpenURI& u) { u.SetQueryValue("k", "v"); }, "http://h/a?k=v&q=#f"},
        {"ForceEscape", "http://h/a b?q#f", [](OpenURI& u) { u.ForceEscape(); }, "http://h/a%20b?q#f"},
        {"SetHierState(false)", "http://h/a?q#f", [](OpenURI& u) { u.SetHierState(false); }, "http:?q#f"},
        {"ChDir", "http://h/a/b?q#f", [](OpenURI& u) { u.ChDir("../c?#", false); }, "http://h/c"},
        {"ChDir to another host", "http://h/a?q#f", [](OpenURI& u) { u.ChDir("//u@g/b", false); }, "http://u@g/b"},
        {"LocalPathToURIUnix", "http://h/a?q#f", [](OpenURI& u) { u.LocalPathToURIUnix("/tmp/a b"); },
         "file:///tmp/a%20b"},
        {"LocalPathToURIWin", "http://h/a?q#f", [](OpenURI& u) { u.LocalPathToURIWin("C:\\a b"); }, "file:///C|/a%20b"},
        {"SetHierState(true)", "http://h/a?q#f", [](OpenURI& u) { u.SetHierState(true); }, "http://h/a?q#f"},
        {"MakeAbsoluteURI on a reference changed just before", "g?q", ResolveChangedReference, "http://a/b/c/g?q#f"},
        {"a setter after MakeAbsoluteURI", "g?q", SetPortAfterResolving, "http://a:8/b/c/g?q"},
        {"MakeAbsoluteURI on a base changed just before", "g", ResolveOnChangedBase, "http://u@a/b/g"},
        {"MakeAbsoluteURI, the general route", "g", ResolveTheGeneralWay, "http://a/b/g?x#y"},
        {"MakeRelativeURI on a target changed just before", "http://h/a/b?q", RelateChangedTarget, "b?q"},
        {"a setter after MakeRelativeURI", "http://h/a/b?q", SetHostAfterRelating, "b?q"},
        {"MakeRelativeURI on a target whose path was set", "http://h/a/b", RelateDotPathTarget, "./b/.."},
        {"MakeRelativeURI on a base whose path was set", "http://h/c/d", RelateToDotPathBase, "d"},
        {"MakeAbsoluteURI on a base whose path was set", "g", ResolveOnDotPathBase, "http://a/b/g"},
    };
    for (const ChangedURI& c : cases) {
        SCOPED_TRACE(c.entryPoint);
        OpenURI uri(c.start);
        c.change(uri);
        EXPECT_EQ(uri.ToString(false), c.written);
        EXPECT_EQ(URI(c.written).ToString(false), uri.ToString(false));
    }
}

}  // namespace
}  // namespace tessera_test
