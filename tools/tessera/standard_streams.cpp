// Binary standard streams: on Windows the C runtime writes "\n" as "\r\n" and reads
// "\r\n" as "\n" unless a stream is in binary mode, which would alter converted text.
#include "standard_streams.h"

#if defined(_WIN32)
#include <cstdio>

#include <fcntl.h>
#include <io.h>
#endif

namespace tessera::tool {

void SetBinaryStandardStreams() {
#if defined(_WIN32)
    _setmode(_fileno(stdin), _O_BINARY);
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
#endif
}

}  // namespace tessera::tool
