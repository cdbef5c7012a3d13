// codepage-dump: writes what this build's code-page layer does with every code page of
// the encoding table, as lines of text that tools/codepage-dump/compare_dumps.py compares
// between two builds (this platform's layer against the one built for Windows).
//
//   page CP served|unserved        whether the layer converts code page CP
//   d CP BYTES UNITS               BYTES (hex) decode to the UTF-16 UNITS (hex, '-' for none)
//   default CP BYTES               what U+FFFF encodes to: the code page's default character
//   e CP CODEPOINT BYTES           a BMP code point that encodes to something else than the
//                                  default (BYTES '-' for nothing)
//
// Decoded: every single byte, and for multi-byte code pages every lead byte 0x80-0xFF with
// every trail byte, and a fixed set of longer sequences (shift states, escapes, truncation);
// for UTF-7 also four thousand generated mixes of base64 runs and the bytes that end them.
// Encoded: every BMP code point outside the surrogates, one at a time.
#include <cstdint>
#include <cstdio>
#include <iterator>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "encoding/encoding_table.h"
#include "platform/codepage.h"

namespace {

// Code pages whose characters can take more than one byte, or that keep a shift state.
const std::set<std::int32_t> kMultiBytePages = {
    932,   936,   949,   950,   1361,  10001, 10002, 10003, 10008, 20000, 20002, 20932, 50220, 50221, 50222,
    50225, 50227, 50229, 50930, 50931, 50933, 50935, 50936, 50937, 50939, 51932, 51936, 51949, 51950, 52936,
    54936, 57002, 57003, 57004, 57005, 57006, 57007, 57008, 57009, 57010, 57011, 65000, 65001,
};

// Longer sequences for the multi-byte code pages: shift states and escapes of the stateful
// ones, three-byte forms, and sequences cut short at the end of the text.
const char* const kLongerSamples[] = {
    "\x1b$B\x30\x21\x1b(B",     // two-byte set designated by escape, back to ASCII
    "\x1b$B\x30\x21",           // ... not switched back
    "\x1b(I\x31\x1b(B",         // one-byte katakana by escape
    "\x0e\x31\x0f",             // katakana by shift-out / shift-in
    "\x1b$)C\x0e\x30\x21\x0f",  // designated and shifted
    "\x1b$A\x30\x21\x1b(B",     // another two-byte set
    "\x1b$(D\x30\x21\x1b(B",    // a supplementary two-byte set
    "\x1bx",                    // an escape that designates nothing
    "~{\x30\x21~}",             // tilde-brace shifts
    "~{\x30\x21",               // ... not shifted back
    "~~",                       // escaped tilde
    "~\n",                      // line continuation
    "~x",                       // a tilde before anything else
    "+AGEAYgBj-",               // base64 run
    "+ZeVnLIqe-",               // base64 run of three CJK characters
    "+AGE",                     // run cut short
    "a+-b",                     // escaped plus
    "+2D3eAA-",                 // surrogate pair
    "+2D0-",                    // lone high surrogate
    "+AG!",                     // a run ended by a non-base64 byte
    "+a- hello",                // ... with bits left over, then plain text
    "+AGEA hello",
    "+a\xd0 hello",      // a run ended by a byte 80-FF
    "+Q\xff-+QZ",        // ... whose bits count towards the next run
    "\x8f\xa2\xaf",      // three-byte form
    "\x8f\xa2",          // ... cut short
    "\x8e\xb1",          // single-shift two
    "\x0e\x41\x41\x0f",  // shift-out double-byte, shift-in
    "\x0e\x45\x41\x0f",
    "\x0e\x40\x40\x0f",
    "\x0e\x41\x0f",  // shift-out with an odd byte
    "\x0e\x41\x41",  // not shifted back
    "\x81",          // lone lead byte at the end
    "A\x81",
    "\x81\x30\x81\x30",  // four-byte form
    "\xe3\x81\x82",      // a three-byte character
    "\xe3\x81",          // ... cut short
    "\xc0\x80",          // overlong
    "\xed\xa0\x80",      // an encoded surrogate
    "\xf0\x9f\x98\x80",  // a four-byte character
    "\xf4\x90\x80\x80",  // beyond U+10FFFF
    "\xda\x81\xdb\xa0",  // combining sequences of the Indic scripts
    "\xe8\xe8",
    "\xe9\xe9",
    "\xef\x41\xa4",  // attribute switch
};

// UTF-7 texts of run starts and ends, base64 characters and bytes that cut runs short,
// where two readings of base64 runs part most easily; the same on every platform. ("+" is
// there twice, so that runs start often.)
std::vector<std::string> Utf7Mixes() {
    const std::string pieces[] = {"+", "-",   "+-",   "A",    "G",    "E", "a", "Q", "Z", "/", "9",
                                  "+", "2D3", "\x80", "\xD0", "\xFF", " ", "=", "x", "!", "~", {'\0'}};
    std::mt19937 generator(65000);
    std::vector<std::string> texts;
    for (int i = 0; i < 4096; ++i) {
        std::string text;
        for (auto n = generator() % 16; n > 0; --n) text += pieces[generator() % std::size(pieces)];
        texts.push_back(text);
    }
    return texts;
}

void PrintHex(std::FILE* out, const std::string& bytes) {
    if (bytes.empty()) {
        std::fputc('-', out);
        return;
    }
    for (unsigned char byte : bytes) std::fprintf(out, "%02X", byte);
}

void PrintUnits(std::FILE* out, const std::wstring& units) {
    if (units.empty()) {
        std::fputc('-', out);
        return;
    }
    const char* separator = "";
    for (wchar_t unit : units) {
        std::fprintf(out, "%s%04X", separator, static_cast<unsigned>(unit) & 0xFFFFu);
        separator = ",";
    }
}

void DumpDecode(std::FILE* out, std::int32_t codePage, const std::string& bytes) {
    std::fprintf(out, "d %ld ", static_cast<long>(codePage));
    PrintHex(out, bytes);
    std::fputc(' ', out);
    PrintUnits(out, tessera::platform::CodePageToUTF16(bytes.data(), bytes.size(), codePage));
    std::fputc('\n', out);
}

std::string Encode(std::int32_t codePage, wchar_t unit) {
    return tessera::platform::UTF16ToCodePage(&unit, 1, codePage);
}

void DumpCodePage(std::FILE* out, std::int32_t codePage) {
    const bool served = tessera::platform::IsCodePageAvailable(codePage);
    std::fprintf(out, "page %ld %s\n", static_cast<long>(codePage), served ? "served" : "unserved");
    if (!served) return;

    for (int byte = 0; byte < 0x100; ++byte) DumpDecode(out, codePage, std::string(1, static_cast<char>(byte)));
    if (kMultiBytePages.count(codePage) != 0) {
        for (int lead = 0x80; lead < 0x100; ++lead) {
            for (int trail = 0; trail < 0x100; ++trail) {
                DumpDecode(out, codePage, {static_cast<char>(lead), static_cast<char>(trail)});
            }
        }
        for (const char* sample : kLongerSamples) DumpDecode(out, codePage, sample);
    }
    if (codePage == 65000) {
        for (const std::string& text : Utf7Mixes()) DumpDecode(out, codePage, text);
    }

    const std::string defaultBytes = Encode(codePage, 0xFFFF);
    std::fprintf(out, "default %ld ", static_cast<long>(codePage));
    PrintHex(out, defaultBytes);
    std::fputc('\n', out);
    for (std::uint32_t codePoint = 0; codePoint < 0x10000; ++codePoint) {
        if (codePoint >= 0xD800 && codePoint < 0xE000) continue;
        const std::string bytes = Encode(codePage, static_cast<wchar_t>(codePoint));
        if (bytes == defaultBytes) continue;
        std::fprintf(out, "e %ld %04X ", static_cast<long>(codePage), static_cast<unsigned>(codePoint));
        PrintHex(out, bytes);
        std::fputc('\n', out);
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2 || argv[1][0] == '-') {
        std::fprintf(stderr, "usage: codepage-dump OUTPUT-FILE\n");
        return 2;
    }
    std::FILE* out = std::fopen(argv[1], "wb");
    if (out == nullptr) {
        std::perror(argv[1]);
        return 1;
    }
    std::set<std::int32_t> codePages;
    for (const tessera::encoding::EncodingRow& row : tessera::encoding::kEncodingTable) {
        codePages.insert(row.codePage);
    }
    for (std::int32_t codePage : codePages) DumpCodePage(out, codePage);
    return std::fclose(out) == 0 ? 0 : 1;
}
