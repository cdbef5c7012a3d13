// The code-page services' UTF-8 routes, judged by the route through UTF-16 that they
// stand for: for every code page the platform serves, every byte, every lead byte with
// every trail byte and random bytes to UTF-8, and every BMP code point, surrogates,
// invalid UTF-8 and random bytes from UTF-8.
#include "platform/codepage.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "encoding/encoding_table.h"
#include "unicode_text.h"
#ifndef _WIN32
#include "platform/posix/codepage_data.h"
#endif

namespace {

using tessera::platform::kUtf8CodePage;
using tessera_test::SameText;
using tessera_test::Utf8Of;

// Every code page of the encoding table and, on POSIX, of the charset table, that the
// platform serves.
std::vector<std::int32_t> ServedCodePages() {
    std::set<std::int32_t> pages;
    for (const auto& row : tessera::encoding::kEncodingTable) pages.insert(row.codePage);
#ifndef _WIN32
    for (const auto& row : tessera::platform::posix::AllCodePageCharsets()) pages.insert(row.codePage);
#endif
    std::vector<std::int32_t> served;
    std::copy_if(pages.begin(), pages.end(), std::back_inserter(served),
                 [](std::int32_t page) { return tessera::platform::IsCodePageAvailable(page); });
    return served;
}

std::string DirectToUtf8(const std::string& bytes, std::int32_t codePage) {
    return tessera::platform::CodePageToUTF8(bytes.data(), bytes.size(), codePage);
}

std::string DirectFromUtf8(const std::string& utf8, std::int32_t codePage) {
    return tessera::platform::UTF8ToCodePage(utf8.data(), utf8.size(), codePage);
}

std::string ThroughUtf16ToUtf8(const std::string& bytes, std::int32_t codePage) {
    const std::wstring units = tessera::platform::CodePageToUTF16(bytes.data(), bytes.size(), codePage);
    return tessera::platform::UTF16ToCodePage(units.data(), units.size(), kUtf8CodePage);
}

std::string ThroughUtf16FromUtf8(const std::string& utf8, std::int32_t codePage) {
    const std::wstring units = tessera::platform::CodePageToUTF16(utf8.data(), utf8.size(), kUtf8CodePage);
    return tessera::platform::UTF16ToCodePage(units.data(), units.size(), codePage);
}

std::string RandomBytes(std::size_t size, unsigned seed) {
    std::mt19937 generator(seed);
    std::string bytes(size, '\0');
    for (char& byte : bytes) byte = static_cast<char>(generator() & 0xFF);
    return bytes;
}

struct Input {
    std::string name;
    std::string bytes;
};

// Texts in any code page: every byte; for each byte 80-FF, that byte before every trail
// byte (a lead byte of a double-byte page keeps its pairs in step) and at the end; random
// bytes.
std::vector<Input> CodePageInputs() {
    std::vector<Input> inputs;
    std::string everyByte;
    for (int byte = 0; byte < 256; ++byte) everyByte += static_cast<char>(byte);
    inputs.push_back({"every byte", everyByte});
    for (int lead = 0x80; lead < 0x100; ++lead) {
        std::string pairs;
        for (int trail = 0; trail < 256; ++trail) pairs += {static_cast<char>(lead), static_cast<char>(trail)};
        inputs.push_back({"pairs of lead " + std::to_string(lead), pairs + static_cast<char>(lead)});
    }
    inputs.push_back({"random bytes", RandomBytes(1 << 14, 1)});
    return inputs;
}

// UTF-8 texts: every BMP scalar value, every surrogate written as UTF-8 (ill-formed),
// supplementary characters, ill-formed sequences alone and cut short by the end, random
// bytes, and characters and invalid bytes mixed at random.
std::vector<Input> Utf8Inputs() {
    std::vector<Input> inputs;
    std::string bmp, surrogates, supplementary;
    for (char32_t c = 0; c < 0x10000; ++c) (c >= 0xD800 && c <= 0xDFFF ? surrogates : bmp) += Utf8Of(c);
    for (char32_t c = 0x10000; c <= 0x10FFFF; c += 0x3FF) supplementary += Utf8Of(c);
    supplementary += Utf8Of(0x1F600) + Utf8Of(0x10FFFF);
    inputs.push_back({"every BMP scalar value", bmp});
    inputs.push_back({"every surrogate", surrogates});
    inputs.push_back({"supplementary characters", supplementary});
    const char* const illFormed[] = {
        "\x80",         "\xBF",     "\xC0\x80",     "\xC1\xBF",     "\xE0\x80\x80", "\xE0\x9F\xBF", "\xED\xBF\xBF",
        "\xF0\x80\x80", "\xF0\x8F", "\xF4\x90\x80", "\xF5\x80",     "\xFE",         "\xFF",         "\xC3",
        "\xE3\x81",     "\xF0\x9F", "\xF0\x9F\x98", "\xE3\x81\x41", "\xC3\xC3\xA9",
    };
    std::string kanji;  // long enough to be read in blocks
    for (int i = 0; i < 30; ++i) kanji += Utf8Of(0x4E2D);
    for (const char* sequence : illFormed) {
        inputs.push_back({"ill-formed " + testing::PrintToString(std::string(sequence)), std::string("a") + sequence});
        inputs.push_back({"ill-formed after kanji " + testing::PrintToString(std::string(sequence)), kanji + sequence});
        inputs.push_back(
            {"ill-formed inside " + testing::PrintToString(std::string(sequence)), std::string("a") + sequence + "z"});
    }
    inputs.push_back({"random bytes", RandomBytes(1 << 14, 2)});
    std::mt19937 generator(3);
    std::string mixed;
    while (mixed.size() < (1 << 14)) {
        const auto draw = generator();
        mixed += draw % 4 == 0 ? std::string(1, static_cast<char>(0x80 + draw / 4 % 0x80))
                               : Utf8Of(static_cast<char32_t>(draw / 4 % 0x3000));
    }
    inputs.push_back({"characters and invalid bytes", mixed});
    return inputs;
}

using Conversion = std::string (*)(const std::string&, std::int32_t);

struct Route {
    const char* name;
    std::vector<Input> inputs;
    Conversion direct;
    Conversion reference;
};

TEST(CodePageUtf8, RoutesGiveWhatTheRouteThroughUtf16Gives) {
    const Route routes[] = {
        {"to UTF-8", CodePageInputs(), DirectToUtf8, ThroughUtf16ToUtf8},
        {"from UTF-8", Utf8Inputs(), DirectFromUtf8, ThroughUtf16FromUtf8},
    };
    for (const std::int32_t codePage : ServedCodePages()) {
        for (const Route& route : routes) {
            for (const Input& input : route.inputs) {
                EXPECT_TRUE(SameText(route.direct(input.bytes, codePage), route.reference(input.bytes, codePage)))
                    << route.name << ", code page " << codePage << ", " << input.name;
            }
        }
    }
}

TEST(CodePageUtf8, TextLongerThanAWindowOfUnitsReadsAsThroughUtf16) {
    // Each page's own form of supplementary and other characters, long enough to be read
    // in several windows of units, at a few offsets, so that windows end at each place in
    // the text's cycle.
    std::string characters;
    for (int i = 0; i < 6000; ++i) characters += Utf8Of(0x1F600) + (i % 7 == 0 ? Utf8Of(0x4E2D) : "b");
    for (const std::int32_t codePage : ServedCodePages()) {
        for (int offset = 0; offset < 3; ++offset) {
            const std::string bytes = DirectFromUtf8(std::string(offset, 'a') + characters, codePage);
            EXPECT_TRUE(SameText(DirectToUtf8(bytes, codePage), ThroughUtf16ToUtf8(bytes, codePage)))
                << "code page " << codePage << ", offset " << offset;
        }
    }
}

}  // namespace
