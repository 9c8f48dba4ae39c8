// Escaping of names and entries for one-line messages.
#include "core/cycle/PrintableText.h"

namespace rotaline {

std::string Quoted(std::string_view text) {
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string quoted = "\"";
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
            quoted += '\\';
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
    return quoted + "\"";
}

} // namespace rotaline
