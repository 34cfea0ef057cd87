#include "Escaped.h"

namespace korvalin {
namespace {

void appendHex(std::string& out, unsigned char c) {
    constexpr char kHex[] = "0123456789ABCDEF";
    out += "\\x";
    out += kHex[c >> 4];
    out += kHex[c & 0xF];
}

// The length of the well-formed, printable UTF-8 character at the start of `bytes`, or 0.
std::size_t utf8Length(std::string_view bytes) {
    const auto lead = static_cast<unsigned char>(bytes.front());
    const std::size_t length = lead >= 0xF0 && lead <= 0xF4   ? 4
                               : lead >= 0xE0                 ? 3
                               : lead >= 0xC2 && lead <= 0xDF ? 2
                                                              : 0;
    if (length == 0 || length > bytes.size())
        return 0;
    for (std::size_t i = 1; i < length; ++i) {
        if ((static_cast<unsigned char>(bytes[i]) & 0xC0) != 0x80)
            return 0;
    }
    // U+0080..U+009F are control characters too.
    if (lead == 0xC2 && static_cast<unsigned char>(bytes[1]) < 0xA0)
        return 0;
    return length;
}

} // namespace

std::string EscapedExcerpt(std::string_view bytes, std::size_t limit, Utf8 utf8) {
    std::string shown;
    std::size_t at = 0;
    while (at < bytes.size() && at < limit) {
        const auto c = static_cast<unsigned char>(bytes[at]);
        if (c == '"') {
            shown += "\\\"";
        } else if (c >= 0x20 && c < 0x7F) {
            shown += static_cast<char>(c);
        } else if (const std::size_t length =
                       utf8 == Utf8::Kept && c >= 0x80 ? utf8Length(bytes.substr(at)) : 0;
                   length > 0 && at + length <= limit) {
            shown.append(bytes.substr(at, length));
            at += length;
            continue;
        } else {
            appendHex(shown, c);
        }
        ++at;
    }
    if (at < bytes.size())
        shown += "...";
    return shown;
}

} // namespace korvalin
