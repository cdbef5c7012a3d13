// The parser's separator searches: the block-wise versions against the byte-by-byte ones,
// on texts that put separators at every offset of a block and across block ends. What the
// positions mean shows in the parser's table.
#include <random>
#include <string>
#include <string_view>
#include <tuple>

#include <gtest/gtest.h>

#include "uri/separator_scan.h"

namespace {

using tessera::uri::ContainsByteIn;
using tessera::uri::FindQueryAndFragment;
using tessera::uri::FindQueryAndFragmentReference;
using tessera::uri::FindSchemeEnd;
using tessera::uri::FindSchemeEndReference;
using tessera::uri::HostPartSeparators;
using tessera::uri::QueryAndFragmentMarks;
using tessera::uri::ScanHostPart;
using tessera::uri::ScanHostPartReference;

// The results as tuples, which compare and print field by field.
auto Fields(const QueryAndFragmentMarks& m) { return std::make_tuple(m.question, m.hash); }
auto Fields(const tessera::uri::SchemeEnd& s) { return std::make_tuple(s.colon, s.upper, s.letters); }
auto Fields(const HostPartSeparators& s) {
    return std::make_tuple(s.slash, s.at, s.firstColon, s.secondColon, s.upper);
}

TEST(SeparatorScan, BlocksAgreeWithBytes) {
    const std::string alphabet = "/@:?#AZaz[]`{%.";
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
        ASSERT_EQ(Fields(FindSchemeEnd(text.data(), end)), Fields(FindSchemeEndReference(text.data(), end)))
            << text.substr(0, end);
        ASSERT_EQ(Fields(ScanHostPart(text.data(), from, end)), Fields(ScanHostPartReference(text.data(), from, end)))
            << text.substr(0, end) << " from " << from;
        const std::string_view part = std::string_view(text).substr(from, end - from);
        ASSERT_EQ(ContainsByteIn(part, text.data(), '%'), part.find('%') != std::string_view::npos)
            << part << " from " << from;
    }
}

}  // namespace
