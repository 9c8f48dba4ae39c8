// Wildcard matching of listed names, and the walk through the one listing in progress.
#include "core/platform/FolderListing.h"

#include "core/platform/AsciiCase.h"
namespace rotaline {

namespace {

bool HasWildcards(std::string_view pattern) {
    return pattern.find_first_of("*?") != std::string_view::npos;
}

// Greedy matching that goes back to the latest "*" on a mismatch: no recursion, and no more
// than name length times pattern length steps even for patterns full of stars.
bool MatchesWildcards(std::string_view name, std::string_view pattern) {
    constexpr auto kNone = std::string_view::npos;
    std::size_t n = 0;
    std::size_t p = 0;
    std::size_t lastStar = kNone;
    std::size_t nameAtLastStar = 0;
    while (n < name.size()) {
        if (p < pattern.size() && pattern[p] == '*') {
            lastStar = p++;
            nameAtLastStar = n;
        } else if (p < pattern.size() &&
                   (pattern[p] == '?' || AsciiLower(pattern[p]) == AsciiLower(name[n]))) {
            ++p;
            ++n;
        } else if (lastStar != kNone) {
            p = lastStar + 1;
            n = ++nameAtLastStar;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*') {
        ++p;
    }
    return p == pattern.size();
}

// The catch-all patterns ("*", "*.", "*.*", ...): the ones that list the folder itself and its
// parent under the names "." and "..".
bool MatchesEveryName(std::string_view pattern) {
    return pattern.find('*') != std::string_view::npos &&
           pattern.find_first_not_of("*.") == std::string_view::npos;
}

} // namespace

bool MatchesPattern(std::string_view name, std::string_view pattern) {
    if (!HasWildcards(pattern)) {
        return name == pattern;
    }
    if (name == "." || name == "..") {
        return MatchesEveryName(pattern);
    }
    if (pattern.back() == '.') {
        pattern.remove_suffix(1);
        if (name.find('.') != std::string_view::npos) {
            return false;
        }
    }
    return MatchesWildcards(name, pattern);
}

} // namespace rotaline
