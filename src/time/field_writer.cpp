// Decimal fields written as printf's "%d" and "%0Nd" write them, without the printf family.
#include "time/field_writer.h"

namespace tessera::time {
namespace {

// "00" "01" ... "99": the two digits of each number below 100.
constexpr char kDigitPairs[] =
    "00010203040506070809"
    "10111213141516171819"
    "20212223242526272829"
    "30313233343536373839"
    "40414243444546474849"
    "50515253545556575859"
    "60616263646566676869"
    "70717273747576777879"
    "80818283848586878889"
    "90919293949596979899";

char* WritePair(char* out, unsigned int value) {
    out[0] = kDigitPairs[2 * value];
    out[1] = kDigitPairs[2 * value + 1];
    return out + 2;
}

}  // namespace

char* WriteDecimal(char* out, int value, int width) {
    // The common shapes of calendar fields: two digits, and four-digit years.
    if (value >= 0 && value <= 99 && width == 2) return WritePair(out, static_cast<unsigned int>(value));
    if (value >= 1000 && value <= 9999 && width <= 4) {
        const auto v = static_cast<unsigned int>(value);
        return WritePair(WritePair(out, v / 100), v % 100);
    }
    unsigned int magnitude = value < 0 ? 0u - static_cast<unsigned int>(value) : static_cast<unsigned int>(value);
    char digits[10];
    int count = 0;
    do {
        digits[count++] = static_cast<char>('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0);
    int length = count;
    if (value < 0) {
        *out++ = '-';
        ++length;
    }
    for (; length < width; ++length) *out++ = '0';
    while (count > 0) *out++ = digits[--count];
    return out;
}

}  // namespace tessera::time
