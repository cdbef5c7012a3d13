// tessera transcode --from NAME --to NAME [FILE]: converts text between encodings. Names
// are resolved as the library resolves them; UTF-16LE and UTF-16BE are also accepted and
// go through the library's UTF-16 operations.
#include <iostream>
#include <string>
#include <vector>

#include <tessera/Transcoder.h>

#include "close_matches.h"
#include "commands.h"
#include "standard_streams.h"

namespace tessera::tool {
namespace {

enum class Utf16Order { kNone, kLittle, kBig };

Utf16Order Utf16OrderOf(const std::string& name) {
    if (name == "UTF-16LE") return Utf16Order::kLittle;
    if (name == "UTF-16BE") return Utf16Order::kBig;
    return Utf16Order::kNone;
}

std::wstring BytesToUtf16(const std::string& bytes, Utf16Order order) {
    std::wstring units;
    units.reserve(bytes.size() / 2 + 1);
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
        const auto a = static_cast<unsigned char>(bytes[i]);
        const auto b = static_cast<unsigned char>(bytes[i + 1]);
        units.push_back(static_cast<wchar_t>(order == Utf16Order::kLittle ? a | b << 8 : b | a << 8));
    }
    if (bytes.size() % 2 != 0) units.push_back(static_cast<wchar_t>(0xFFFD));  // a lone last byte
    return units;
}

std::string Utf16ToBytes(const std::wstring& units, Utf16Order order) {
    std::string bytes;
    bytes.reserve(units.size() * 2);
    for (wchar_t unit : units) {
        const auto low = static_cast<char>(unit & 0xFF);
        const auto high = static_cast<char>((unit >> 8) & 0xFF);
        bytes.push_back(order == Utf16Order::kLittle ? low : high);
        bytes.push_back(order == Utf16Order::kLittle ? high : low);
    }
    return bytes;
}

}  // namespace

int RunTranscode(const Invocation& in) {
    const std::string from = in.Value("--from"), to = in.Value("--to");
    for (const std::string& name : {from, to}) {
        if (Utf16OrderOf(name) != Utf16Order::kNone || Varn::Transcoder::IsValidEncoding(name)) continue;
        std::vector<std::string> names = EncodingNames();
        names.insert(names.end(), {"UTF-16LE", "UTF-16BE"});
        const std::string hint = DidYouMean(name, names);
        return in.Fail(kUsageError,
                       "unknown encoding " + Quote(name) + (hint.empty() ? " (see 'tessera encodings')" : hint));
    }
    const std::string file = in.Operands().empty() ? "-" : in.Operands()[0];

    InputFile source = file == "-" ? InputFile() : InputFile(file);
    std::string input;
    if (!source.ReadAll(input)) return in.Reject("cannot read " + source.Name() + ": " + source.Error());

    const Utf16Order fromOrder = Utf16OrderOf(from);
    const std::wstring text = fromOrder != Utf16Order::kNone ? BytesToUtf16(input, fromOrder)
                                                             : Varn::Transcoder::EncodingToUTF16(input, from);
    if (text.empty() && !input.empty()) {
        return in.Reject("this build cannot convert from " + Quote(from));
    }
    const Utf16Order toOrder = Utf16OrderOf(to);
    const std::string output =
        toOrder != Utf16Order::kNone ? Utf16ToBytes(text, toOrder) : Varn::Transcoder::UTF16ToEncoding(text, to);
    if (output.empty() && !text.empty()) {
        return in.Reject("this build cannot convert to " + Quote(to));
    }
    std::cout.write(output.data(), static_cast<std::streamsize>(output.size()));  // checked when the tool ends
    return kSuccess;
}

}  // namespace tessera::tool
