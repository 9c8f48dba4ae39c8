// Letter case folded the one way every part of the program folds it: ASCII letters only.
#pragma once

#include <algorithm>
#include <string_view>

namespace rotaline {

// Other bytes belong to multi-byte or code-page characters whose case mapping the program does
// not know, and Windows' own comparisons of names leave them as they are too.
inline char AsciiLower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

inline char AsciiUpper(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

inline bool EqualIgnoringAsciiCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return AsciiLower(x) == AsciiLower(y);
           });
}

} // namespace rotaline
