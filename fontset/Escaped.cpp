#include "Escaped.h"

#include "Utf8.h"

namespace korvalin {
namespace {

void appendHex(std::string& out, unsigned char c) {
    constexpr char kHex[] = "0123456789ABCDEF";
    out += "\\x";
    out += kHex[c >> 4];
    out += kHex[c & 0xF];
}

// The length of the printable UTF-8 character beyond ASCII at the start of `bytes`, or 0.
std::size_t printableLength(std::string_view bytes) {
    const auto character = DecodeUtf8Character(bytes);
    // U+0080..U+009F are control characters too.
    if (!character || character->point < 0xA0)
        return 0;
    return character->length;
}

std::string escaped(std::string_view bytes, std::size_t limit, bool quoted, Utf8 utf8) {
    std::string shown;
    std::size_t at = 0;
    while (at < bytes.size() && at < limit) {
        const auto c = static_cast<unsigned char>(bytes[at]);
        if (c == '"' && quoted) {
            shown += "\\\"";
        } else if (c >= 0x20 && c < 0x7F) {
            shown += static_cast<char>(c);
        } else if (const std::size_t length =
                       utf8 == Utf8::Kept && c >= 0x80 ? printableLength(bytes.substr(at)) : 0;
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

} // namespace

std::string EscapedText(std::string_view text) {
    return escaped(text, text.size(), false, Utf8::Kept);
}

std::string EscapedExcerpt(std::string_view bytes, std::size_t limit, Utf8 utf8) {
    return escaped(bytes, limit, true, utf8);
}

} // namespace korvalin
