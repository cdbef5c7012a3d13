// Every static object of the library, defined in one translation unit so that they
// are constructed in this order when the library is loaded and destroyed in reverse
// order when it is unloaded:
//   1. threads:   the lock for statically initialised mutexes and condition variables,
//                 then the thread registry's lock and the registry;
//   2. encodings: the name map and the code-page map, filled from the built-in table,
//                 then the platform's code page;
//   3. URI:       the character-class strings in table order, then the six escape sets.
// Nothing here may be initialised lazily, and no other file defines a static with a
// non-trivial constructor, except the unicode layer's choice of a UTF-8 kernel
// (src/unicode/kernel.cpp), which depends on nothing and which nothing needs first.

// ---- 1. threads ---------------------------------------------------------------------
#include "threads/library_locks.h"

namespace tessera::threads {

LibraryLock g_staticInitLock;
LibraryLock g_threadRegistryLock;
ThreadRegistry g_threadRegistry;

}  // namespace tessera::threads

// ---- 2. encodings -------------------------------------------------------------------

#include "encoding/encoding_registry.h"
#include "platform/codepage.h"

namespace tessera::encoding {

// Constructed empty, then filled from the encoding table: the name map first, then the
// code-page map.
const EncodingMaps g_encodingMaps;

const std::int32_t g_platformCodePage = platform::PlatformCodePage();

}  // namespace tessera::encoding

// ---- 3. URI character classes and escape sets ----------------------------------------

#include <tessera/URI.h>

#include "uri/escape_sets.h"

namespace Varn {

const char URI::controlchars[33] = {'\x01', '\x02', '\x03', '\x04', '\x05', '\x06', '\x07', '\x08', '\x09',
                                    '\x0A', '\x0B', '\x0C', '\x0D', '\x0E', '\x0F', '\x10', '\x11', '\x12',
                                    '\x13', '\x14', '\x15', '\x16', '\x17', '\x18', '\x19', '\x1A', '\x1B',
                                    '\x1C', '\x1D', '\x1E', '\x1F', '\x7F', '\0'};

const std::string URI::URIlowalpha = "abcdefghijklmnopqrstuvwxyz";
const std::string URI::URIupalpha = "ABCDEFGHIJKLMNOPQRSTUVWXYZ";
const std::string URI::URIalpha = URIlowalpha + URIupalpha;
const std::string URI::URIdigit = "0123456789";
const std::string URI::URIalphanum = URIalpha + URIdigit;
const std::string URI::URIreserved = ";/?:@&=+$,[]";
const std::string URI::URImark = "-_.!~*'()";
const std::string URI::URIunreserved = URIalphanum + URImark;
const std::string URI::URIuric = URIreserved + URIunreserved;
const std::string URI::URIhex = URIdigit + "ABCDEFabcdef";
const std::string URI::URIescaped = "%xx";
const std::string URI::URIspace = " ";
const std::string URI::URIdelims_real = "<>#%\"";
const std::string URI::URIdelims = URIdelims_real + ":?@";
const std::string URI::URInonhierdelims = URIdelims_real + ":?";
const std::string URI::URIunwise = "{}|\\^[]`";
const std::string URI::URIcontrol = controlchars;
const std::string URI::URIexcluded = URIcontrol + URIspace + URIdelims + URIunwise;
const std::string URI::URIqueryreserved = "/?:@&=+$";
const std::string URI::URIqueryexcluded = URIcontrol + URIspace + URIdelims + URIunwise + URIqueryreserved;
const std::string URI::URInonhierexcluded = URIcontrol + URIspace + URInonhierdelims + URIunwise;
const std::string URI::URInewrfcexcluded = URIcontrol + URIspace + URIdelims_real + ":@" + URIunwise;

}  // namespace Varn

namespace tessera::uri {

const EscapeSet s_excludedSet(Varn::URI::URIexcluded);
const EscapeSet s_userInfoSet(Varn::URI::URIexcluded + "/;");
const EscapeSet s_queryExcludedSet(Varn::URI::URIqueryexcluded);
const EscapeSet s_nonHierSet(Varn::URI::URInonhierexcluded);
const EscapeSet s_highByteSet(0x80, 0xFF);
const EscapeSet s_newRfcSet(Varn::URI::URInewrfcexcluded);

}  // namespace tessera::uri
