// The tool's standard streams carry bytes exactly as written and read.
#ifndef TESSERA_TOOL_STANDARD_STREAMS_H
#define TESSERA_TOOL_STANDARD_STREAMS_H

namespace tessera::tool {

/// Switches stdin, stdout and stderr to binary mode where the C runtime would otherwise
/// translate line ends (Windows); elsewhere does nothing.
void SetBinaryStandardStreams();

}  // namespace tessera::tool

#endif
