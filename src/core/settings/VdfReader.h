// Reads Valve's KeyValues text format (.vdf), the format of Steam's library list.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace rotaline {

// One key of a file: either a text value or a block of further keys, in file order.
struct VdfNode {
    std::string key;
    std::string value;
    std::vector<VdfNode> children;
    bool block = false;

    // The first child whose key equals `name`, ASCII letter case ignored as Steam ignores it;
    // null when there is none.
    const VdfNode* Find(std::string_view name) const;
};

struct VdfDocument {
    // A block without a key holding the file's top-level keys.
    VdfNode root{{}, {}, {}, true};
    // Set for a file that does not parse: "line N: what went wrong". `root` is empty then.
    std::optional<std::string> error;
};

// Keys and values are quoted ("...", with the escapes \n \t \\ \") or bare words; "//" starts a
// comment up to the end of the line; "[$CONDITION]" after a key or value is skipped.
VdfDocument ReadVdf(std::string_view text);

} // namespace rotaline
