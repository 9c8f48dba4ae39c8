// Escaping of names and entries for one-line messages.
#include "core/cycle/PrintableText.h"

namespace rotaline {

namespace {

std::string Escaped(std::string_view text, bool inQuotes) {
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string quoted;
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        switch (c) {
        case '\n':
            quoted += "\\n";
            break;
        case '\t':
            quoted += "\\t";
            break;
        case '\r':
            quoted += "\\r";
            break;
        case '"':
        case '\\':
            if (inQuotes || c == '\\') {
                quoted += '\\';
            }
            quoted += c;
            break;
        default:
            if (byte < 0x20 || byte == 0x7f) {
                quoted += "\\x";
                quoted += kDigits[byte >> 4];
                quoted += kDigits[byte & 15];
            } else {
                quoted += c;
            }
        }
    }
    return quoted;
}

} // namespace

std::string Quoted(std::string_view text) {
    return "\"" + Escaped(text, true) + "\"";
}

std::string EscapedForTerminal(std::string_view text) {
    return Escaped(text, false);
}

} // namespace rotaline
