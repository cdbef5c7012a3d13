// "Did you mean" hints: a case-blind edit distance that counts swapped neighbours as one.
#include "close_matches.h"

#include <algorithm>
#include <cstddef>

#include "invocation.h"

namespace tessera::tool {
namespace {

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

/// Edits (insert, delete, replace, swap of neighbours) from a to b, ignoring ASCII case.
std::size_t Distance(const std::string& a, const std::string& b) {
    const std::size_t n = b.size();
    std::vector<std::size_t> before(n + 1), previous(n + 1), current(n + 1);
    for (std::size_t j = 0; j <= n; ++j) previous[j] = j;
    for (std::size_t i = 1; i <= a.size(); ++i) {
        current[0] = i;
        for (std::size_t j = 1; j <= n; ++j) {
            const std::size_t cost = Lower(a[i - 1]) == Lower(b[j - 1]) ? 0 : 1;
            current[j] = std::min({previous[j] + 1, current[j - 1] + 1, previous[j - 1] + cost});
            if (i > 1 && j > 1 && Lower(a[i - 1]) == Lower(b[j - 2]) && Lower(a[i - 2]) == Lower(b[j - 1])) {
                current[j] = std::min(current[j], before[j - 2] + 1);
            }
        }
        before.swap(previous);
        previous.swap(current);
    }
    return previous[n];
}

}  // namespace

std::vector<std::string> CloseMatches(const std::string& name, const std::vector<std::string>& candidates) {
    const std::size_t limit = name.size() <= 4 ? 1 : 2;
    std::vector<std::pair<std::size_t, std::size_t>> ranked;  // (distance, index)
    for (std::size_t i = 0; i < candidates.size(); ++i) {
        const std::size_t d = Distance(name, candidates[i]);
        if (d <= limit) ranked.emplace_back(d, i);
    }
    std::stable_sort(ranked.begin(), ranked.end());
    std::vector<std::string> matches;
    for (const auto& [distance, index] : ranked) {
        const std::string& candidate = candidates[index];
        if (distance > ranked.front().first) break;
        if (candidate == name || std::find(matches.begin(), matches.end(), candidate) != matches.end()) continue;
        if (matches.size() == 3) break;
        matches.push_back(candidate);
    }
    return matches;
}

std::string DidYouMean(const std::string& name, const std::vector<std::string>& candidates) {
    const std::vector<std::string> matches = CloseMatches(name, candidates);
    return matches.empty() ? "" : " (did you mean " + QuotedAlternatives(matches) + "?)";
}

}  // namespace tessera::tool
