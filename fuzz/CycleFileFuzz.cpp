// Any bytes as a cycle file: read, written and read again, they give the same lines.
#include "core/cycle/MapCycleFile.h"
#include "core/lists/SelectableList.h"
#include "core/platform/TextFile.h"
#include "core/platform/posix/FileSystemCalls.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <unistd.h>
#include <vector>

namespace {

using rotaline::SelectableList;

// The files are scratch: flushing each one to the disk would only slow the fuzzer down.
class WithoutFlushes : public rotaline::FileSystemCalls {
public:
    int Fsync(int) override { return 0; }
};

void Require(bool holds, const char* what) {
    if (!holds) {
        std::fprintf(stderr, "broken: %s\n", what);
        std::abort();
    }
}

// A folder of its own under TMPDIR, holding the mod folder "mod" the cycle file goes in.
std::string ScratchInstall() {
    const char* tmp = std::getenv("TMPDIR");
    std::string pattern =
        std::string(tmp != nullptr && *tmp != '\0' ? tmp : "/tmp") + "/rotaline-fuzz-XXXXXX";
    Require(mkdtemp(pattern.data()) != nullptr, "a scratch folder");
    Require(mkdir((pattern + "/mod").c_str(), 0755) == 0, "a mod folder");
    return pattern;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static WithoutFlushes calls;
    static const std::string install = [] {
        rotaline::UseFileSystemCalls(&calls);
        return ScratchInstall();
    }();
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);

    const std::vector<std::string> lines = rotaline::SplitCycleLines(bytes);
    Require(rotaline::CountCycleLines(bytes) == lines.size(), "the count of lines");
    if (lines.size() > static_cast<std::size_t>(SelectableList::kMaxItems)) {
        return 0;
    }
    SelectableList cycle(rotaline::SelectionStyle::Extended, false);
    cycle.AddItems(lines);
    const rotaline::LineEnd end = rotaline::LineEndOf(bytes);
    const std::string written = rotaline::JoinCycleLines(cycle, end);
    std::string expected;
    for (const std::string& line : lines) {
        Require(line.find_first_of("\r\n") == std::string::npos, "no line end within a line");
        expected += line + (end == rotaline::LineEnd::Lf ? "\n" : "\r\n");
    }
    Require(written == expected, "every line ended by the file's own line end");
    Require(rotaline::SplitCycleLines(written) == lines, "the same lines from the written bytes");

    // Through the file: the safe write, then the reader.
    const std::string path = install + "/mod/mapcycle.txt";
    if (cycle.ListCount() == 0) {
        return 0; // an empty cycle is never written
    }
    const std::string original(bytes);
    Require(rotaline::ReplaceFileContent(path, original).ok(), "the file");
    const auto saved = rotaline::WriteMapCycle(path, cycle, original);
    Require(saved && !saved->changedOnDisk && saved->bytes == written, "the write");
    const auto file = rotaline::ReadWholeFile(path, rotaline::kMaxCycleFileBytes);
    Require(file && *file == written, "the file's bytes");
    const auto read = rotaline::ReadMapCycle(path);
    Require(read && read->lines == lines, "the lines read back");
    return 0;
}
