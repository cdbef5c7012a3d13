// Every URL of the real-world corpora parses, and writes back as it was written apart
// from what the parser normalises.
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <tessera/URI.h>

#include "test_data.h"

namespace {

// The text as the parser stores it: scheme and host lower-cased; an empty query or
// fragment dropped together with its '?' or '#'; no "//" without a host.
std::string Normalised(std::string text) {
    const std::size_t colon = text.find(':');
    std::size_t hostEnd = colon;
    if (text.compare(colon, 3, "://") == 0) {
        hostEnd = text.find_first_of("/?#", colon + 3);
        if (hostEnd == std::string::npos) hostEnd = text.size();
    }
    for (std::size_t i = 0; i < hostEnd; ++i) {
        if (text[i] >= 'A' && text[i] <= 'Z') text[i] = static_cast<char>(text[i] + 32);
    }
    if (hostEnd == colon + 3 && text.compare(0, colon, "file") != 0) text.erase(colon + 1, 2);  // no host
    if (!text.empty() && text.back() == '#') text.pop_back();
    const std::size_t question = text.find('?');
    if (question != std::string::npos && (question + 1 == text.size() || text[question + 1] == '#')) {
        text.erase(question, 1);
    }
    return text;
}

// A backslash before the query and fragment makes a URL invalid.
bool HasBackslashInPath(const std::string& text) {
    const std::string beforeFragment = text.substr(0, text.rfind('#'));
    return beforeFragment.substr(0, beforeFragment.find('?')).find('\\') != std::string::npos;
}

void CheckCorpus(const std::string& file) {
    const std::vector<std::string> lines = tessera_test::ReadUrlCorpus(file);
    ASSERT_GT(lines.size(), 1000u) << "corpus not found: set TESSERA_DATA_DIR";
    for (const std::string& line : lines) {
        const Varn::URI uri(line);
        if (HasBackslashInPath(line)) {
            EXPECT_FALSE(uri.IsValidURI()) << line;
            continue;
        }
        ASSERT_TRUE(uri.IsValidURI()) << line;
        const std::string written = uri.ToString(false);
        EXPECT_EQ(written, Normalised(line));
        EXPECT_EQ(Varn::URI(written).ToString(false), written) << line;
    }
}

TEST(Corpus, WebURLsRoundTrip) { CheckCorpus("kasztp.txt"); }

TEST(Corpus, FileAndModuleURLsRoundTrip) { CheckCorpus("isaacs_files.txt"); }

}  // namespace
