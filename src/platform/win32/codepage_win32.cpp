// Code-page services of Windows: GetACP, MultiByteToWideChar and WideCharToMultiByte with
// flags 0, explicit lengths and no default character, so that bad input is substituted
// silently. Each conversion asks for the size, allocates exactly that, then converts; a
// failed allocation throws std::bad_alloc (an empty result would pass for converted text).
#include "platform/codepage.h"

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <climits>
#include <memory>

static_assert(sizeof(wchar_t) == sizeof(WCHAR), "wchar_t holds one UTF-16 code unit");

namespace tessera::platform {

std::int32_t PlatformCodePage() { return static_cast<std::int32_t>(GetACP()); }

bool IsCodePageAvailable(std::int32_t codePage) {
    // 1200 and 1201 are valid code pages but not for the narrow conversion calls.
    if (codePage < 0 || codePage == 1200 || codePage == 1201) return false;
    return IsValidCodePage(static_cast<UINT>(codePage)) != FALSE;
}

std::wstring CodePageToUTF16(const char* data, std::size_t size, std::int32_t codePage) {
    if (size == 0 || size > static_cast<std::size_t>(INT_MAX) || codePage < 0) return {};
    const UINT cp = static_cast<UINT>(codePage);
    const int length = static_cast<int>(size);
    const int needed = MultiByteToWideChar(cp, 0, data, length, nullptr, 0);
    if (needed <= 0) return {};
    std::unique_ptr<WCHAR[]> buffer(new WCHAR[static_cast<std::size_t>(needed)]);
    const int written = MultiByteToWideChar(cp, 0, data, length, buffer.get(), needed);
    if (written <= 0) return {};
    return std::wstring(reinterpret_cast<const wchar_t*>(buffer.get()), static_cast<std::size_t>(written));
}

std::string UTF16ToCodePage(const wchar_t* data, std::size_t size, std::int32_t codePage) {
    if (size == 0 || size > static_cast<std::size_t>(INT_MAX) || codePage < 0) return {};
    const UINT cp = static_cast<UINT>(codePage);
    const int length = static_cast<int>(size);
    const WCHAR* source = reinterpret_cast<const WCHAR*>(data);
    const int needed = WideCharToMultiByte(cp, 0, source, length, nullptr, 0, nullptr, nullptr);
    if (needed <= 0) return {};
    std::unique_ptr<char[]> buffer(new char[static_cast<std::size_t>(needed)]);
    const int written = WideCharToMultiByte(cp, 0, source, length, buffer.get(), needed, nullptr, nullptr);
    if (written <= 0) return {};
    return std::string(buffer.get(), static_cast<std::size_t>(written));
}

// UTF-8 is a code page like any other here: the UTF-8 routes are the two calls chained
// through UTF-16.
std::string CodePageToUTF8(const char* data, std::size_t size, std::int32_t codePage) {
    const std::wstring units = CodePageToUTF16(data, size, codePage);
    return UTF16ToCodePage(units.data(), units.size(), kUtf8CodePage);
}

std::string UTF8ToCodePage(const char* data, std::size_t size, std::int32_t codePage) {
    const std::wstring units = CodePageToUTF16(data, size, kUtf8CodePage);
    return UTF16ToCodePage(units.data(), units.size(), codePage);
}

}  // namespace tessera::platform
