// Converts standard input from one named encoding to another, like a tiny iconv.
#include <iostream>
#include <iterator>
#include <string>

#include <tessera/Transcoder.h>

int main(int argc, char** argv) {
    const std::string from = argc > 1 ? argv[1] : "iso-8859-1";
    const std::string to = argc > 2 ? argv[2] : "utf-8";
    if (!Varn::Transcoder::IsValidEncoding(from) || !Varn::Transcoder::IsValidEncoding(to)) {
        std::cerr << "unknown encoding\n";
        return 2;
    }
    const std::string input{std::istreambuf_iterator<char>(std::cin), std::istreambuf_iterator<char>()};
    // Through UTF-16: invalid or unrepresentable characters are replaced, never dropped.
    const std::wstring text = Varn::Transcoder::EncodingToUTF16(input, from);
    std::cout << Varn::Transcoder::UTF16ToEncoding(text, to);
    return 0;
}
