#include "ProgramImage.h"

#include "AtomicFile.h"

#include <algorithm>
#include <string_view>

namespace korvalin {

ProgramImage BuildProgramImage(const FontSet& table) {
    ProgramImage image{};
    auto out = std::copy(kProgramImageHeader.begin(), kProgramImageHeader.end(), image.begin());
    const auto cells = table.cells();
    for (std::size_t row = 0; row < FontSet::kCharacters * FontSet::kRows; ++row) {
        std::uint8_t bits = 0;
        for (std::size_t column = 0; column < FontSet::kColumns; ++column) {
            const auto value = static_cast<std::uint16_t>(cells[row * FontSet::kColumns + column]);
            bits = static_cast<std::uint8_t>((bits << 1) | (~value & 1));
        }
        *out++ = bits;
    }
    return image;
}

void WriteProgramImage(const std::filesystem::path& path, const FontSet& table) {
    const ProgramImage image = BuildProgramImage(table);
    // The packer reads the image at once and the set in memory can always make it again.
    // A work file of the program folder: a link planted in its place is replaced, not
    // written through.
    WriteFileAtomically(path,
                        std::string_view(reinterpret_cast<const char*>(image.data()), image.size()),
                        Durability::Transient, LinkPolicy::Replace);
}

} // namespace korvalin
