// Parses the Wine prefix's registry files and answers queries on them as advapi32 does.
#include "core/settings/posix/WineRegistry.h"

#include "core/platform/AsciiCase.h"
#include "core/platform/Paths.h"
#include "core/platform/TextFile.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <iterator>
#include <unordered_map>

namespace rotaline {

namespace {

constexpr std::int32_t kErrorInvalidHandle = 6;
constexpr std::int32_t kErrorBadPathname = 161;
constexpr std::uint32_t kRegExpandSz = 2;
constexpr std::uint32_t kRegMultiSz = 7;
// Links that lead round in a circle end here instead of never.
constexpr int kMaxLinkHops = 16;
// Far above what a prefix holds (a few MB, tens with much installed); a file past it, or a pipe
// or device in its place, is not read, so that start-up can neither block nor fill the memory.
constexpr std::size_t kMaxRegistryFileBytes = 128 * 1024 * 1024;
constexpr std::size_t kNoKey = static_cast<std::size_t>(-1);

// ---- Text ----

bool IsSpace(char c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}

std::string_view TrimLeft(std::string_view text) {
    while (!text.empty() && IsSpace(text.front())) {
        text.remove_prefix(1);
    }
    return text;
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

std::string LowerCase(std::string_view text) {
    std::string lower(text);
    std::transform(lower.begin(), lower.end(), lower.begin(), AsciiLower);
    return lower;
}

void AppendUtf8(std::string& out, char32_t code) {
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (code >> 18));
        out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

bool IsHighSurrogate(char32_t unit) {
    return unit >= 0xD800 && unit < 0xDC00;
}

bool IsLowSurrogate(char32_t unit) {
    return unit >= 0xDC00 && unit < 0xE000;
}

// A surrogate without its partner becomes U+FFFD, as Windows' UTF-8 conversion makes it.
std::string Utf16ToUtf8(std::u16string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char32_t unit = text[i];
        if (IsHighSurrogate(unit) && i + 1 < text.size() && IsLowSurrogate(text[i + 1])) {
            AppendUtf8(out, 0x10000 + ((unit - 0xD800) << 10) + (text[i + 1] - 0xDC00));
            ++i;
        } else if (IsHighSurrogate(unit) || IsLowSurrogate(unit)) {
            AppendUtf8(out, 0xFFFD);
        } else {
            AppendUtf8(out, unit);
        }
    }
    return out;
}

// An odd last byte is half a character and is dropped, as Wine drops it.
std::string Utf16LeToUtf8(std::string_view bytes) {
    std::u16string units(bytes.size() / 2, u'\0');
    for (std::size_t i = 0; i < units.size(); ++i) {
        units[i] = static_cast<char16_t>(static_cast<unsigned char>(bytes[2 * i]) |
                                         (static_cast<unsigned char>(bytes[2 * i + 1]) << 8));
    }
    return Utf16ToUtf8(units);
}

std::string Utf16Le(std::u16string_view text) {
    std::string bytes;
    bytes.reserve(2 * text.size());
    for (const char16_t unit : text) {
        bytes += static_cast<char>(unit & 0xFF);
        bytes += static_cast<char>(unit >> 8);
    }
    return bytes;
}

void AppendUtf16(std::u16string& out, char32_t code) {
    if (code < 0x10000) {
        out += static_cast<char16_t>(code);
    } else {
        out += static_cast<char16_t>(0xD800 + ((code - 0x10000) >> 10));
        out += static_cast<char16_t>(0xDC00 + ((code - 0x10000) & 0x3FF));
    }
}

// Wine writes characters above 127 as escapes; one written raw by hand is read as UTF-8, and a
// byte that is no UTF-8 as the character of that number.
void DecodeCharacter(std::string_view text, std::size_t& i, std::u16string& out) {
    const auto lead = static_cast<unsigned char>(text[i]);
    const std::size_t extra = lead >= 0xF0 ? 3 : lead >= 0xE0 ? 2 : lead >= 0xC2 ? 1 : 0;
    char32_t code = extra == 3 ? lead & 0x07u : extra == 2 ? lead & 0x0Fu : lead & 0x1Fu;
    bool valid = extra > 0 && lead < 0xF5 && i + extra < text.size();
    for (std::size_t k = 1; valid && k <= extra; ++k) {
        const auto next = static_cast<unsigned char>(text[i + k]);
        valid = (next & 0xC0) == 0x80;
        code = (code << 6) | (next & 0x3Fu);
    }
    const char32_t least = extra == 3 ? 0x10000 : extra == 2 ? 0x800 : 0;
    valid = valid && code >= least && code <= 0x10FFFF && !IsHighSurrogate(code) &&
            !IsLowSurrogate(code);
    if (!valid) {
        out += static_cast<char16_t>(lead);
        ++i;
        return;
    }
    AppendUtf16(out, code);
    i += extra + 1;
}

char16_t NamedEscape(char c) {
    switch (c) {
    case 'a':
        return u'\a';
    case 'b':
        return u'\b';
    case 'e':
        return u'\x1b';
    case 'f':
        return u'\f';
    case 'n':
        return u'\n';
    case 'r':
        return u'\r';
    case 't':
        return u'\t';
    case 'v':
        return u'\v';
    default:
        return 0;
    }
}

// Decodes escaped text up to the unescaped `end` and consumes it with the end character.
std::optional<std::u16string> DecodeText(std::string_view& text, char end) {
    std::u16string out;
    std::size_t i = 0;
    while (i < text.size() && text[i] != end) {
        if (text[i] != '\\') {
            DecodeCharacter(text, i, out);
            continue;
        }
        if (++i == text.size()) {
            break;
        }
        const char c = text[i];
        if (NamedEscape(c) != 0) {
            out += NamedEscape(c);
            ++i;
        } else if (c == 'x') {
            char16_t unit = 0;
            for (int n = 0; ++i < text.size() && n < 4 && HexDigit(text[i]) >= 0; ++n) {
                unit = static_cast<char16_t>(unit * 16 + HexDigit(text[i]));
            }
            out += unit;
        } else if (c >= '0' && c <= '7') {
            char16_t unit = 0;
            for (int n = 0; i < text.size() && n < 3 && text[i] >= '0' && text[i] <= '7'; ++n) {
                unit = static_cast<char16_t>(unit * 8 + (text[i++] - '0'));
            }
            out += unit;
        } else {
            DecodeCharacter(text, i, out); // "\\", "\"", "\[": the character itself
        }
    }
    if (i >= text.size()) {
        return std::nullopt;
    }
    text.remove_prefix(i + 1);
    return out;
}

// ---- Lines and values ----

// Takes the next line off `rest`, a CR before its LF dropped.
bool NextLine(std::string_view& rest, std::string_view& line) {
    if (rest.empty()) {
        return false;
    }
    const std::size_t end = rest.find('\n');
    line = rest.substr(0, end);
    rest.remove_prefix(end == std::string_view::npos ? rest.size() : end + 1);
    if (!line.empty() && line.back() == '\r') {
        line.remove_suffix(1);
    }
    return true;
}

// Reads up to `most` hex digits as a number, too large ones held at the largest; nullopt when
// there is none.
std::optional<std::uint32_t> ReadHexNumber(std::string_view& text, std::size_t most) {
    std::uint32_t number = 0;
    std::size_t n = 0;
    for (; n < text.size() && n < most && HexDigit(text[n]) >= 0; ++n) {
        number = number > 0x0FFFFFFFu ? 0xFFFFFFFFu
                                      : number * 16 + static_cast<std::uint32_t>(HexDigit(text[n]));
    }
    if (n == 0) {
        return std::nullopt;
    }
    text.remove_prefix(n);
    return number;
}

// "0a,0b,\" and so on, a trailing backslash continuing the list on the next line.
bool ReadHexBytes(std::string_view line, std::string_view& rest, std::string& bytes) {
    for (;;) {
        while (!line.empty() && HexDigit(line.front()) >= 0) {
            const auto byte = ReadHexNumber(line, line.size());
            if (*byte > 0xFF) {
                return false;
            }
            bytes += static_cast<char>(*byte);
            line = TrimLeft(line);
            if (!line.empty() && line.front() == ',') {
                line = TrimLeft(line.substr(1));
            }
        }
        if (line.empty() || line.front() != '\\') {
            return true;
        }
        if (!NextLine(rest, line)) {
            return false;
        }
        line = TrimLeft(line);
    }
}

struct TextTag {
    std::string_view tag;
    std::uint32_t type;
};

constexpr std::array<TextTag, 4> kTextTags{{
    {"\"", kRegSz},
    {"str:\"", kRegSz},
    {"str(2):\"", kRegExpandSz},
    {"str(7):\"", kRegMultiSz},
}};

// The data after "=", continuation lines taken from `rest`. False for data Wine would refuse.
bool ReadValueData(std::string_view data, std::string_view& rest, RegistryValue& value) {
    for (const TextTag& text : kTextTags) {
        if (data.starts_with(text.tag)) {
            data.remove_prefix(text.tag.size());
            const auto decoded = DecodeText(data, '"');
            if (!decoded) {
                return false;
            }
            value.type = text.type;
            value.data = Utf16Le(*decoded);
            value.data.append(2, '\0'); // the file leaves out the NUL that the value has
            return true;
        }
    }
    if (data.starts_with("dword:")) {
        data.remove_prefix(6);
        const auto number = ReadHexNumber(data, 8);
        if (!number) {
            return false;
        }
        value.type = kRegDword;
        for (int shift = 0; shift < 32; shift += 8) {
            value.data += static_cast<char>((*number >> shift) & 0xFF);
        }
        return true;
    }
    if (data.starts_with("hex:")) {
        data.remove_prefix(4);
        value.type = kRegBinary;
    } else if (data.starts_with("hex(")) {
        data.remove_prefix(4);
        const auto type = ReadHexNumber(data, 8);
        if (!type || !data.starts_with("):")) {
            return false;
        }
        data.remove_prefix(2);
        value.type = *type;
    } else {
        return false;
    }
    return ReadHexBytes(data, rest, value.data);
}

// `"name"=data` or `@=data`.
void ReadValueLine(std::string_view line, std::string_view& rest, RegistryFileKey& key) {
    RegistryValue value;
    if (line.front() == '"') {
        line.remove_prefix(1);
        const auto name = DecodeText(line, '"');
        if (!name) {
            return;
        }
        value.name = Utf16ToUtf8(*name);
    } else {
        line.remove_prefix(1);
    }
    line = TrimLeft(line);
    if (line.empty() || line.front() != '=') {
        return;
    }
    if (ReadValueData(TrimLeft(line.substr(1)), rest, value)) {
        key.values.push_back(std::move(value));
    }
}

std::vector<std::string> SplitPath(std::string_view path) {
    std::vector<std::string> parts;
    while (!path.empty()) {
        const std::size_t end = std::min(path.find('\\'), path.size());
        if (end > 0) {
            parts.emplace_back(path.substr(0, end));
        }
        path.remove_prefix(std::min(end + 1, path.size()));
    }
    return parts;
}

std::string JoinPath(const std::vector<std::string>& parts) {
    std::string path;
    for (const std::string& part : parts) {
        if (!path.empty()) {
            path += '\\';
        }
        path += part;
    }
    return path;
}

// `[path] time`: the index of the key the following lines belong to, kNoKey for a bad line.
std::size_t ReadKeyLine(std::string_view line, std::vector<RegistryFileKey>& keys,
                        std::unordered_map<std::string, std::size_t>& byPath) {
    line.remove_prefix(1);
    const auto path = DecodeText(line, ']');
    if (!path) {
        return kNoKey;
    }
    std::string joined = JoinPath(SplitPath(Utf16ToUtf8(*path)));
    const auto [entry, added] = byPath.try_emplace(LowerCase(joined), keys.size());
    if (added) {
        keys.push_back(RegistryFileKey{std::move(joined), false, {}});
    }
    return entry->second;
}

const RegistryValue* FindValue(const std::vector<RegistryValue>& values, std::string_view name) {
    const auto found = std::find_if(values.rbegin(), values.rend(), [&](const RegistryValue& v) {
        return EqualIgnoringAsciiCase(v.name, name);
    });
    return found == values.rend() ? nullptr : &*found;
}

// ---- The key namespace ----

struct HiveFile {
    std::string_view root;
    std::string_view file;
};

// The files and the lower-case paths their keys are relative to; Wine's one user has this SID.
constexpr std::array<HiveFile, 3> kHiveFiles{{
    {"registry\\machine", "system.reg"},
    {"registry\\user\\s-1-5-21-0-0-0-1000", "user.reg"},
    {"registry\\user\\.default", "userdef.reg"},
}};

struct RootKey {
    std::uint32_t handle;
    std::string_view path;
};

constexpr std::array<RootKey, 6> kRootKeys{{
    {HKEY_CLASSES_ROOT_VALUE, "registry\\machine\\software\\classes"},
    {HKEY_CURRENT_USER_VALUE, "registry\\user\\s-1-5-21-0-0-0-1000"},
    {HKEY_LOCAL_MACHINE_VALUE, "registry\\machine"},
    {HKEY_USERS_VALUE, "registry\\user"},
    {HKEY_CURRENT_CONFIG_VALUE,
     "registry\\machine\\system\\currentcontrolset\\hardware profiles\\current"},
    {HKEY_DYN_DATA_VALUE, "registry\\dyndata"},
}};

// One file's keys, and every key that exists in it by lower-case path: a key known only as the
// parent of a deeper one maps to null.
struct Hive {
    std::vector<RegistryFileKey> keys;
    std::unordered_map<std::string, const RegistryFileKey*> index;
};

// The files read for one OpenKey, each on first need.
struct LoadedHives {
    std::string folder;
    std::array<std::optional<Hive>, kHiveFiles.size()> hives;
};

const Hive& LoadHive(LoadedHives& loaded, std::size_t which) {
    std::optional<Hive>& hive = loaded.hives[which];
    if (hive) {
        return *hive;
    }
    hive.emplace();
    // A hive that cannot be read holds no keys.
    const Result<std::string> file = ReadWholeFile(
        loaded.folder + "/" + std::string(kHiveFiles[which].file), kMaxRegistryFileBytes);
    if (auto keys = ParseRegistryFile(file ? *file : std::string())) {
        hive->keys = std::move(*keys);
    }
    for (const RegistryFileKey& key : hive->keys) {
        hive->index[LowerCase(key.path)] = &key;
    }
    for (const RegistryFileKey& key : hive->keys) {
        std::string path = LowerCase(key.path);
        // A parent already present has had its own parents entered.
        for (std::size_t cut = path.rfind('\\'); cut != std::string::npos; cut = path.rfind('\\')) {
            path.resize(cut);
            if (!hive->index.try_emplace(path, nullptr).second) {
                break;
            }
        }
    }
    return *hive;
}

bool IsWithin(std::string_view path, std::string_view root) {
    return path.starts_with(root) && (path.size() == root.size() || path[root.size()] == '\\');
}

struct Found {
    bool exists = false;
    const RegistryFileKey* key = nullptr;
};

Found Find(LoadedHives& loaded, const std::string& path) {
    for (std::size_t i = 0; i < kHiveFiles.size(); ++i) {
        const std::string_view root = kHiveFiles[i].root;
        if (IsWithin(path, root)) {
            const Hive& hive = LoadHive(loaded, i);
            const std::string relative = path.substr(std::min(path.size(), root.size() + 1));
            const auto entry = hive.index.find(relative);
            return entry != hive.index.end() ? Found{true, entry->second}
                                             : Found{relative.empty(), nullptr};
        }
        if (IsWithin(root, path)) {
            return Found{true, nullptr}; // "registry", "registry\user": above the files
        }
    }
    return Found{};
}

std::optional<std::vector<std::string>> LinkTarget(const RegistryFileKey& key) {
    const RegistryValue* target = FindValue(key.values, "SymbolicLinkValue");
    if (target == nullptr) {
        return std::nullopt;
    }
    auto parts = SplitPath(LowerCase(Utf16LeToUtf8(target->data)));
    if (parts.empty()) {
        return std::nullopt;
    }
    return parts;
}

// Walks `parts` from the top, following links. The first `created` parts exist even when no
// file holds them, as Wine creates a root key the first time it is used.
Found Resolve(LoadedHives& loaded, std::vector<std::string> parts, std::size_t created) {
    for (int hops = 0;; ++hops) {
        std::string path;
        Found found{true, nullptr};
        std::size_t i = 0;
        for (; i < parts.size(); ++i) {
            path += (i > 0 ? "\\" : "") + parts[i];
            found = Find(loaded, path);
            if (!found.exists && i >= created) {
                return Found{};
            }
            if (found.key != nullptr && found.key->link) {
                break;
            }
        }
        if (i == parts.size()) {
            return Found{true, found.key};
        }
        auto target = LinkTarget(*found.key);
        if (!target || hops == kMaxLinkHops) {
            return Found{};
        }
        created = i < created ? target->size() + created - i - 1 : 0;
        target->insert(target->end(), std::make_move_iterator(parts.begin() + i + 1),
                       std::make_move_iterator(parts.end()));
        parts = std::move(*target);
    }
}

} // namespace

std::optional<std::vector<RegistryFileKey>> ParseRegistryFile(std::string_view text) {
    std::string_view line;
    if (!NextLine(text, line) || line != "WINE REGISTRY Version 2") {
        return std::nullopt;
    }
    std::vector<RegistryFileKey> keys;
    std::unordered_map<std::string, std::size_t> byPath;
    std::size_t current = kNoKey;
    while (NextLine(text, line)) {
        line = TrimLeft(line);
        if (line.empty()) {
            continue;
        }
        switch (line.front()) {
        case '[':
            current = ReadKeyLine(line, keys, byPath);
            break;
        case '@':
        case '"':
            if (current != kNoKey) {
                ReadValueLine(line, text, keys[current]);
            }
            break;
        case '#':
            if (current != kNoKey && line.starts_with("#link")) {
                keys[current].link = true;
            }
            break;
        default:
            break; // comments, and lines Wine would refuse
        }
    }
    return keys;
}

std::int32_t QueryRegistryValue(const RegistryValue& value, std::uint32_t& type,
                                unsigned char* data, std::uint32_t& size) {
    const bool text =
        value.type == kRegSz || value.type == kRegExpandSz || value.type == kRegMultiSz;
    const std::string converted = text ? Utf16LeToUtf8(value.data) : std::string();
    const std::string& bytes = text ? converted : value.data;
    const auto needed = static_cast<std::uint32_t>(bytes.size());
    type = value.type;
    const std::uint32_t room = size;
    size = needed;
    // As advapi32 answers: no buffer asks for the size alone, which is no error.
    if (data == nullptr) {
        return 0;
    }
    if (needed > room) {
        return kErrorMoreData;
    }
    if (needed > 0) {
        std::memcpy(data, bytes.data(), needed);
    }
    // A text kept without its NUL gets one when there is room, uncounted in the size.
    if (text && needed > 0 && needed < room && bytes.back() != '\0') {
        data[needed] = 0;
    }
    return 0;
}

std::int32_t WineRegistry::OpenKey(std::uint32_t root, const std::string& keyPath,
                                   RegistryKey& key) {
    const auto rootKey = std::find_if(kRootKeys.begin(), kRootKeys.end(),
                                      [root](const RootKey& r) { return r.handle == root; });
    if (rootKey == kRootKeys.end()) {
        return kErrorInvalidHandle;
    }
    // A leading backslash would make the path absolute; HKCR alone forgives one.
    std::string_view path = keyPath;
    if (root == HKEY_CLASSES_ROOT_VALUE && path.starts_with('\\')) {
        path.remove_prefix(1);
    }
    if (path.starts_with('\\')) {
        return kErrorBadPathname;
    }
    std::vector<std::string> parts = SplitPath(rootKey->path);
    const std::size_t created = parts.size();
    for (std::string& part : SplitPath(LowerCase(path))) {
        parts.push_back(std::move(part));
    }
    LoadedHives loaded{WinePrefix(), {}};
    const Found found = Resolve(loaded, std::move(parts), created);
    if (!found.exists) {
        return kErrorFileNotFound;
    }
    key = nextKey_;
    nextKey_ += 4;
    openKeys_[key] = found.key != nullptr ? found.key->values : std::vector<RegistryValue>{};
    return 0;
}

std::int32_t WineRegistry::QueryValue(RegistryKey key, const std::string& valueName,
                                      std::uint32_t& type, unsigned char* data,
                                      std::uint32_t& size) {
    const auto open = openKeys_.find(key);
    if (open == openKeys_.end()) {
        return kErrorInvalidHandle;
    }
    const RegistryValue* value = FindValue(open->second, valueName);
    if (value == nullptr) {
        return kErrorFileNotFound;
    }
    return QueryRegistryValue(*value, type, data, size);
}

std::int32_t WineRegistry::CloseKey(RegistryKey key) {
    return openKeys_.erase(key) > 0 ? 0 : kErrorInvalidHandle;
}

} // namespace rotaline
