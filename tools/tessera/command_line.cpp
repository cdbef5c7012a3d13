// Command-line arguments in UTF-8, the text form every subcommand works in.
#include "command_line.h"

#if defined(_WIN32)
#include <windows.h>
// after <windows.h>, which it needs
#include <shellapi.h>

#include <tessera/Transcoder.h>
#endif

namespace tessera::tool {

Args CommandLineArguments(int argc, char** argv) {
#if defined(_WIN32)
    int count = 0;
    if (LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &count)) {
        Args arguments;
        for (int i = 1; i < count; ++i) {
            arguments.push_back(Varn::Transcoder::UTF16ToUTF8(reinterpret_cast<const wchar_t*>(wide[i])));
        }
        LocalFree(wide);
        return arguments;
    }
#endif
    return Args(argv + (argc > 0 ? 1 : 0), argv + argc);
}

}  // namespace tessera::tool
