// The scan-pattern reader of the time-stamp text forms: sscanf's "%Nd" rules, by hand.
#include "time/field_scanner.h"

namespace tessera::time {
namespace {

bool IsSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

int ScanFields(const char* text, std::size_t size, const char* pattern, int* values) {
    const char* p = text;
    const char* const end = text + size;
    const auto atEnd = [&p, end] { return p == end || *p == '\0'; };
    // Running out of text is an input failure: sscanf's EOF when nothing was stored yet.
    int count = 0;
    const auto ranOut = [&count] { return count == 0 ? -1 : count; };

    for (const char* f = pattern; *f != '\0'; ++f) {
        if (*f != '%') {
            if (atEnd()) return ranOut();
            if (*p != *f) return count;
            ++p;
            continue;
        }
        int width = 0;
        for (++f; IsDigit(*f); ++f) width = width * 10 + (*f - '0');
        // *f is the conversion letter 'd'.
        while (!atEnd() && IsSpace(*p)) ++p;
        if (atEnd()) return ranOut();
        const bool negative = *p == '-';
        if (*p == '-' || *p == '+') {
            ++p;
            --width;
        }
        int value = 0;
        int digits = 0;
        for (; width > 0 && !atEnd() && IsDigit(*p); ++p, --width, ++digits) {
            value = value * 10 + (*p - '0');
        }
        if (digits == 0) return count;
        values[count++] = negative ? -value : value;
    }
    return count;
}

}  // namespace tessera::time
