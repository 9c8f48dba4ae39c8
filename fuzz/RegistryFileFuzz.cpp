// Any bytes as a Wine registry file: parsed without fault, every value answers its queries.
#include "core/settings/posix/WineRegistry.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>
#include <vector>

namespace {

void Require(bool holds, const char* what) {
    if (!holds) {
        std::fprintf(stderr, "broken: %s\n", what);
        std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const auto keys = rotaline::ParseRegistryFile(text);
    if (!keys) {
        Require(!text.starts_with("WINE REGISTRY Version 2\n") &&
                    !text.starts_with("WINE REGISTRY Version 2\r\n") &&
                    text != "WINE REGISTRY Version 2",
                "a file with the header is read");
        return 0;
    }
    for (const rotaline::RegistryFileKey& key : *keys) {
        Require(!key.path.starts_with('\\') && !key.path.ends_with('\\') &&
                    key.path.find("\\\\") == std::string::npos,
                "key paths joined by single backslashes");
        for (const rotaline::RegistryValue& value : key.values) {
            // A query without a buffer gives the size; a probe of size 0 says "more data"
            // exactly when there is some; then a query with room for what the probe asked for.
            std::uint32_t type = 0;
            std::uint32_t sized = 0;
            Require(rotaline::QueryRegistryValue(value, type, nullptr, sized) == 0,
                    "a query without a buffer succeeds");
            unsigned char none = 0;
            std::uint32_t needed = 0;
            const std::int32_t probe = rotaline::QueryRegistryValue(value, type, &none, needed);
            Require(probe == 0 || probe == rotaline::kErrorMoreData, "the probe's answer");
            Require((probe == 0) == (needed == 0), "more data exactly when there is some");
            Require(sized == needed, "the same size with or without a buffer");
            std::vector<unsigned char> buffer(needed);
            std::uint32_t got = needed;
            const std::int32_t query =
                rotaline::QueryRegistryValue(value, type, buffer.data(), got);
            Require(query == 0 && got == needed, "the query with room enough");
            Require(type == value.type, "the stored type");
        }
    }
    return 0;
}
