// Code-page services on POSIX systems. The platform code page comes from the environment
// locale's codeset, read through a locale object of its own so that the process locale is
// never changed. UTF-8 goes through the library's own UTF-8 functions; every other code
// page through glibc iconv, as the data tables of codepage_charsets.cpp and
// codepage_overrides.cpp describe it.
#include "../codepage.h"

#include <langinfo.h>
#include <locale.h>

#include <array>
#include <memory>

#include "codepage_data.h"
#include "encoding/utf8_utf16.h"
#include "multi_byte_code_page.h"
#include "single_byte_code_page.h"

namespace tessera::platform {
namespace {

using posix::CodePageCharset;
using posix::CodePageForm;
using posix::MultiByteCodePage;
using posix::SingleByteCodePage;

constexpr std::int32_t kUtf8CodePage = 65001;

// A code page's converter, built on first use in a thread and kept for the thread's life.
struct ConverterSlot {
    std::int32_t codePage = 0;
    bool built = false;
    std::unique_ptr<SingleByteCodePage> singleByte;
    std::unique_ptr<MultiByteCodePage> multiByte;
};

// The converters of the last few code pages a thread used (iconv descriptors are not
// shareable between threads, and opening them per call would cost more than converting).
struct ThreadConverters {
    std::array<ConverterSlot, 8> slots{};
    std::size_t next = 0;

    ConverterSlot& For(const CodePageCharset& charset) {
        for (ConverterSlot& slot : slots) {
            if (slot.built && slot.codePage == charset.codePage) return slot;
        }
        ConverterSlot& slot = slots[next];
        next = (next + 1) % slots.size();
        slot = ConverterSlot{};
        slot.codePage = charset.codePage;
        if (charset.form == CodePageForm::kSingleByte) {
            slot.singleByte = SingleByteCodePage::Build(charset);
        } else {
            slot.multiByte = std::make_unique<MultiByteCodePage>(charset);
        }
        slot.built = true;
        return slot;
    }
};

// Constant-initialised: nothing runs until a thread first converts.
thread_local ThreadConverters t_converters;

// The converter slot of a code page that glibc can convert, or nullptr.
ConverterSlot* ConverterFor(std::int32_t codePage) {
    const CodePageCharset* charset = posix::FindCodePageCharset(codePage);
    if (charset == nullptr || charset->charset == nullptr) return nullptr;
    return &t_converters.For(*charset);
}

}  // namespace

std::int32_t PlatformCodePage() {
    locale_t environment = newlocale(LC_CTYPE_MASK, "", static_cast<locale_t>(0));
    if (environment == static_cast<locale_t>(0)) return kUtf8CodePage;  // as the C locale
    const char* codeset = nl_langinfo_l(CODESET, environment);
    const std::int32_t codePage = posix::CodePageForCodeset(codeset ? codeset : "");
    freelocale(environment);
    return codePage;
}

bool IsCodePageAvailable(std::int32_t codePage) {
    if (codePage == kUtf8CodePage) return true;
    ConverterSlot* slot = ConverterFor(codePage);
    if (slot == nullptr) return false;
    if (slot->singleByte) return true;
    return slot->multiByte && slot->multiByte->canDecode() && slot->multiByte->canEncode();
}

std::wstring CodePageToUTF16(const char* data, std::size_t size, std::int32_t codePage) {
    if (size == 0) return {};
    if (codePage == kUtf8CodePage) return encoding::Utf8ToUtf16(data, size);
    ConverterSlot* slot = ConverterFor(codePage);
    if (slot == nullptr) return {};
    if (slot->singleByte) return slot->singleByte->Decode(data, size);
    if (slot->multiByte) return slot->multiByte->Decode(data, size);
    return {};
}

std::string UTF16ToCodePage(const wchar_t* data, std::size_t size, std::int32_t codePage) {
    if (size == 0) return {};
    if (codePage == kUtf8CodePage) return encoding::Utf16ToUtf8(data, size);
    ConverterSlot* slot = ConverterFor(codePage);
    if (slot == nullptr) return {};
    if (slot->singleByte) return slot->singleByte->Encode(data, size);
    if (slot->multiByte) return slot->multiByte->Encode(data, size);
    return {};
}

}  // namespace tessera::platform
