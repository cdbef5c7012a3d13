// The conversions around the kernels' loops: each reserves its result once, from a count
// of the output or an estimate, and lets the chosen kernel write straight into it.
#include "unicode/utf8_utf16.h"

#include <algorithm>

#include "unicode/sized_conversion.h"
#include "unicode/utf_length.h"

namespace tessera::unicode {
namespace {

std::size_t InputLength(const unsigned char* p, const unsigned char* end) { return static_cast<std::size_t>(end - p); }

// The most a text can need: three bytes per unit.
std::size_t ThreeBytesPerUnit(const wchar_t* p, const wchar_t* end) { return 3 * static_cast<std::size_t>(end - p); }

// The length to allocate for a text that is not plain ASCII: counting all of it would read
// the input twice, and three bytes per unit then shrinking would write a third more and
// copy it all, so the length of its beginning is scaled up to its whole, with a margin.
// Where the rest turns out denser, the result grows once.
std::size_t ExtrapolatedUtf8Length(const wchar_t* p, const wchar_t* end) {
    const auto size = static_cast<std::size_t>(end - p);
    if (size <= kLengthSample) return Utf8LengthOfUtf16(p, end);
    const std::size_t sampled = Utf8LengthOfUtf16(p, p + kLengthSample);  // at most 3 * kLengthSample
    const std::size_t scaled = size / kLengthSample * sampled + size % kLengthSample * sampled / kLengthSample;
    return std::min(scaled + size / 16, ThreeBytesPerUnit(p, end));
}

// Before the library's statics are set up, the portable kernel serves.
const Kernel& CurrentKernel() { return g_kernel ? *g_kernel : *kKernels[0]; }

}  // namespace

std::wstring Utf8ToUtf16With(const Kernel& kernel, const char* data, std::size_t size) {
    const auto* begin = reinterpret_cast<const unsigned char*>(data);
    return ConvertIntoString<std::wstring>(begin, begin + size, kernel.toUtf16, Utf16LengthOfUtf8, Utf16LengthOfUtf8,
                                           InputLength);
}

std::string Utf16ToUtf8With(const Kernel& kernel, const wchar_t* data, std::size_t size) {
    return ConvertIntoString<std::string>(data, data + size, kernel.toUtf8, Utf8LengthOfUtf16, ExtrapolatedUtf8Length,
                                          ThreeBytesPerUnit);
}

std::wstring Utf8ToUtf16(const char* data, std::size_t size) { return Utf8ToUtf16With(CurrentKernel(), data, size); }

std::string Utf16ToUtf8(const wchar_t* data, std::size_t size) { return Utf16ToUtf8With(CurrentKernel(), data, size); }

}  // namespace tessera::unicode
