// The conversions around the kernels' loops: the chosen kernel converts a chunk at a time
// and the driver of sized_conversion.h gathers the chunks into a result of the right size.
#include "unicode/utf8_utf16.h"

#include "unicode/sized_conversion.h"
#include "unicode/utf_length.h"

namespace tessera::unicode {
namespace {

// Before the library's statics are set up, the portable kernel serves.
const Kernel& CurrentKernel() { return g_kernel ? *g_kernel : *kKernels[0]; }

}  // namespace

std::wstring Utf8ToUtf16With(const Kernel& kernel, const char* data, std::size_t size) {
    const auto* begin = reinterpret_cast<const unsigned char*>(data);
    return ConvertIntoString<std::wstring>(begin, begin + size, kernel.toUtf16, Utf16LengthOfUtf8);
}

std::string Utf16ToUtf8With(const Kernel& kernel, const wchar_t* data, std::size_t size) {
    return ConvertIntoString<std::string>(data, data + size, kernel.toUtf8, Utf8LengthOfUtf16);
}

std::wstring Utf8ToUtf16(const char* data, std::size_t size) { return Utf8ToUtf16With(CurrentKernel(), data, size); }

std::string Utf16ToUtf8(const wchar_t* data, std::size_t size) { return Utf16ToUtf8With(CurrentKernel(), data, size); }

wchar_t* Utf8ToUtf16Window(const unsigned char*& p, const unsigned char* end, wchar_t* out, const wchar_t* outEnd) {
    return CurrentKernel().toUtf16(p, end, out, outEnd);
}

}  // namespace tessera::unicode
