// Varn::Transcoder: every conversion is one of the platform's code-page services (UTF-8
// is code page 65001); names are resolved by the encoding registry. Between UTF-8 and a
// named encoding the platform may convert straight, with the results of the route through
// UTF-16.
#include <tessera/Transcoder.h>

#include "encoding/encoding_registry.h"
#include "platform/codepage.h"

namespace Varn {
namespace {

using tessera::platform::kUtf8CodePage;

std::string FromUTF16(const std::wstring& text, std::int32_t codePage) {
    return tessera::platform::UTF16ToCodePage(text.data(), text.size(), codePage);
}

std::wstring ToUTF16(const std::string& text, std::int32_t codePage) {
    return tessera::platform::CodePageToUTF16(text.data(), text.size(), codePage);
}

}  // namespace

UnknownEncoding::UnknownEncoding(const std::string& name)
    : std::invalid_argument("unknown encoding '" + name + "'"), m_name(name) {}

std::string Transcoder::UTF16ToUTF8(const std::wstring& text) { return FromUTF16(text, kUtf8CodePage); }

std::wstring Transcoder::UTF8ToUTF16(const std::string& text) { return ToUTF16(text, kUtf8CodePage); }

std::string Transcoder::asUTF8(const std::wstring& text) { return UTF16ToUTF8(text); }

std::wstring Transcoder::asUTF16(const std::string& text) { return UTF8ToUTF16(text); }

std::string Transcoder::UTF16ToEncoding(const std::wstring& text, const std::string& encoding) {
    return FromUTF16(text, tessera::encoding::EncodingToCodePage(encoding));
}

std::wstring Transcoder::EncodingToUTF16(const std::string& text, const std::string& encoding) {
    return ToUTF16(text, tessera::encoding::EncodingToCodePage(encoding));
}

std::string Transcoder::UTF8ToEncoding(const std::string& text, const std::string& encoding) {
    return tessera::platform::UTF8ToCodePage(text.data(), text.size(), tessera::encoding::EncodingToCodePage(encoding));
}

std::string Transcoder::EncodingToUTF8(const std::string& text, const std::string& encoding) {
    return tessera::platform::CodePageToUTF8(text.data(), text.size(), tessera::encoding::EncodingToCodePage(encoding));
}

std::string Transcoder::asFilesystemString(const std::wstring& text) {
    return UTF16ToEncoding(text, DefaultChannelEncoding());
}

std::wstring Transcoder::filesytemToUTF16(const std::string& text) {
    return EncodingToUTF16(text, DefaultChannelEncoding());
}

std::string Transcoder::PlatformEncoding() {
    return tessera::encoding::CodePageToEncoding(tessera::encoding::g_platformCodePage);
}

std::string Transcoder::DefaultChannelEncoding() { return PlatformEncoding(); }

bool Transcoder::IsValidEncoding(const std::string& encoding) {
    try {
        tessera::encoding::EncodingToCodePage(encoding);
        return true;
    } catch (...) {
        return false;
    }
}

}  // namespace Varn
