// transcoder: every conversion of the input's text (after its first line) through the
// encoding named by its first line, and through a registry name picked by the text.
//
// Properties:
// - UTF-8 -> UTF-16 -> UTF-8 gives valid UTF-8 back unchanged, UTF-16 -> UTF-8 -> UTF-16
//   gives valid UTF-16 back unchanged; whatever the input, the UTF-8 results are valid
//   UTF-8 and the UTF-16 results valid UTF-16 (invalid input is replaced, not passed on).
//   The as... names give what the UTF... names give.
// - A name IsValidEncoding refuses makes the four named conversions throw
//   UnknownEncoding carrying that name; a name it accepts makes none of them throw.
// - For an accepted name: UTF8ToEncoding is UTF16ToEncoding of the UTF-16 form and
//   EncodingToUTF8 is the UTF-8 form of EncodingToUTF16; empty text gives empty text;
//   the UTF-8 results are valid UTF-8 and the UTF-16 results hold 16-bit units only
//   (a decoder such as UTF-7's may pass a lone surrogate on); through "utf-8" any text
//   converts as UTF8ToUTF16 and UTF16ToUTF8 convert it.
// - A URI read with FromEncodedString that returns false is in the default state.
#include <string>

#include <tessera/Transcoder.h>
#include <tessera/URI.h>

#include "check.h"
#include "uri_text.h"

namespace tessera::fuzz {

namespace {

constexpr const char* kCheckName = "transcoder";
using Varn::Transcoder;

// A decoder written for this check only: well-formed UTF-8 (no overlong forms, no
// surrogates, nothing above U+10FFFF).
bool IsValidUTF8(const std::string& text) {
    std::size_t i = 0;
    while (i < text.size()) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        std::size_t length;
        unsigned long cp;
        if (c < 0x80) {
            ++i;
            continue;
        }
        if (c >= 0xC2 && c <= 0xDF) {
            length = 2;
            cp = c & 0x1F;
        } else if (c >= 0xE0 && c <= 0xEF) {
            length = 3;
            cp = c & 0x0F;
        } else if (c >= 0xF0 && c <= 0xF4) {
            length = 4;
            cp = c & 0x07;
        } else
            return false;
        if (i + length > text.size()) return false;
        for (std::size_t k = 1; k < length; ++k) {
            const unsigned char t = static_cast<unsigned char>(text[i + k]);
            if ((t & 0xC0) != 0x80) return false;
            cp = (cp << 6) | (t & 0x3F);
        }
        if ((length == 3 && cp < 0x800) || (length == 4 && (cp < 0x10000 || cp > 0x10FFFF))) return false;
        if (cp >= 0xD800 && cp <= 0xDFFF) return false;
        i += length;
    }
    return true;
}

// Every element holds one 16-bit code unit.
bool AllUnits16(const std::wstring& text) {
    for (wchar_t u : text) {
        if ((static_cast<unsigned long>(u) >> 16) != 0) return false;
    }
    return true;
}

// Every unit is 16 bits and every surrogate stands in a high-low pair.
bool IsValidUTF16(const std::wstring& text) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        const unsigned long u = static_cast<unsigned long>(text[i]);
        if ((u >> 16) != 0 || (u >= 0xDC00 && u <= 0xDFFF)) return false;
        if (u >= 0xD800 && u <= 0xDBFF) {
            if (i + 1 >= text.size()) return false;
            const unsigned long next = static_cast<unsigned long>(text[i + 1]);
            if (next < 0xDC00 || next > 0xDFFF) return false;
            ++i;
        }
    }
    return true;
}

// The text's bytes taken in pairs as UTF-16 code units, low byte first.
std::wstring AsUnits(const std::string& text) {
    std::wstring units;
    for (std::size_t i = 0; i + 1 < text.size(); i += 2) {
        const unsigned lo = static_cast<unsigned char>(text[i]);
        const unsigned hi = static_cast<unsigned char>(text[i + 1]);
        units += static_cast<wchar_t>(lo | (hi << 8));
    }
    return units;
}

