// Compiled in the platform layer, where the encoding layer above it must not be visible:
// the build fails on the include below.
#include "encoding/encoding_registry.h"
