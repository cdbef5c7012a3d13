// The block-wise scans against their byte-by-byte versions: the parser's separator
// searches, on texts that put separators at every offset of a block and across block ends
// (what the positions mean shows in the parser's table); and the checks for plain paths,
// queries and fragments, on texts that put every byte value, '/' and '.' at every offset
// and on short paths read as the end of a block of the buffer that holds them.
#include <random>
#include <string>
#include <string_view>
#include <tuple>

#include <gtest/gtest.h>

#include "uri/plain_paths.h"
#include "uri/separator_scan.h"

namespace {

namespace uri = tessera::uri;

// length bytes of 'x', about one in oneIn of them replaced by a byte of alphabet.
std::string RandomText(std::mt19937& random, std::size_t length, std::string_view alphabet, unsigned oneIn) {
    std::string text(length, 'x');
    for (char& c : text) {
        if (random() % oneIn == 0) c = alphabet[random() % alphabet.size()];
    }
    return text;
}

// The results as tuples, which compare and print field by field.
auto Fields(const uri::QueryAndFragmentMarks& m) { return std::make_tuple(m.question, m.hash); }
auto Fields(const uri::SchemeEnd& s) { return std::make_tuple(s.colon, s.upper, s.letters); }
auto Fields(const uri::HostPartSeparators& s) {
    return std::make_tuple(s.slash, s.at, s.firstColon, s.secondColon, s.upper);
}

TEST(SeparatorScan, BlocksAgreeWithBytes) {
    std::mt19937 random(20261205);
    for (int round = 0; round < 40000; ++round) {
        const std::string text = RandomText(random, random() % 80, "/@:?#AZaz[]`{%.\\", 4);
        const std::size_t end = text.empty() ? 0 : random() % (text.size() + 1);
        const std::size_t from = end == 0 ? 0 : random() % (end + 1);
        ASSERT_EQ(Fields(uri::FindQueryAndFragment(text.data(), end)),
                  Fields(uri::FindQueryAndFragmentReference(text.data(), end)))
            << text.substr(0, end);
        ASSERT_EQ(Fields(uri::FindSchemeEnd(text.data(), end)), Fields(uri::FindSchemeEndReference(text.data(), end)))
            << text.substr(0, end);
        // The rest of the text may be read too: a short text is then one masked block.
        const uri::QueryAndFragmentMarks marks = uri::FindQueryAndFragmentReference(text.data(), end);
        const uri::TextMarks all = uri::FindTextMarks(text.data(), end, text.size());
        ASSERT_EQ(Fields(all.queryAndFragment), Fields(marks)) << text.substr(0, end);
        ASSERT_EQ(Fields(all.scheme), Fields(uri::FindSchemeEndReference(text.data(), marks.question)))
            << text.substr(0, end);
        ASSERT_TRUE(all.mayHoldBackslash || text.substr(0, marks.question).find('\\') == std::string::npos)
            << text.substr(0, end);
        ASSERT_EQ(Fields(uri::ScanHostPart(text.data(), from, end)),
                  Fields(uri::ScanHostPartReference(text.data(), from, end)))
            << text.substr(0, end) << " from " << from;
        const std::string_view part = std::string_view(text).substr(from, end - from);
        ASSERT_EQ(uri::ContainsByteIn(part, text.data(), '%'), part.find('%') != std::string_view::npos)
            << part << " from " << from;
    }
}

// Checks one text, standing alone and as the end of a buffer with `before` bytes ahead of it.
void ExpectAgreement(const std::string& text, std::size_t before) {
    const std::string buffer = std::string(before, '/') + text;
    const std::string_view inBuffer = std::string_view(buffer).substr(before);
    const bool path = uri::IsPlainPathReference(text);
    ASSERT_EQ(uri::IsPlainPath(text), path) << text;
    ASSERT_EQ(uri::IsPlainPath(inBuffer, buffer.data()), path) << text << " after " << before;
    const bool plainText = uri::IsPlainTextReference(text), plainQuery = uri::IsPlainQueryReference(text);
    ASSERT_EQ(uri::IsPlainText(text), plainText) << text;
    ASSERT_EQ(uri::IsPlainText(inBuffer, buffer.data()), plainText) << text << " after " << before;
    ASSERT_EQ(uri::IsPlainQuery(text), plainQuery) << text;
    ASSERT_EQ(uri::IsPlainQuery(inBuffer, buffer.data()), plainQuery) << text << " after " << before;
}

TEST(PlainPaths, EveryByteAtEveryOffsetAndRandomSegments) {
    for (std::size_t size : {1, 5, 15, 16, 17, 31, 33}) {
        for (std::size_t at = 0; at < size; ++at) {
            for (int b = 0; b < 256; ++b) {
                std::string text(size, 'a');
                text[at] = static_cast<char>(b);
                ExpectAgreement(text, 16);
                ExpectAgreement("/" + text, 3);
            }
        }
    }
    std::mt19937 random(20261206);
    for (int round = 0; round < 40000; ++round) {
        const std::string text = RandomText(random, random() % 40, "//..a%?:", 3);
        ExpectAgreement(text, random() % 20);
    }
}

}  // namespace
