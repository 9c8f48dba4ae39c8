// Maps the program's DOS-style paths onto the drives of the Wine prefix.
#include "core/platform/Paths.h"

#include <cstdlib>
#include <pwd.h>
#include <unistd.h>

namespace rotaline {

namespace {

bool IsAsciiLetter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

bool StartsWithDrive(const std::string& path) {
    return path.size() >= 2 && IsAsciiLetter(path[0]) && path[1] == ':';
}

std::string HomeFolder() {
    const char* home = std::getenv("HOME");
    if (home != nullptr && *home != '\0') {
        return home;
    }
    const passwd* user = getpwuid(getuid());
    return (user != nullptr && user->pw_dir != nullptr) ? user->pw_dir : "";
}

std::string& LiteralFolder() {
    static std::string folder;
    return folder;
}

} // namespace

void TakeLiterally(const std::string& nativeFolder) {
    LiteralFolder() = nativeFolder;
}

std::string WinePrefix() {
    const char* prefix = std::getenv("WINEPREFIX");
    if (prefix != nullptr && *prefix != '\0') {
        return prefix;
    }
    return HomeFolder() + "/.wine";
}

// Wine keeps one link per drive, "dosdevices/c:", pointing wherever that drive lives; the
// link is handed to the system as it is rather than resolved here, so it is followed on
// every open and a changed drive mapping is seen at once.
std::string NativePath(const std::string& programPath) {
    std::string native;
    std::size_t rest = 0;
    const std::string& literal = LiteralFolder();
    if (!literal.empty() && programPath.starts_with(literal) &&
        (programPath.size() == literal.size() || programPath[literal.size()] == '\\')) {
        native = literal;
        rest = literal.size();
    } else if (StartsWithDrive(programPath)) {
        const char lowerDrive = static_cast<char>(programPath[0] | 0x20);
        native = WinePrefix() + "/dosdevices/" + lowerDrive + ":";
        rest = 2;
    }
    native.reserve(native.size() + programPath.size() - rest);
    for (std::size_t i = rest; i < programPath.size(); ++i) {
        native += programPath[i] == '\\' ? '/' : programPath[i];
    }
    return native;
}

} // namespace rotaline
