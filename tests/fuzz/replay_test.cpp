// Replays every seed input (fuzz/corpus/<target>/) and every input a fuzzer once broke
// the library with (fuzz/regressions/<target>/) through the target's check, so that the
// regular builds and the sanitizer presets keep them covered without libFuzzer.
#include <filesystem>
#include <fstream>
#include <iterator>
#include <ostream>
#include <string>

#include <gtest/gtest.h>

#include "checks/check.h"

namespace tessera::fuzz {
// Names a target in test output (the test list shows each parameter).
void PrintTo(const Target& target, std::ostream* out) { *out << target.name; }
}  // namespace tessera::fuzz

namespace {

namespace fs = std::filesystem;
using tessera::fuzz::Target;

// Runs the check on each file in the folder; returns how many files there were.
std::size_t Replay(const Target& target, const fs::path& folder) {
    if (!fs::is_directory(folder)) return 0;
    std::size_t files = 0;
    for (const auto& entry : fs::directory_iterator(folder)) {
        if (!entry.is_regular_file()) continue;
        ++files;
        std::ifstream in(entry.path(), std::ios::binary);
        const std::string input{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
        try {
            target.check(reinterpret_cast<const std::uint8_t*>(input.data()), input.size());
        } catch (const tessera::fuzz::PropertyViolation& violation) {
            ADD_FAILURE() << entry.path().string() << ": " << violation.what();
        }
    }
    return files;
}

class FuzzReplay : public testing::TestWithParam<Target> {
protected:
    static void SetUpTestSuite() { tessera::fuzz::ThrowOnViolation(true); }
    static void TearDownTestSuite() { tessera::fuzz::ThrowOnViolation(false); }
};

TEST_P(FuzzReplay, SeedCorpus) {
    const fs::path folder = fs::path(TESSERA_FUZZ_DIR) / "corpus" / GetParam().name;
    EXPECT_GT(Replay(GetParam(), folder), 0u) << "no seed inputs in " << folder.string();
}

TEST_P(FuzzReplay, FoundInputs) { Replay(GetParam(), fs::path(TESSERA_FUZZ_DIR) / "regressions" / GetParam().name); }

INSTANTIATE_TEST_SUITE_P(Targets, FuzzReplay, testing::ValuesIn(tessera::fuzz::Targets()),
                         [](const testing::TestParamInfo<Target>& info) { return std::string(info.param.name); });

}  // namespace
