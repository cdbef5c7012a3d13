// Writing a result into a caller's narrow or wide string.
#include <tessera/Transcoder.h>
#include <tessera/URI.h>

namespace Varn {

URI::StringRefProxy& URI::StringRefProxy::operator=(const std::string& text) {
    if (m_wide == 0) {
        *m_narrow = text;
    } else {
        *m_wideTarget = Transcoder::asUTF16(text);
    }
    return *this;
}

}  // namespace Varn
