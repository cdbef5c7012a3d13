// The parser's separator searches: the block-wise versions against the byte-by-byte ones,
// on texts that put separators at every offset of a block and across block ends.
#include <random>
#include <string>
#include <tuple>

#include <gtest/gtest.h>

#include "uri/separator_scan.h"

namespace {

using tessera::uri::FindQueryAndFragment;
using tessera::uri::FindQueryAndFragmentReference;
using tessera::uri::HostPartSeparators;
using tessera::uri::QueryAndFragmentMarks;
using tessera::uri::ScanHostPart;
using tessera::uri::ScanHostPartReference;

// The results as tuples, which compare and print field by field.
auto Fields(const QueryAndFragmentMarks& m) { return std::make_tuple(m.question, m.hash); }
auto Fields(const HostPartSeparators& s) {
    return std::make_tuple(s.slash, s.at, s.firstColon, s.secondColon, s.upper);
}

const char kLong[] = "http://Me:pw@[fe80::1]:8080/a?b?c#d#e";

TEST(SeparatorScan, QueryAndFragmentMarksOfKnownTexts) {
    const struct {
        const char* text;
        std::size_t question, hash;
    } cases[] = {
        {kLong, 29, 35},
        {"a#b?c#d", 3, 5},
        {"ab#c?d", 2, 2},  // no '?' before the last '#'
        {"abc", 3, 3},
    };
    for (const auto& c : cases) {
        const std::size_t size = std::char_traits<char>::length(c.text);
        EXPECT_EQ(Fields(FindQueryAndFragment(c.text, size)), std::make_tuple(c.question, c.hash)) << c.text;
        EXPECT_EQ(Fields(FindQueryAndFragmentReference(c.text, size)), std::make_tuple(c.question, c.hash)) << c.text;
    }
}

TEST(SeparatorScan, HostPartSeparatorsOfKnownTexts) {
    const struct {
        const char* text;
        std::size_t from, end;
        std::size_t slash, at, firstColon, secondColon;
        bool upper;
    } cases[] = {
        {kLong, 7, sizeof kLong - 1, 27, 12, 18, 19, true},
        // Colons before the '@' are the password's, and the first '@' is the one that counts.
        {"//a:b:c@h@i:1/x", 2, 15, 13, 7, 11, 15, false},
        {"//hostname.example.com", 2, 22, 22, 22, 22, 22, false},
    };
    for (const auto& c : cases) {
        const auto expected = std::make_tuple(c.slash, c.at, c.firstColon, c.secondColon, c.upper);
        EXPECT_EQ(Fields(ScanHostPart(c.text, c.from, c.end)), expected) << c.text;
        EXPECT_EQ(Fields(ScanHostPartReference(c.text, c.from, c.end)), expected) << c.text;
    }
}

TEST(SeparatorScan, BlocksAgreeWithBytes) {
    const std::string alphabet = "/@:?#AZaz[]%.";
    std::mt19937 random(20261205);
    for (int round = 0; round < 40000; ++round) {
        std::string text(random() % 80, 'x');
        for (char& c : text) {
            if (random() % 4 == 0) c = alphabet[random() % alphabet.size()];
        }
        const std::size_t end = text.empty() ? 0 : random() % (text.size() + 1);
        const std::size_t from = end == 0 ? 0 : random() % (end + 1);
        ASSERT_EQ(Fields(FindQueryAndFragment(text.data(), end)),
                  Fields(FindQueryAndFragmentReference(text.data(), end)))
            << text.substr(0, end);
        ASSERT_EQ(Fields(ScanHostPart(text.data(), from, end)), Fields(ScanHostPartReference(text.data(), from, end)))
            << text.substr(0, end) << " from " << from;
    }
}

}  // namespace
