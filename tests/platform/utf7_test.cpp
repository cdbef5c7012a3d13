// UTF-7 both ways. The expected results are what Windows gives for the same input (checked
// under Wine); the UTF-8 forms must be the library's UTF-8 of the units.
#ifndef _WIN32

#include "platform/posix/utf7.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "unicode/utf8_utf16_reference.h"
#include "unicode_text.h"

namespace {

using tessera::platform::posix::DecodeUtf7;
using tessera::platform::posix::DecodeUtf7ToUtf8;
using tessera::platform::posix::EncodeUtf7;
using tessera::platform::posix::EncodeUtf8AsUtf7;
using tessera_test::SameText;
using tessera_test::Units;

struct Case {
    std::string bytes;
    std::wstring units;
};

const Case kReadCases[] = {
    // Outside a run every byte stands for itself; "+-" is "+".
    {"a+-b", Units({'a', '+', 'b'})},
    {"\x80\xFF", Units({0x80, 0xFF})},
    {std::string("a\0z", 3), Units({'a', 0, 'z'})},
    {"-~\\", Units({'-', '~', '\\'})},
    // Runs ended by "-" (dropped), by another byte (kept) and by the end of the text.
    {"+AGE- hello", Units({'a', ' ', 'h', 'e', 'l', 'l', 'o'})},
    {"+AGEAYQ z", Units({'a', 'a', ' ', 'z'})},
    {"+AGEAYgBj", Units({'a', 'b', 'c'})},
    {"+", Units({})},
    {"x+", Units({'x'})},
    {"+ZeVnLIqe-", Units({0x65E5, 0x672C, 0x8A9E})},
    // Paired and lone surrogates pass as they come; "+" inside a run is base64.
    {"+2D3eAA-", Units({0xD83D, 0xDE00})},
    {"+2D3e- x", Units({0xD83D, ' ', 'x'})},
    {"+AGE+AGE- x", Units({'a', 0x3E00, ' ', 'x'})},
    {"+AAA- z", Units({0, ' ', 'z'})},
    {"+///- z", Units({0xFFFF, ' ', 'z'})},
    // Bits left over are dropped where the run ends: the text after it stays as it is.
    {"+a- hello", Units({' ', 'h', 'e', 'l', 'l', 'o'})},
    {"+AG hello", Units({' ', 'h', 'e', 'l', 'l', 'o'})},
    {"+AGEA hello", Units({'a', ' ', 'h', 'e', 'l', 'l', 'o'})},
    {"+AGEAY- z", Units({'a', ' ', 'z'})},
    // A byte 80-FF ends a run, stands for itself and keeps the bits for the next run.
    {"+a\xD0 hello", Units({0xD0, ' ', 'h', 'e', 'l', 'l', 'o'})},
    {"+\xD0x", Units({0xD0, 'x'})},
    {"+A\xD0x-y", Units({0xD0, 'x', '-', 'y'})},
    {"+Q\xFF-+QZ\x80", Units({0xFF, '-', 0x4106, 0x80})},
    {std::string("x+e\0+393=", 9), Units({'x', 0, 0xDFDD, '='})},
};

TEST(Utf7, ReadsAsWindows) {
    for (const Case& c : kReadCases) {
        EXPECT_TRUE(SameText(DecodeUtf7(c.bytes.data(), c.bytes.size()), c.units)) << testing::PrintToString(c.bytes);
    }
}

// Random mixes of run starts, run ends, base64 characters and bytes that cut runs short,
// whose plain words must all come through, in both forms.
TEST(Utf7, KeepsThePlainTextAfterBrokenRunsInBothForms) {
    const char* const pieces[] = {"+", "-", "+-", "A", "G", "E", "a", "/", "9", "\x80", "\xFF", " ", "=", "+2D3e"};
    std::mt19937 generator(7);
    for (int i = 0; i < 2000; ++i) {
        std::string text;
        for (std::size_t j = generator() % 12; j > 0; --j) text += pieces[generator() % std::size(pieces)];
        text += " plain words.";
        const std::wstring units = DecodeUtf7(text.data(), text.size());
        EXPECT_EQ(units.substr(units.size() - 13), L" plain words.") << testing::PrintToString(text);
        EXPECT_TRUE(SameText(DecodeUtf7ToUtf8(text.data(), text.size()),
                             tessera::unicode::ReferenceUtf16ToUtf8(units.data(), units.size())))
            << testing::PrintToString(text);
    }
}

const Case kWriteCases[] = {
    // Letters, digits, space, tab, CR, LF, NUL and ' ( ) , - . / : ? stand for themselves.
    {std::string("Az09 \t\r\n'(),-./:?\0", 18),
     Units({'A', 'z', '0', '9', ' ', '\t', '\r', '\n', '\'', '(', ')', ',', '-', '.', '/', ':', '?', 0})},
    {"a+-b", Units({'a', '+', 'b'})},
    // Every run ends with "-", whatever follows; "+" ends a run too.
    {"A+IKw-b", Units({'A', 0x20AC, 'b'})},
    {"A+IKw--", Units({'A', 0x20AC, '-'})},
    {"+IKw-+-", Units({0x20AC, '+'})},
    {"+IKwgrAAh-", Units({0x20AC, 0x20AC, '!'})},
    // The rest of ASCII is base64.
    {"+ACEAIgAjACQAJQAmACoAOwA8AD0APgBAAFsAXABdAF4AXwBgAHsAfAB9AH4-",
     Units({'!', '"', '#',  '$', '%', '&', '*', ';', '<', '=', '>',
            '@', '[', '\\', ']', '^', '_', '`', '{', '|', '}', '~'})},
    {"+AAE-", Units({1})},
    // Surrogates as they come, paired or not.
    {"+2D3eAA-", Units({0xD83D, 0xDE00})},
    {"aA+-+2AA-", Units({'a', 'A', '+', 0xD800})},
    {"+3AA-..", Units({0xDC00, '.', '.'})},
};

TEST(Utf7, WritesAsWindows) {
    for (const Case& c : kWriteCases) {
        EXPECT_EQ(EncodeUtf7(c.units.data(), c.units.size()), c.bytes) << testing::PrintToString(c.units);
    }
}

// Random units (lone surrogates among them) come back as they were, and as their UTF-8;
// from UTF-8, the result is that of the library's UTF-16 form of the text. The last texts
// are long enough to be written and read in many pieces.
TEST(Utf7, WritesWhatItReadsBackAndUtf8AsItsUnits) {
    const std::uint32_t palette[] = {'a',  ' ',    '+',    '-',    '!',    '~',    0,
                                     0xE9, 0x20AC, 0xD83D, 0xDE00, 0xD800, 0xFFFF, 0x3042};
    std::mt19937 generator(7);
    for (int i = 0; i < 2003; ++i) {
        std::wstring units;
        const std::size_t length = i < 2000 ? generator() % 16 : 100000;
        for (std::size_t j = length; j > 0; --j) units += static_cast<wchar_t>(palette[generator() % 14]);
        const std::string written = EncodeUtf7(units.data(), units.size());
        EXPECT_TRUE(SameText(DecodeUtf7(written.data(), written.size()), units)) << written;
        const std::string utf8 = tessera::unicode::ReferenceUtf16ToUtf8(units.data(), units.size());
        EXPECT_TRUE(SameText(DecodeUtf7ToUtf8(written.data(), written.size()), utf8)) << written;
        const std::wstring read = tessera::unicode::ReferenceUtf8ToUtf16(utf8.data(), utf8.size());
        EXPECT_EQ(EncodeUtf8AsUtf7(utf8.data(), utf8.size()), EncodeUtf7(read.data(), read.size()))
            << testing::PrintToString(utf8);
    }
}

}  // namespace

#endif  // _WIN32
