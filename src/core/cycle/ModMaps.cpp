// Listing a mod's maps and leaving out those already in its cycle.
#include "core/cycle/ModMaps.h"

#include "core/cycle/MapCycleFile.h"
#include "core/platform/FolderListing.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string_view>
#include <unordered_set>

namespace rotaline {

namespace {

constexpr std::uint64_t kEveryByte = 0x0101010101010101ULL;

// Eight bytes at once with 'a' to 'z' made upper case, and no other byte changed: a byte gets
// its case bit flipped when it is at least 'a', at most 'z', and below 128.
std::uint64_t UpperAsciiWord(std::uint64_t bytes) {
    const std::uint64_t low7 = bytes & (0x7F * kEveryByte);
    const std::uint64_t fromA = low7 + (0x80 - 'a') * kEveryByte;
    const std::uint64_t pastZ = low7 + (0x80 - 'z' - 1) * kEveryByte;
    const std::uint64_t isLower = (fromA ^ pastZ) & ~bytes & (0x80 * kEveryByte);
    return bytes ^ (isLower >> 2);
}

// The bytes from `at`, at most eight of them, as one word; zero bytes past the end.
std::uint64_t WordAt(std::string_view text, std::size_t at) {
    std::uint64_t word = 0;
    std::memcpy(&word, text.data() + at, std::min<std::size_t>(8, text.size() - at));
    return word;
}

bool SameIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t at = 0; at < a.size(); at += 8) {
        if (UpperAsciiWord(WordAt(a, at)) != UpperAsciiWord(WordAt(b, at))) {
            return false;
        }
    }
    return true;
}

// A word-at-a-time hash of the upper-cased text: a byte at a time cost more than the look-up.
std::uint64_t HashIgnoringCase(std::string_view text) {
    std::uint64_t hash = text.size() * 0x9E3779B97F4A7C15ULL;
    for (std::size_t at = 0; at < text.size(); at += 8) {
        hash = (hash ^ UpperAsciiWord(WordAt(text, at))) * 0xFF51AFD7ED558CCDULL;
        hash ^= hash >> 29;
    }
    return hash ^ (hash >> 32);
}

// The maps the cycle's entries name, found by their text with letter case ignored. Case is folded
// while hashing and comparing, and the table holds line numbers: no upper-cased copy of any text is
// made, which for a cycle and a maps folder of thousands of names was most of the cost. Each slot
// also keeps part of its line's hash, so that a probe compares texts only when that matches:
// half the maps of a large mod are in no line, and each text compared is a fetch from memory.
class CycleLines {
public:
    explicit CycleLines(std::vector<std::string_view> lines) : lines_(std::move(lines)) {
        std::size_t capacity = 16;
        while (capacity < lines_.size() * 2) {
            capacity *= 2;
        }
        slots_.assign(capacity, Slot{0, 0});
        for (std::size_t k = 0; k < lines_.size(); ++k) {
            const std::uint64_t hash = HashIgnoringCase(lines_[k]);
            Slot& slot = Find(lines_[k], hash);
            if (slot.line == 0) {
                slot = Slot{static_cast<std::uint32_t>(k + 1), Tag(hash)};
            }
        }
    }

    bool Names(std::string_view map) { return Find(map, HashIgnoringCase(map)).line != 0; }

private:
    struct Slot {
        std::uint32_t line; // line number + 1, or 0 for an empty slot
        std::uint32_t tag;
    };

    static std::uint32_t Tag(std::uint64_t hash) { return static_cast<std::uint32_t>(hash >> 32); }

    // The slot holding a line equal to `text`, or the empty slot where it would go.
    Slot& Find(std::string_view text, std::uint64_t hash) {
        const std::size_t mask = slots_.size() - 1;
        const std::uint32_t tag = Tag(hash);
        for (std::size_t at = static_cast<std::size_t>(hash) & mask;; at = (at + 1) & mask) {
            Slot& slot = slots_[at];
            if (slot.line == 0 ||
                (slot.tag == tag && SameIgnoringCase(lines_[slot.line - 1], text))) {
                return slot;
            }
        }
    }

    std::vector<std::string_view> lines_;
    std::vector<Slot> slots_;
};

} // namespace

Result<std::vector<std::string>> ListMapFiles(const ModPaths& paths) {
    std::vector<std::string> files;
    for (const std::string& folder : paths.MapsFolders()) {
        Result<std::vector<std::string>> listed = ListFolder(folder + "\\*.bsp", kAttrNormal);
        if (!listed) {
            return std::move(listed.error());
        }
        files.insert(files.end(), std::make_move_iterator(listed->begin()),
                     std::make_move_iterator(listed->end()));
    }
    return files;
}

Result<std::vector<std::string>> ListModMaps(const ModPaths& paths) {
    Result<std::vector<std::string>> files = ListMapFiles(paths);
    if (!files) {
        return files;
    }
    std::vector<std::string> maps;
    std::unordered_set<std::string> seen;
    for (std::string& name : *files) {
        name.resize(name.size() - 4);
        // No cycle line can name such a map: the line would end inside the name.
        if (name.find_first_of("\r\n") == std::string::npos && seen.insert(name).second) {
            maps.push_back(std::move(name));
        }
    }
    return maps;
}

bool EntryNamesMap(std::string_view entry, std::string_view map) {
    return SameIgnoringCase(EntryMap(entry), map);
}

void DropMapsInCycle(std::vector<std::string>& maps, const std::vector<std::string>& cycleLines) {
    // One table lookup per map instead of a scan of the maps per line.
    std::vector<std::string_view> named;
    named.reserve(cycleLines.size());
    for (const std::string& line : cycleLines) {
        named.push_back(EntryMap(line));
    }
    CycleLines inCycle(std::move(named));
    std::erase_if(maps, [&inCycle](const std::string& map) { return inCycle.Names(map); });
}

} // namespace rotaline
