// Close matches of a mistyped name, for "did you mean" hints.
#ifndef TESSERA_TOOL_CLOSE_MATCHES_H
#define TESSERA_TOOL_CLOSE_MATCHES_H

#include <string>
#include <vector>

namespace tessera::tool {

/// The candidates nearest to name, at most three in candidate order: those equal to it
/// ignoring ASCII case if there are any, else those fewest edits away ignoring case, at
/// most two (one for names of up to four characters).
std::vector<std::string> CloseMatches(const std::string& name, const std::vector<std::string>& candidates);

/// " (did you mean 'a' or 'b'?)", or "" when no candidate is close to name.
std::string DidYouMean(const std::string& name, const std::vector<std::string>& candidates);

}  // namespace tessera::tool

#endif
