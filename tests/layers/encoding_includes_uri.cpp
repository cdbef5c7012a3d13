// Compiled in the encoding layer, where the URI layer above it must not be visible: the
// build fails on the include below.
#include "uri/escape_sets.h"
