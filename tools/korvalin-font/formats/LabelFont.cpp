#include "LabelFont.h"

#include <array>
#include <stdexcept>

namespace korvalin {
namespace {

// Five rows a digit, the left column in bit 2.
constexpr std::array<std::array<std::uint8_t, kLabelDigitHeight>, 16> kDigits = {{
    {0b111, 0b101, 0b101, 0b101, 0b111}, // 0
    {0b010, 0b110, 0b010, 0b010, 0b111}, // 1
    {0b111, 0b001, 0b111, 0b100, 0b111}, // 2
    {0b111, 0b001, 0b011, 0b001, 0b111}, // 3
    {0b101, 0b101, 0b111, 0b001, 0b001}, // 4
    {0b111, 0b100, 0b111, 0b001, 0b111}, // 5
    {0b111, 0b100, 0b111, 0b101, 0b111}, // 6
    {0b111, 0b001, 0b010, 0b010, 0b010}, // 7
    {0b111, 0b101, 0b111, 0b101, 0b111}, // 8
    {0b111, 0b101, 0b111, 0b001, 0b111}, // 9
    {0b010, 0b101, 0b111, 0b101, 0b101}, // A
    {0b110, 0b101, 0b110, 0b101, 0b110}, // B
    {0b011, 0b100, 0b100, 0b100, 0b011}, // C
    {0b110, 0b101, 0b101, 0b101, 0b110}, // D
    {0b111, 0b100, 0b110, 0b100, 0b111}, // E
    {0b111, 0b100, 0b110, 0b100, 0b100}, // F
}};

int digitValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    throw std::invalid_argument(std::string("the label font has no \"") + c + "\"");
}

} // namespace

void DrawLabel(Pixels& out, std::string_view digits, int x, int y, int zoom, std::uint32_t colour) {
    for (const char c : digits) {
        const auto& rows = kDigits[static_cast<std::size_t>(digitValue(c))];
        for (int row = 0; row < kLabelDigitHeight; ++row)
            for (int column = 0; column < kLabelDigitWidth; ++column)
                if ((rows[static_cast<std::size_t>(row)] >> (kLabelDigitWidth - 1 - column)) & 1)
                    out.fill(x + column * zoom, y + row * zoom, zoom, zoom, colour);
        x += kLabelAdvance * zoom;
    }
}

} // namespace korvalin
