#include "Utf8.h"

namespace korvalin {

std::optional<Utf8Character> DecodeUtf8Character(std::string_view bytes) {
    if (bytes.empty())
        return std::nullopt;
    const auto lead = static_cast<unsigned char>(bytes.front());
    const std::size_t length = lead < 0x80   ? 1
                               : lead < 0xC2 ? 0
                               : lead < 0xE0 ? 2
                               : lead < 0xF0 ? 3
                               : lead < 0xF5 ? 4
                                             : 0;
    if (length == 0 || length > bytes.size())
        return std::nullopt;
    char32_t point = length == 1 ? lead : lead & (0x7Fu >> length);
    for (std::size_t i = 1; i < length; ++i) {
        const auto next = static_cast<unsigned char>(bytes[i]);
        if ((next & 0xC0) != 0x80)
            return std::nullopt;
        point = (point << 6) | (next & 0x3Fu);
    }
    const char32_t least = length == 3 ? 0x800 : length == 4 ? 0x10000 : 0;
    if (point < least || (point >= 0xD800 && point <= 0xDFFF) || point > 0x10FFFF)
        return std::nullopt;
    return Utf8Character{point, length};
}

bool IsUtf8(std::string_view text) {
    while (!text.empty()) {
        const std::optional<Utf8Character> character = DecodeUtf8Character(text);
        if (!character)
            return false;
        text.remove_prefix(character->length);
    }
    return true;
}

std::string_view WithoutByteOrderMark(std::string_view text) {
    constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
    if (text.starts_with(kByteOrderMark))
        text.remove_prefix(kByteOrderMark.size());
    return text;
}

} // namespace korvalin
