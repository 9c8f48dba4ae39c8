// Any name against any pattern: the listing's matcher agrees with a plain dynamic program.
#include "core/platform/FolderListing.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>
#include <vector>

namespace {

char Fold(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

// "*" any run, "?" any one character, anything else itself with ASCII letter case ignored:
// table[i][j] says whether the first i characters of the name match the first j of the pattern.
bool WildcardsMatch(std::string_view name, std::string_view pattern) {
    std::vector<std::vector<char>> table(name.size() + 1, std::vector<char>(pattern.size() + 1, 0));
    table[0][0] = 1;
    for (std::size_t j = 1; j <= pattern.size(); ++j) {
        table[0][j] = pattern[j - 1] == '*' && table[0][j - 1];
    }
    for (std::size_t i = 1; i <= name.size(); ++i) {
        for (std::size_t j = 1; j <= pattern.size(); ++j) {
            const char p = pattern[j - 1];
            if (p == '*') {
                table[i][j] = table[i - 1][j] || table[i][j - 1];
            } else {
                table[i][j] = table[i - 1][j - 1] && (p == '?' || Fold(p) == Fold(name[i - 1]));
            }
        }
    }
    return table[name.size()][pattern.size()] != 0;
}

// The listing's rules: a pattern without wildcards names one entry exactly; "." and ".." are
// matched by the catch-all patterns alone; a final "." admits names without an extension.
bool Expected(std::string_view name, std::string_view pattern) {
    if (pattern.find_first_of("*?") == std::string_view::npos) {
        return name == pattern;
    }
    if (name == "." || name == "..") {
        return pattern.find('*') != std::string_view::npos &&
               pattern.find_first_not_of("*.") == std::string_view::npos;
    }
    if (pattern.back() == '.') {
        if (name.find('.') != std::string_view::npos) {
            return false;
        }
        pattern.remove_suffix(1);
    }
    return WildcardsMatch(name, pattern);
}

} // namespace

// The input: the name, a NUL, then the pattern. Long inputs are cut, since the program checks
// each answer in time and space that grow with the product of the two lengths.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view input(reinterpret_cast<const char*>(data), size < 512 ? size : 512);
    const std::size_t split = input.find('\0');
    if (split == std::string_view::npos) {
        return 0;
    }
    const std::string_view name = input.substr(0, split);
    const std::string_view pattern = input.substr(split + 1);
    if (rotaline::MatchesPattern(name, pattern) != Expected(name, pattern)) {
        std::fprintf(stderr, "name \"%.*s\" against \"%.*s\": the matcher says %d\n",
                     static_cast<int>(name.size()), name.data(), static_cast<int>(pattern.size()),
                     pattern.data(), rotaline::MatchesPattern(name, pattern) ? 1 : 0);
        std::abort();
    }
    return 0;
}
