#include "ProgramFile.h"

#include "FileError.h"
#include "ProgramImage.h"
#include "VariableFile.h"

#include <algorithm>

namespace korvalin {
namespace {

using namespace variable_file;

unsigned word(std::string_view bytes, std::size_t at) {
    return static_cast<unsigned char>(bytes[at]) |
           static_cast<unsigned>(static_cast<unsigned char>(bytes[at + 1])) << 8;
}

// Why a program's data is no font image, or nothing when it is one.
std::string imageProblem(const TiVariable& program) {
    const std::size_t size = program.data.size() - 2;
    if (word(std::string_view(reinterpret_cast<const char*>(program.data.data()), 2), 0) != size)
        return "its program length disagrees with its variable length";
    const std::uint8_t* image = program.data.data() + 2;
    if (size < kProgramImageHeaderSize ||
        !std::equal(image, image + kProgramPrologueSize, kProgramImageHeader.begin()))
        return "it is no assembled program with the font image's prologue BB 6D C9";
    if (!std::equal(image + kProgramPrologueSize, image + kProgramImageHeaderSize,
                    kProgramImageHeader.begin() + kProgramPrologueSize))
        return "it lacks the font image's signature \"korvalin\"";
    if (size != kProgramImageSize)
        return "its image has " + std::to_string(size) + " bytes, not " +
               std::to_string(kProgramImageSize);
    for (std::size_t at = kProgramImageHeaderSize; at < size; ++at)
        if (image[at] >= 1u << FontSet::kColumns)
            return "row byte " + std::to_string(at) + " sets bits beyond the five columns";
    return {};
}

} // namespace

bool IsTiVariableFile(std::string_view bytes) {
    return bytes.starts_with("**TI");
}

std::vector<TiVariable> ReadTiVariables(std::string_view bytes,
                                        const std::filesystem::path& source) {
    if (!bytes.starts_with(kSignature))
        throw FileError(source, "is not a TI-83 Plus variable file (its signature is not "
                                "\"**TI83F*\" and the bytes 1A 0A 00)");
    if (bytes.size() < kHeaderSize + kChecksumSize)
        throw FileError(source, "is truncated: " + std::to_string(bytes.size()) +
                                    " bytes are shorter than a variable file's header");
    const std::size_t dataSize = word(bytes, kHeaderSize - 2);
    if (bytes.size() != kHeaderSize + dataSize + kChecksumSize)
        throw FileError(
            source,
            "has " + std::to_string(bytes.size()) +
                " bytes where its header "
                "promises " +
                std::to_string(kHeaderSize + dataSize + kChecksumSize) +
                (bytes.size() < kHeaderSize + dataSize + kChecksumSize ? " (truncated)" : ""));
    const std::string_view data = bytes.substr(kHeaderSize, dataSize);
    unsigned sum = 0;
    for (const char c : data)
        sum += static_cast<unsigned char>(c);
    if ((sum & 0xFFFF) != word(bytes, kHeaderSize + dataSize))
        throw FileError(source, "has a wrong checksum: damaged in transfer or edited");

    std::vector<TiVariable> variables;
    for (std::size_t at = 0; at < data.size();) {
        const std::string where = "variable " + std::to_string(variables.size() + 1);
        if (data.size() - at < 4)
            throw FileError(source, where + " is cut off in its header");
        const std::size_t headerSize = word(data, at);
        const std::size_t size = word(data, at + 2);
        if (headerSize != kShortEntryHeaderLength && headerSize != kEntryHeaderLength)
            throw FileError(source, where + " has a header of " + std::to_string(headerSize) +
                                        " bytes, not " + std::to_string(kShortEntryHeaderLength) +
                                        " or " + std::to_string(kEntryHeaderLength));
        if (data.size() - at < 2 + headerSize + 2 + size)
            throw FileError(source, where + " claims " + std::to_string(size) +
                                        " bytes, beyond the end of the file");
        if (word(data, at + 2 + headerSize) != size)
            throw FileError(source, where + " gives two different lengths");
        TiVariable variable;
        variable.type = static_cast<std::uint8_t>(data[at + 4]);
        const std::string_view name = data.substr(at + 5, kNameSize);
        variable.name = std::string(name.substr(0, std::min(name.find('\0'), name.size())));
        const std::string_view body = data.substr(at + 4 + headerSize, size);
        variable.data.assign(body.begin(), body.end());
        variables.push_back(std::move(variable));
        at += 2 + headerSize + 2 + size;
    }
    if (variables.empty())
        throw FileError(source, "holds no variable");
    return variables;
}

FontSet ReadFontProgram(std::string_view bytes, const std::filesystem::path& source) {
    const std::vector<TiVariable> variables = ReadTiVariables(bytes, source);
    std::vector<const TiVariable*> fonts;
    std::string refused;
    for (const TiVariable& variable : variables) {
        if (variable.type != kProgram && variable.type != kProtectedProgram)
            continue;
        const std::string problem =
            variable.data.size() < 2 ? "it is shorter than its length" : imageProblem(variable);
        if (problem.empty())
            fonts.push_back(&variable);
        else if (refused.empty())
            refused = "program " + variable.name + " is no Korvalin font: " + problem;
    }
    if (fonts.empty())
        throw FileError(source, refused.empty() ? "holds no program, so no font set (variable "
                                                  "type " +
                                                      std::to_string(variables[0].type) + ")"
                                                : refused);
    if (fonts.size() > 1) {
        std::string names;
        for (const TiVariable* font : fonts)
            names += (names.empty() ? "" : ", ") + font->name;
        throw FileError(source, "holds " + std::to_string(fonts.size()) + " font programs (" +
                                    names + "); export the one to import from the group");
    }
    FontSet table;
    const std::uint8_t* rows = fonts.front()->data.data() + 2 + kProgramImageHeaderSize;
    for (int code = 0; code < FontSet::kCharacters; ++code)
        for (int cell = 0; cell < FontSet::kCellsPerGlyph; ++cell) {
            const unsigned row = rows[code * FontSet::kRows + cell / FontSet::kColumns];
            const bool ink = (row >> (FontSet::kColumns - 1 - cell % FontSet::kColumns)) & 1;
            table.setCell(code, cell, ink ? FontSet::kSet : FontSet::kClear);
        }
    return table;
}

} // namespace korvalin
