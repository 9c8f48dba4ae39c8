// Finds a key's value in an INI file and copies it out the way the Windows profile calls do.
#include "core/settings/posix/IniProfile.h"

#include "core/platform/AsciiCase.h"
#include "core/platform/Paths.h"
#include "core/platform/TextFile.h"

#include <algorithm>
#include <cstring>
#include <optional>
#include <string_view>

namespace rotaline {

namespace {

// An INI file past this size, or a pipe or device where the file should be, is read as no file:
// a read must neither block nor fill the memory.
constexpr std::size_t kMaxProfileFileBytes = 16 * 1024 * 1024;

// GetPrivateProfileIntA reads the value through a buffer of this size, so digits past it count
// for nothing.
constexpr std::uint32_t kIntBufferSize = 30;

// CR and ^Z (a DOS end of file) are white space to the profile calls too.
bool IsProfileSpace(char c) {
    return c == ' ' || (c >= '\t' && c <= '\r') || c == '\x1a';
}

std::string_view Trim(std::string_view text) {
    while (!text.empty() && IsProfileSpace(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && IsProfileSpace(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

// The value of `key` in the first section named `section`, lines before any header making a
// section with no name. Nothing for a missing key or a key line without "=".
std::optional<std::string_view> FindEntry(std::string_view text, std::string_view section,
                                          std::string_view key) {
    bool inSection = section.empty();
    while (!text.empty()) {
        const std::size_t end = std::min(text.find_first_of("\r\n"), text.size());
        const std::string_view line = Trim(text.substr(0, end));
        text.remove_prefix(std::min(end + 1, text.size()));
        if (line.empty()) {
            continue;
        }
        const std::size_t close = line.rfind(']');
        if (line.front() == '[' && close != std::string_view::npos) {
            if (inSection) {
                return std::nullopt; // a later section of the same name is never searched
            }
            inSection = EqualIgnoringAsciiCase(Trim(line.substr(1, close - 1)), section);
            continue;
        }
        if (!inSection) {
            continue;
        }
        const std::size_t equals = line.find('=');
        if (!EqualIgnoringAsciiCase(Trim(line.substr(0, equals)), key)) {
            continue;
        }
        if (equals == std::string_view::npos) {
            return std::nullopt;
        }
        return Trim(line.substr(equals + 1));
    }
    return std::nullopt;
}

// A default's trailing spaces go, all but a first character that is one.
std::string_view TrimDefault(std::string_view text) {
    while (text.size() > 1 && text.back() == ' ') {
        text.remove_suffix(1);
    }
    return text;
}

// Copies at most size - 1 characters. Quotes around the whole text are dropped after the cut,
// so the closing one is dropped only if it fit, or else the character before it.
std::uint32_t CopyEntry(std::string_view value, char* buffer, std::uint32_t size) {
    if (size == 0) {
        return 0;
    }
    const bool quoted = value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
                        value.back() == value.front();
    if (quoted) {
        value.remove_prefix(1);
    }
    std::size_t count = std::min<std::size_t>(value.size(), size - 1);
    if (quoted && size >= value.size() && count > 0) {
        --count;
    }
    std::memcpy(buffer, value.data(), count);
    buffer[count] = '\0';
    return static_cast<std::uint32_t>(count);
}

int DigitValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'z') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'Z') {
        return c - 'A' + 10;
    }
    return 99;
}

// The leading number as Windows reads it: an optional sign, "0b", "0o" or "0x" for another base,
// digits up to the first that does not belong; wrapping past 32 bits.
std::uint32_t LeadingNumber(std::string_view text) {
    while (!text.empty() && static_cast<unsigned char>(text.front()) <= ' ') {
        text.remove_prefix(1);
    }
    const bool negative = text.starts_with('-');
    if (negative || text.starts_with('+')) {
        text.remove_prefix(1);
    }
    std::uint32_t base = 10;
    if (text.size() >= 2 && text[0] == '0') {
        base = text[1] == 'b' ? 2 : text[1] == 'o' ? 8 : text[1] == 'x' ? 16 : 10;
        if (base != 10) {
            text.remove_prefix(2);
        }
    }
    std::uint32_t number = 0;
    for (const char c : text) {
        const auto digit = static_cast<std::uint32_t>(DigitValue(c));
        if (digit >= base) {
            break;
        }
        number = number * base + digit;
    }
    return negative ? 0u - number : number;
}

} // namespace

std::uint32_t ProfileStringFromText(std::string_view text, const std::string& section,
                                    const std::string& key, const std::string& defaultText,
                                    char* buffer, std::uint32_t size) {
    if (text.starts_with("\xEF\xBB\xBF")) {
        text.remove_prefix(3); // a UTF-8 byte order mark is no part of the first line
    }
    const std::optional<std::string_view> entry = FindEntry(text, Trim(section), Trim(key));
    return CopyEntry(entry ? *entry : TrimDefault(defaultText), buffer, size);
}

std::uint32_t IniProfile::GetString(const std::string& section, const std::string& key,
                                    const std::string& defaultText, char* buffer,
                                    std::uint32_t size, const std::string& file) {
    // A file that cannot be read holds no keys, as an empty one.
    const Result<std::string> read = ReadWholeFile(NativePath(file), kMaxProfileFileBytes);
    return ProfileStringFromText(read ? *read : std::string(), section, key, defaultText, buffer,
                                 size);
}

std::uint32_t IniProfile::GetInt(const std::string& section, const std::string& key,
                                 std::int32_t defaultValue, const std::string& file) {
    char buffer[kIntBufferSize];
    if (GetString(section, key, "", buffer, kIntBufferSize, file) == 0) {
        return static_cast<std::uint32_t>(defaultValue);
    }
    return LeadingNumber(buffer);
}

} // namespace rotaline