void CheckUnicodeForms(const std::string& text) {
    const std::wstring wide = Transcoder::UTF8ToUTF16(text);
    TESSERA_FUZZ_REQUIRE(IsValidUTF16(wide) && wide == Transcoder::asUTF16(text), Quote(text));
    const std::string narrow = Transcoder::UTF16ToUTF8(wide);
    TESSERA_FUZZ_REQUIRE(IsValidUTF8(narrow), Quote(text) + " -> " + Quote(narrow));
    if (IsValidUTF8(text)) TESSERA_FUZZ_REQUIRE(narrow == text, Quote(text) + " -> " + Quote(narrow));

    const std::wstring units = AsUnits(text);
    const std::string fromUnits = Transcoder::UTF16ToUTF8(units);
    TESSERA_FUZZ_REQUIRE(IsValidUTF8(fromUnits) && fromUnits == Transcoder::asUTF8(units),
                         "units of " + Quote(text) + " -> " + Quote(fromUnits));
    if (IsValidUTF16(units))
        TESSERA_FUZZ_REQUIRE(Transcoder::UTF8ToUTF16(fromUnits) == units, "units of " + Quote(text));
}

void CheckNamed(const std::string& name, const std::string& text) {
    const bool known = Transcoder::IsValidEncoding(name);
    const std::wstring units = AsUnits(text);
    if (!known) {
        int thrown = 0;
        auto expectThrow = [&](auto&& convert) {
            try {
                convert();
            } catch (const Varn::UnknownEncoding& e) {
                thrown += e.name() == name;
            }
        };
        expectThrow([&] { Transcoder::UTF16ToEncoding(units, name); });
        expectThrow([&] { Transcoder::EncodingToUTF16(text, name); });
        expectThrow([&] { Transcoder::UTF8ToEncoding(text, name); });
        expectThrow([&] { Transcoder::EncodingToUTF8(text, name); });
        TESSERA_FUZZ_REQUIRE(thrown == 4, Quote(name) + " threw " + std::to_string(thrown) + " of 4");
        return;
    }
    const std::string encoded = Transcoder::UTF8ToEncoding(text, name);
    TESSERA_FUZZ_REQUIRE(encoded == Transcoder::UTF16ToEncoding(Transcoder::UTF8ToUTF16(text), name), Quote(name));
    const std::wstring decodedWide = Transcoder::EncodingToUTF16(text, name);
    TESSERA_FUZZ_REQUIRE(AllUnits16(decodedWide), Quote(name) + " " + Quote(text));
    const std::string decoded = Transcoder::EncodingToUTF8(text, name);
    TESSERA_FUZZ_REQUIRE(IsValidUTF8(decoded) && decoded == Transcoder::UTF16ToUTF8(decodedWide),
                         Quote(name) + " " + Quote(text) + " -> " + Quote(decoded));
    Transcoder::UTF16ToEncoding(units, name);
    TESSERA_FUZZ_REQUIRE(Transcoder::UTF8ToEncoding("", name).empty() && Transcoder::EncodingToUTF8("", name).empty() &&
                             Transcoder::UTF16ToEncoding(L"", name).empty() &&
                             Transcoder::EncodingToUTF16("", name).empty(),
                         Quote(name));
}

void CheckEncodedURI(const std::string& name, const std::string& text) {
    if (!Transcoder::IsValidEncoding(name)) return;
    Varn::URI uri;
    if (!uri.FromEncodedString(text, name)) TESSERA_FUZZ_REQUIRE(IsDefaultState(uri), Quote(name) + " " + Quote(text));
    uri.ToEncodedString(name);
}

}  // namespace

void CheckTranscoder(const std::uint8_t* data, std::size_t size) {
    static const char* const kNames[] = {
        "utf-8",        "Windows-1252", "iso-8859-2", "koi8-r",  "shift_jis",     "euc-jp",
        "iso-2022-jp",  "gb2312",       "big5",       "euc-kr",  "utf-7",         "US-ASCII",
        "windows-1251", "x-mac-ce",     "ibm850",     "unicode", "windows-99999",
    };
    const std::vector<std::string> fields = SplitFields(data, size, 2);
    const std::string& name = fields[0];
    const std::string& text = fields[1];

    CheckUnicodeForms(text);
    CheckNamed(name, text);
    const std::string picked = kNames[text.size() % (sizeof kNames / sizeof kNames[0])];
    CheckNamed(picked, text);
    TESSERA_FUZZ_REQUIRE(
        Transcoder::UTF8ToEncoding(text, "utf-8") == Transcoder::UTF16ToUTF8(Transcoder::UTF8ToUTF16(text)),
        Quote(text));
    CheckEncodedURI(name, text);
    CheckEncodedURI(picked, text);

    const std::wstring wide = Transcoder::filesytemToUTF16(text);
    TESSERA_FUZZ_REQUIRE(AllUnits16(wide), Quote(text));
    Transcoder::asFilesystemString(AsUnits(text));
}

}  // namespace tessera::fuzz
