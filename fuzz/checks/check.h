// The fuzz targets' checks: each takes one input of arbitrary bytes, drives a group of
// library operations with it and verifies properties that must hold for every input.
// The same functions run under libFuzzer (fuzz/fuzz_entry.cpp) and in the regular test
// suite, which replays the seed corpora and the found inputs (tests/fuzz/).
#ifndef TESSERA_FUZZ_CHECK_H
#define TESSERA_FUZZ_CHECK_H

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

namespace tessera::fuzz {

/// One check: drives the library with data and verifies its properties.
using CheckFunction = void (*)(const std::uint8_t* data, std::size_t size);

/// A broken property. Under libFuzzer a violation aborts (the fuzzer keeps the input);
/// in the test suite it is thrown as this exception so that the replay names the file.
class PropertyViolation : public std::logic_error {
public:
    using std::logic_error::logic_error;
};

/// How a violation ends: abort (the default, for libFuzzer) or throw PropertyViolation.
void ThrowOnViolation(bool enable);

/// Reports a broken property: the check, the property and a note on the values.
[[noreturn]] void Violation(const char* check, const char* property, const std::string& detail);

/// Verifies one property; detail is built only when it fails.
#define TESSERA_FUZZ_REQUIRE(cond, detail)                                    \
    do {                                                                      \
        if (!(cond)) ::tessera::fuzz::Violation(kCheckName, #cond, (detail)); \
    } while (0)

/// The input split at its first (count - 1) newlines into count fields; missing fields
/// are empty, and the last field keeps any further newlines.
std::vector<std::string> SplitFields(const std::uint8_t* data, std::size_t size, std::size_t count);

/// Text quoted for a violation message: printable ASCII as is, other bytes as \xHH.
std::string Quote(const std::string& text);

// The checks, one per fuzz target (the name after Check is the target's name).
void CheckUriParse(const std::uint8_t* data, std::size_t size);
void CheckUriEscape(const std::uint8_t* data, std::size_t size);
void CheckUriRelation(const std::uint8_t* data, std::size_t size);
void CheckUriHost(const std::uint8_t* data, std::size_t size);
void CheckUriQuery(const std::uint8_t* data, std::size_t size);
void CheckUriLocalPath(const std::uint8_t* data, std::size_t size);
void CheckTimeText(const std::uint8_t* data, std::size_t size);
void CheckTranscoder(const std::uint8_t* data, std::size_t size);

/// A fuzz target: its name (also its folder under fuzz/corpus and fuzz/regressions).
struct Target {
    const char* name;
    CheckFunction check;
};

/// Every fuzz target, in the order the fuzz script runs them.
const std::vector<Target>& Targets();

}  // namespace tessera::fuzz

#endif
