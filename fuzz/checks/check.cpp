// What the checks share: violation reporting, input splitting and the target table.
#include "check.h"

#include <cstdio>
#include <cstdlib>

namespace tessera::fuzz {

namespace {
bool g_throwOnViolation = false;
}  // namespace

void ThrowOnViolation(bool enable) { g_throwOnViolation = enable; }

void Violation(const char* check, const char* property, const std::string& detail) {
    std::string message = std::string(check) + ": property broken: " + property;
    if (!detail.empty()) message += " [" + detail + "]";
    if (g_throwOnViolation) throw PropertyViolation(message);
    std::fprintf(stderr, "%s\n", message.c_str());
    std::fflush(stderr);
    std::abort();
}

std::vector<std::string> SplitFields(const std::uint8_t* data, std::size_t size, std::size_t count) {
    std::vector<std::string> fields;
    const char* text = reinterpret_cast<const char*>(data);
    std::size_t start = 0;
    while (fields.size() + 1 < count) {
        std::size_t end = start;
        while (end < size && text[end] != '\n') ++end;
        fields.emplace_back(text + start, end - start);
        start = end < size ? end + 1 : size;
    }
    fields.emplace_back(text + start, size - start);
    return fields;
}

std::string Quote(const std::string& text) {
    static const char kHex[] = "0123456789ABCDEF";
    std::string out = "\"";
    for (unsigned char c : text) {
        if (c >= 0x20 && c < 0x7F && c != '\\' && c != '"') {
            out += static_cast<char>(c);
        } else {
            out += "\\x";
            out += kHex[c >> 4];
            out += kHex[c & 0xF];
        }
    }
    return out + "\"";
}

const std::vector<Target>& Targets() {
    static const std::vector<Target> kTargets = {
        {"uri_parse", CheckUriParse}, {"uri_escape", CheckUriEscape},  {"uri_relation", CheckUriRelation},
        {"uri_host", CheckUriHost},   {"uri_query", CheckUriQuery},    {"uri_local_path", CheckUriLocalPath},
        {"time_text", CheckTimeText}, {"transcoder", CheckTranscoder},
    };
    return kTargets;
}

}  // namespace tessera::fuzz
