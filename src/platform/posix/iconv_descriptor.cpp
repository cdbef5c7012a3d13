// Reading one sequence and writing one unit through an iconv descriptor, for building
// code-page tables; the UTF-16 form of the host, for streaming text through iconv.
#include "platform/posix/iconv_descriptor.h"

namespace tessera::platform::posix {

const char* IconvNativeUtf16() {
    const char16_t probe = 1;
    return *reinterpret_cast<const unsigned char*>(&probe) == 1 ? "UTF-16LE" : "UTF-16BE";
}

bool DecodeSequence(IconvDescriptor& decoder, const unsigned char* bytes, std::size_t size, char16_t* unit) {
    char in[4];
    char out[16];
    if (size > sizeof in) return false;
    for (std::size_t i = 0; i < size; ++i) in[i] = static_cast<char>(bytes[i]);
    char* inPtr = in;
    char* outPtr = out;
    std::size_t inLeft = size;
    std::size_t outLeft = sizeof out;
    decoder.Reset();
    if (decoder.Convert(&inPtr, &inLeft, &outPtr, &outLeft) == static_cast<std::size_t>(-1)) return false;
    // Some decoders hold a character back to combine it with the next one.
    if (decoder.Flush(&outPtr, &outLeft) == static_cast<std::size_t>(-1)) return false;
    if (outPtr - out != 2) return false;
    *unit = static_cast<char16_t>(static_cast<unsigned char>(out[0]) | static_cast<unsigned char>(out[1]) << 8);
    return true;
}

std::string EncodeUnit(IconvDescriptor& encoder, char16_t unit) {
    char in[2] = {static_cast<char>(unit & 0xFF), static_cast<char>(unit >> 8)};
    char out[16];
    char* inPtr = in;
    char* outPtr = out;
    std::size_t inLeft = sizeof in;
    std::size_t outLeft = sizeof out;
    encoder.Reset();
    if (encoder.Convert(&inPtr, &inLeft, &outPtr, &outLeft) == static_cast<std::size_t>(-1)) return {};
    if (encoder.Flush(&outPtr, &outLeft) == static_cast<std::size_t>(-1)) return {};
    return std::string(out, static_cast<std::size_t>(outPtr - out));
}

}  // namespace tessera::platform::posix
