// A URI read from or written into text of a named character set.
#include <tessera/Transcoder.h>
#include <tessera/URI.h>

#include "uri/storage.h"

namespace Varn {

bool URI::NormalizeEncoding(std::string& text, const std::string& encoding) {
    if (text.empty()) return true;
    // Escapes become the raw bytes they stand for; the unescaped runs between them are
    // UTF-8 and are converted into the encoding; the whole is then read back as UTF-8.
    std::string out;
    std::size_t rest = 0;
    const std::size_t n = text.size();
    const auto appendConverted = [&](std::size_t from, std::size_t to) {
        const std::string converted = Transcoder::UTF8ToEncoding(text.substr(from, to - from), encoding);
        out += converted;
        return !converted.empty();
    };
    for (;;) {
        const std::size_t percent = text.find('%', rest);
        if (percent == rest && n - rest >= 3) {
            out += Unescape(text.substr(rest, 3), false).str();
            rest += 3;
            continue;
        }
        if (percent == std::string::npos || n - rest < 3) break;
        if (!appendConverted(rest, percent)) return false;
        rest = percent;
    }
    if (rest < n && !appendConverted(rest, n)) return false;
    text = Transcoder::EncodingToUTF8(out, encoding);
    return true;
}

URI::StringProxy URI::ToEncodedString(StringProxy encoding) {
    return Transcoder::UTF8ToEncoding(ToStringUTF8(), encoding);
}

// Several setters in a row: when an allocation fails, the components renewed before stay.
bool URI::FromEncodedString(StringProxy text, StringProxy encoding) {
    if (!Storage::Parse(*this, Transcoder::EncodingToUTF8(text, encoding))) m_valid = false;

    // Each component in turn: its stored text with the escapes of the encoding turned
    // into UTF-8, stored again through its setter.
    bool converted = true;
    const auto renew = [&](tessera::uri::Part part, auto&& store) {
        if (!converted) return;
        std::string copy(Storage::Get(*this, part));
        converted = NormalizeEncoding(copy, encoding);
        if (converted) store(copy);
    };
    if (IsHierarchical()) {
        renew(tessera::uri::kScheme, [this](const std::string& t) { SetScheme(t); });
        renew(tessera::uri::kAuthority, [this](const std::string& t) { SetAuthority(t); });
        renew(tessera::uri::kServerPort, [this](const std::string& t) { SetServerPort(t); });
        renew(tessera::uri::kPath, [this](const std::string& t) { SetPath(t); });
        renew(tessera::uri::kUsername, [this](const std::string& t) { SetUsername(t); });
        renew(tessera::uri::kPassword, [this](const std::string& t) { SetPassword(t); });
    } else {
        renew(tessera::uri::kNonHierarchical, [this](const std::string& t) { SetNonHierarchical(t); });
    }
    renew(tessera::uri::kQuery, [this](const std::string& t) { SetQuery(t, true); });
    renew(tessera::uri::kFragment, [this](const std::string& t) { SetFragment(t); });
    if (!converted) Initialize();
    return converted;
}

}  // namespace Varn
