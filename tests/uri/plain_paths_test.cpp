// The checks for plain paths, queries and fragments: the block-wise versions against the
// byte-by-byte ones, on texts that put every byte value, '/' and '.' at every offset of a
// block and across block ends, and on short paths read as the end of a block of the
// buffer that holds them.
#include <random>
#include <string>
#include <string_view>

#include <gtest/gtest.h>

#include "uri/plain_paths.h"

namespace {

using tessera::uri::IsPlainPath;
using tessera::uri::IsPlainPathReference;
using tessera::uri::IsPlainQuery;
using tessera::uri::IsPlainQueryReference;
using tessera::uri::IsPlainText;
using tessera::uri::IsPlainTextReference;

// Checks one text, standing alone and as the end of a buffer with `before` bytes ahead of it.
void ExpectAgreement(const std::string& text, std::size_t before) {
    const std::string buffer = std::string(before, '/') + text;
    const std::string_view inBuffer = std::string_view(buffer).substr(before);
    const bool path = IsPlainPathReference(text);
    ASSERT_EQ(IsPlainPath(text), path) << text;
    ASSERT_EQ(IsPlainPath(inBuffer, buffer.data()), path) << text << " after " << before;
    const bool plainText = IsPlainTextReference(text), plainQuery = IsPlainQueryReference(text);
    ASSERT_EQ(IsPlainText(text), plainText) << text;
    ASSERT_EQ(IsPlainText(inBuffer, buffer.data()), plainText) << text << " after " << before;
    ASSERT_EQ(IsPlainQuery(text), plainQuery) << text;
    ASSERT_EQ(IsPlainQuery(inBuffer, buffer.data()), plainQuery) << text << " after " << before;
}

TEST(PlainPaths, EveryByteAtEveryOffset) {
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
}

TEST(PlainPaths, SegmentsAgreeWithBytes) {
    const std::string alphabet = "//..a%?:";
    std::mt19937 random(20261206);
    for (int round = 0; round < 40000; ++round) {
        std::string text(random() % 40, 'x');
        for (char& c : text) {
            if (random() % 3 == 0) c = alphabet[random() % alphabet.size()];
        }
        ExpectAgreement(text, random() % 20);
    }
}

}  // namespace
