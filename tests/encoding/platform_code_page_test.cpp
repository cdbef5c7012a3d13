// The platform code page on POSIX systems: the environment locale's codeset, read
// without touching the process locale.
#ifndef _WIN32

#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include <tessera/Transcoder.h>

#include "encoding/encoding_registry.h"
#include "platform/codepage.h"
#include "platform/posix/codepage_data.h"

namespace {

using tessera::platform::PlatformCodePage;

// Sets the locale variables for one test and puts the old values back afterwards.
class LocaleEnvironment {
public:
    LocaleEnvironment() {
        for (const char* name : kNames) {
            const char* value = std::getenv(name);
            m_saved.push_back(value ? std::optional<std::string>(value) : std::nullopt);
        }
    }
    ~LocaleEnvironment() {
        for (std::size_t i = 0; i < std::size(kNames); ++i) Set(kNames[i], m_saved[i]);
    }

    static void Set(const char* name, const std::optional<std::string>& value) {
        value ? setenv(name, value->c_str(), 1) : unsetenv(name);
    }

private:
    static constexpr const char* kNames[] = {"LC_ALL", "LC_CTYPE", "LANG"};
    std::vector<std::optional<std::string>> m_saved;
};

// Locales whose codeset has no code page of its own, or that do not exist, read as UTF-8;
// the query never changes the process locale.
TEST(PlatformCodePage, ComesFromTheEnvironmentLocale) {
    LocaleEnvironment environment;
    const std::string processLocale = std::setlocale(LC_ALL, nullptr);
    const struct {
        std::optional<std::string> lcAll, lang;
    } cases[] = {
        {"C", std::nullopt},
        {"C.UTF-8", std::nullopt},
        {std::nullopt, "C.UTF-8"},
        {std::nullopt, std::nullopt},
        // No such locale: as C.
        {"xx_NOWHERE.KOI8-R", std::nullopt},
    };
    for (const auto& c : cases) {
        LocaleEnvironment::Set("LC_ALL", c.lcAll);
        LocaleEnvironment::Set("LC_CTYPE", std::nullopt);
        LocaleEnvironment::Set("LANG", c.lang);
        EXPECT_EQ(PlatformCodePage(), 65001) << c.lcAll.value_or("-") << " " << c.lang.value_or("-");
        EXPECT_EQ(std::setlocale(LC_ALL, nullptr), processLocale);
    }
}

// A name that resolves, also the channels' default.
TEST(PlatformCodePage, IsReadOnceWhenTheLibraryLoads) {
    LocaleEnvironment environment;
    const std::string atLoad = Varn::Transcoder::PlatformEncoding();
    EXPECT_TRUE(Varn::Transcoder::IsValidEncoding(atLoad)) << atLoad;
    EXPECT_EQ(Varn::Transcoder::DefaultChannelEncoding(), atLoad);
    LocaleEnvironment::Set("LC_ALL", std::string("xx_NOWHERE.KOI8-R"));
    EXPECT_EQ(Varn::Transcoder::PlatformEncoding(), atLoad);
    if (tessera::encoding::g_platformCodePage == 65001) {
        EXPECT_EQ(Varn::Transcoder::asFilesystemString(L"caf\u00E9"), "caf\xC3\xA9");
        EXPECT_EQ(Varn::Transcoder::filesytemToUTF16("caf\xC3\xA9"), L"caf\u00E9");
    }
}

TEST(PlatformCodePage, CodesetsMapToCodePages) {
    const struct {
        const char* codeset;
        std::int32_t codePage;
    } cases[] = {
        {"UTF-8", 65001},
        {"ANSI_X3.4-1968", 65001},
        {"ISO-8859-1", 28591},
        {"ISO-8859-15", 28605},
        {"KOI8-R", 20866},
        {"EUC-JP", 51932},
        {"GB18030", 54936},
        {"EUC-KR", 51949},
        {"GB2312", 936},
        {"BIG5", 950},
        // A codeset without a code page reads as UTF-8.
        {"EUC-TW", 65001},
        {"", 65001},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(tessera::platform::posix::CodePageForCodeset(c.codeset), c.codePage) << c.codeset;
    }
}

TEST(PlatformCodePage, EveryNamedCharsetIsKnownToIconv) {
    // A charset name that glibc does not know would silently disable its code page.
    for (const auto& row : tessera::platform::posix::AllCodePageCharsets()) {
        if (row.charset == nullptr) continue;
        EXPECT_TRUE(tessera::platform::IsCodePageAvailable(row.codePage)) << row.codePage << " " << row.charset;
    }
    const struct {
        std::int32_t codePage;
        bool available;
    } others[] = {
        {65001, true},
        {1200, false},
        {52936, false},
        {-1, false},
    };
    for (const auto& c : others)
        EXPECT_EQ(tessera::platform::IsCodePageAvailable(c.codePage), c.available) << c.codePage;
}

}  // namespace

#endif  // _WIN32
