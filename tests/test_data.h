// Locating the real-world inputs (URL corpora, texts) that tests read.
#ifndef TESSERA_TESTS_TEST_DATA_H
#define TESSERA_TESTS_TEST_DATA_H

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace tessera_test {

/// The data folder: $TESSERA_DATA_DIR if set, else the folder configured at build time.
inline std::string DataDir() {
    if (const char* env = std::getenv("TESSERA_DATA_DIR"); env && *env) return env;
    return TESSERA_DATA_DIR;
}

/// The whole content of a file below the data folder; empty if it cannot be read.
inline std::string ReadDataFile(const std::string& relativePath) {
    std::ifstream in(DataDir() + "/" + relativePath, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

/// The non-empty lines of a URL list below urls/ (a leading byte-order mark dropped).
inline std::vector<std::string> ReadUrlCorpus(const std::string& file) {
    std::string text = ReadDataFile("urls/" + file);
    if (text.compare(0, 3, "\xEF\xBB\xBF") == 0) text.erase(0, 3);
    std::vector<std::string> urls;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        if (!line.empty()) urls.push_back(line);
    }
    return urls;
}

}  // namespace tessera_test

#endif
