// The parser's separator searches: the block-wise versions against the byte-by-byte ones,
// on texts that put separators at every offset of a block and across block ends.
#include <random>
#include <string>

#include <gtest/gtest.h>

#include "uri/separator_scan.h"

namespace {

using tessera::uri::FindQueryAndFragment;
using tessera::uri::FindQueryAndFragmentReference;
using tessera::uri::HostPartSeparators;
using tessera::uri::QueryAndFragmentMarks;
using tessera::uri::ScanHostPart;
using tessera::uri::ScanHostPartReference;

std::string Show(const QueryAndFragmentMarks& m) { return std::to_string(m.question) + "," + std::to_string(m.hash); }

std::string Show(const HostPartSeparators& s) {
    return std::to_string(s.slash) + "," + std::to_string(s.at) + "," + std::to_string(s.firstColon) + "," +
           std::to_string(s.secondColon) + (s.upper ? ",upper" : "");
}

TEST(SeparatorScan, KnownTexts) {
    const std::string text = "http://Me:pw@[fe80::1]:8080/a?b?c#d#e";
    EXPECT_EQ(Show(FindQueryAndFragment(text.data(), text.size())), "29,35");
    EXPECT_EQ(Show(FindQueryAndFragment("a#b?c#d", 7)), "3,5");
    EXPECT_EQ(Show(FindQueryAndFragment("ab#c?d", 6)), "2,2");  // no '?' before the last '#'
    EXPECT_EQ(Show(ScanHostPart(text.data(), 7, text.size())), "27,12,18,19,upper");
    // Colons before the '@' are the password's, and the first '@' is the one that counts.
    EXPECT_EQ(Show(ScanHostPart("//a:b:c@h@i:1/x", 2, 15)), "13,7,11,15");
    EXPECT_EQ(Show(ScanHostPart("//hostname.example.com", 2, 22)), "22,22,22,22");
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
        ASSERT_EQ(Show(FindQueryAndFragment(text.data(), end)), Show(FindQueryAndFragmentReference(text.data(), end)))
            << text.substr(0, end);
        ASSERT_EQ(Show(ScanHostPart(text.data(), from, end)), Show(ScanHostPartReference(text.data(), from, end)))
            << text.substr(0, end) << " from " << from;
    }
}

}  // namespace
