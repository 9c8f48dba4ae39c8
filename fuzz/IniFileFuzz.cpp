// Any bytes as an INI file, asked for any key: the answer fits the buffer and ends in a NUL.
#include "core/settings/posix/IniProfile.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

namespace {

void Require(bool holds, const char* what) {
    if (!holds) {
        std::fprintf(stderr, "broken: %s\n", what);
        std::abort();
    }
}

// The next field of the input, up to a NUL.
std::string TakeField(std::string_view& input) {
    const std::size_t end = input.find('\0');
    const std::string field(input.substr(0, end));
    input.remove_prefix(end == std::string_view::npos ? input.size() : end + 1);
    return field;
}

} // namespace

// The input: a buffer size byte, then section, key and default text each ended by a NUL, then
// the file's bytes.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    const std::uint32_t bufferSize = data[0];
    std::string_view input(reinterpret_cast<const char*>(data + 1), size - 1);
    const std::string section = TakeField(input);
    const std::string key = TakeField(input);
    const std::string defaultText = TakeField(input);

    // One byte more than the call may use, to catch a write past its end.
    std::vector<char> buffer(bufferSize + 1, '\x7F');
    const std::uint32_t copied = rotaline::ProfileStringFromText(input, section, key, defaultText,
                                                                 buffer.data(), bufferSize);
    Require(buffer[bufferSize] == '\x7F', "nothing written past the buffer");
    if (bufferSize == 0) {
        Require(copied == 0, "nothing copied into no room");
        return 0;
    }
    Require(copied < bufferSize, "at most size - 1 characters");
    Require(buffer[copied] == '\0', "a NUL after what was copied");
    return 0;
}
