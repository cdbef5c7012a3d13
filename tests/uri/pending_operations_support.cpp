// Weak stand-ins for the virtual URI operations that are not in the library yet, so the
// URI class's virtual table links in this test program. The library's own definition of
// each replaces its stand-in as soon as it exists; none of these is ever called by the
// tests. Remove this file when the library defines them all.
#include <tessera/URI.h>

#if defined(__ELF__)
#define TESSERA_PENDING [[gnu::weak]]
namespace Varn {

TESSERA_PENDING bool URI::IsOfFileType(StringProxy) const { return false; }
TESSERA_PENDING bool URI::FromEncodedString(StringProxy, StringProxy) { return false; }
TESSERA_PENDING URI::StringProxy URI::ToEncodedString(StringProxy) { return {}; }
TESSERA_PENDING bool URI::MakeAbsoluteURI(const URI&) { return false; }
TESSERA_PENDING bool URI::MakeRelativeURI(const URI&, bool) { return false; }
TESSERA_PENDING bool URI::ChDir(StringProxy, bool) { return false; }
TESSERA_PENDING URI::StringProxy URI::ToLocalPath() const { return {}; }
TESSERA_PENDING URI::StringProxy URI::ToLocalPathMac() const { return {}; }
TESSERA_PENDING URI::StringProxy URI::ToLocalPathUnix() const { return {}; }
TESSERA_PENDING URI::StringProxy URI::ToLocalPathWin() const { return {}; }
TESSERA_PENDING void URI::LocalPathToURI(StringProxy) {}
TESSERA_PENDING void URI::LocalPathToURIMac(StringProxy) {}
TESSERA_PENDING void URI::LocalPathToURIUnix(StringProxy) {}
TESSERA_PENDING void URI::LocalPathToURIWin(StringProxy) {}

}  // namespace Varn
#endif
