// The checks of a cycle file against what the game server and its clients cope with.
#include "core/cycle/CycleCheck.h"

#include "core/cycle/MapCycleFile.h"
#include "core/cycle/PrintableText.h"

#include <unordered_map>
#include <unordered_set>

namespace rotaline {

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

bool IsSeparator(char c) {
    return static_cast<unsigned char>(c) <= ' ';
}

// The C library's isspace in the "C" locale, which the server asks when it looks for rules.
bool IsSpace(char c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}

std::string Lines(std::size_t line) {
    return "line " + std::to_string(line);
}

// A word of the text, with the editor's number of the line it is on.
struct Word {
    std::string_view text;
    std::size_t line = 0;
};

// Walks the text as the server's tokenizer does, keeping count of the editor's lines.
class Reader {
public:
    explicit Reader(std::string_view text) : text_(text) {}

    // The next word, skipping separators and "//" comments; empty text at the end.
    Word Next() {
        for (;;) {
            while (at_ < text_.size() && IsSeparator(text_[at_])) {
                Step();
            }
            if (text_.substr(at_).starts_with("//")) {
                while (at_ < text_.size() && text_[at_] != '\n') {
                    Step();
                }
                continue;
            }
            const std::size_t start = at_;
            while (at_ < text_.size() && !IsSeparator(text_[at_])) {
                ++at_;
            }
            return {text_.substr(start, at_ - start), line_};
        }
    }

    // The server's test for rules: anything but white space before the next LF.
    bool WordWaiting() const {
        for (std::size_t at = at_; at < text_.size() && text_[at] != '\n'; ++at) {
            if (!IsSpace(text_[at])) {
                return true;
            }
        }
        return false;
    }

    // Whether a comment starts before the next LF.
    bool CommentBeforeLineFeed() const {
        const std::size_t lineFeed = text_.find('\n', at_);
        const std::size_t comment = text_.find("//", at_);
        return comment != std::string_view::npos && comment < lineFeed;
    }

private:
    void Step() {
        if (text_[at_] == '\n' ||
            (text_[at_] == '\r' && (at_ + 1 == text_.size() || text_[at_ + 1] != '\n'))) {
            ++line_;
        }
        ++at_;
    }

    std::string_view text_;
    std::size_t at_ = 0;
    std::size_t line_ = 1;
};

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

    void CheckMaps(std::string_view text) {
        Reader reader(text);
        for (Word map = reader.Next(); !map.text.empty(); map = reader.Next()) {
            CheckMap(map, map.text.data() == text.data() && text.starts_with(kByteOrderMark));
            if (!reader.WordWaiting()) {
                continue;
            }
            const bool comment = reader.CommentBeforeLineFeed();
            const Word rules = reader.Next();
            if (rules.text.empty() || rules.line == map.line) {
                continue;
            }
            if (comment) {
                Add(CycleProblemKind::LostToComment, map.line,
                    Quoted(map.text) + " has a comment after it, so the server takes " +
                        Quoted(rules.text) + " of " + Lines(rules.line) +
                        " for its rules and never plays it; put the comment on a line of its own");
            } else {
                Add(CycleProblemKind::LostToCrEnd, map.line,
                    "the line ends in CR alone, so the server takes " + Quoted(rules.text) +
                        " of " + Lines(rules.line) + " for the rules of " + Quoted(map.text) +
                        " and never plays it; end lines with LF or CR LF");
            }
        }
    }

    // What follows the first NUL, which the server never reads.
    void CheckAfterNul(std::string_view text, std::size_t nulLine) {
        std::string lost;
        Reader reader(text);
        for (Word map = reader.Next(); !map.text.empty(); map = reader.Next()) {
            if (reader.WordWaiting()) {
                reader.Next();
            }
            lost += (lost.empty() ? "" : ", ") + Quoted(map.text);
        }
        if (lost.empty()) {
            Add(CycleProblemKind::NulAtEnd, nulLine,
                "a NUL byte ends what the server reads; no map follows it");
        } else {
            Add(CycleProblemKind::NulByte, nulLine,
                "a NUL byte ends what the server reads, so it never plays " + lost +
                    "; remove the NUL");
        }
    }

    std::vector<CycleProblem> Take() { return std::move(problems_); }

private:
    void CheckMap(const Word& map, bool afterByteOrderMark) {
        if (afterByteOrderMark) {
            Add(CycleProblemKind::ByteOrderMark, map.line,
                "the file starts with a UTF-8 byte-order mark (EF BB BF), which the server "
                "reads as part of " +
                    Quoted(map.text) + " and so finds no such map; remove the mark");
        } else if (mapFiles_.count(std::string(map.text) + ".bsp") == 0) {
            Add(CycleProblemKind::MissingMap, map.line,
                Quoted(map.text) + " has no map file " +
                    Quoted("maps/" + std::string(map.text) + ".bsp"));
        }
        if (map.text.size() >= kMapNameBuffer) {
            Add(CycleProblemKind::NameTooLong, map.line,
                Quoted(map.text) + " is " + std::to_string(map.text.size()) +
                    " characters long; the server overruns its buffer at " +
                    std::to_string(kMapNameBuffer) + " or more");
        }
        const auto [earlier, first] = firstLines_.try_emplace(std::string(map.text), map.line);
        if (!first) {
            Add(CycleProblemKind::Duplicate, map.line,
                Quoted(map.text) + " is also on " + Lines(earlier->second));
        }
    }

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
    const std::size_t nul = bytes.find('\0');
    checker.CheckMaps(bytes.substr(0, nul));
    if (nul != std::string_view::npos) {
        checker.CheckAfterNul(bytes.substr(nul + 1), CountCycleLines(bytes.substr(0, nul + 1)));
    }
    return checker.Take();
}

} // namespace rotaline
