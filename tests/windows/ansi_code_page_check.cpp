// A program, not a GoogleTest executable, because the ANSI code page is fixed for the
// life of a process: CTest starts it once per locale (see CMakeLists.txt beside it) and
// it checks that Transcoder::PlatformEncoding() names the code page Windows reports.
//   ansi_code_page_check CODE_PAGE NAME
// Prints what it found; exits 0 when both match, 1 when not, and 77 ("skipped") when
// this Windows (or Wine) has no such code page at all.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include <tessera/Transcoder.h>

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: ansi_code_page_check CODE_PAGE NAME\n");
        return 2;
    }
    const UINT expectedCodePage = static_cast<UINT>(std::strtoul(argv[1], nullptr, 10));
    const std::string expectedName = argv[2];
    const UINT codePage = GetACP();
    const std::string name = Varn::Transcoder::PlatformEncoding();
    std::printf("GetACP() = %u, PlatformEncoding() = \"%s\"\n", codePage, name.c_str());
    if (codePage != expectedCodePage && !IsValidCodePage(expectedCodePage)) {
        std::printf("skipped: this system has no code page %u\n", expectedCodePage);
        return 77;
    }
    if (codePage != expectedCodePage || name != expectedName) {
        std::printf("expected code page %u, \"%s\"\n", expectedCodePage, expectedName.c_str());
        return 1;
    }
    return 0;
}
