// The checks of a cycle file against what the game server and its clients cope with.
#include "core/cycle/CycleCheck.h"

#include "core/cycle/MapCycleFile.h"
#include "core/cycle/PrintableText.h"

#include <unordered_map>
#include <unordered_set>

namespace rotaline {

namespace {

// The server's tokenizer takes every byte up to and including the space for a separator.
bool IsSeparator(char c) {
    return static_cast<unsigned char>(c) <= ' ';
}

std::string_view FirstWord(std::string_view entry) {
    std::size_t start = 0;
    while (start < entry.size() && IsSeparator(entry[start])) {
        ++start;
    }
    std::size_t end = start;
    while (end < entry.size() && !IsSeparator(entry[end])) {
        ++end;
    }
    return entry.substr(start, end - start);
}

class Checker {
public:
    explicit Checker(const std::vector<std::string>& mapFiles)
        : mapFiles_(mapFiles.begin(), mapFiles.end()) {}

    void CheckSize(std::size_t size) {
        if (size >= kCycleFileCrashBytes) {
            Add(CycleProblemKind::FileTooLarge, 0,
                "the file holds " + std::to_string(size) + " bytes; clients crash on connect " +
                    "when it holds " + std::to_string(kCycleFileCrashBytes) + " or more");
        }
    }

    void CheckEntry(std::size_t line, const std::string& entry) {
        if (entry.empty()) {
            Add(CycleProblemKind::EmptyEntry, line, "empty entry");
            return;
        }
        if (IsSeparator(entry.front()) || IsSeparator(entry.back())) {
            Add(CycleProblemKind::SurroundingSpace, line,
                Quoted(entry) + " has white space before or after it");
        }
        const std::string_view name = FirstWord(entry);
        if (name.empty() || name.starts_with("//")) {
            return;
        }
        if (name.size() >= kMapNameBuffer) {
            Add(CycleProblemKind::NameTooLong, line,
                Quoted(name) + " is " + std::to_string(name.size()) +
                    " characters long; the server overruns its buffer at " +
                    std::to_string(kMapNameBuffer) + " or more");
        }
        const std::string file = std::string(name) + ".bsp";
        if (mapFiles_.count(file) == 0) {
            Add(CycleProblemKind::MissingMap, line,
                Quoted(name) + " has no map file " + Quoted("maps/" + file));
        }
        const auto [earlier, first] = firstLines_.try_emplace(std::string(name), line);
        if (!first) {
            Add(CycleProblemKind::Duplicate, line,
                Quoted(name) + " is also on line " + std::to_string(earlier->second));
        }
    }

    std::vector<CycleProblem> Take() { return std::move(problems_); }

private:
    void Add(CycleProblemKind kind, std::size_t line, std::string text) {
        problems_.push_back({kind, line, std::move(text)});
    }

    std::unordered_set<std::string> mapFiles_;
    std::unordered_map<std::string, std::size_t> firstLines_;
    std::vector<CycleProblem> problems_;
};

} // namespace

std::vector<CycleProblem> CheckCycle(std::string_view bytes,
                                     const std::vector<std::string>& mapFiles) {
    Checker checker(mapFiles);
    checker.CheckSize(bytes.size());
    const std::vector<std::string> entries = SplitCycleLines(bytes);
    for (std::size_t i = 0; i < entries.size(); ++i) {
        checker.CheckEntry(i + 1, entries[i]);
    }
    return checker.Take();
}

} // namespace rotaline
