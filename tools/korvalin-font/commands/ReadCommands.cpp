// The commands that only read sets: check, show and diff, of a set file or a font program.
#include "Commands.h"
#include "FontImport.h"
#include "FontSetFile.h"
#include "FontSetLayout.h"
#include "GlyphArt.h"
#include "GlyphText.h"
#include "PathText.h"
#include "ProgramFile.h"
#include "ProgramImage.h"
#include "StandardStreams.h"

#include <cstdio>
#include <ostream>
#include <sstream>

namespace korvalin {
namespace {

std::string shows(CellValue value) {
    if (value < 0)
        return "shows black";
    if (value > 255)
        return "shows white";
    return "shows as grey " + std::to_string(value);
}

// Every cell that is neither ink nor paper; returns how many.
int reportOddCells(const std::string& name, const FontSet& table, std::ostream& out) {
    int count = 0;
    for (int code = 0; code < FontSet::kCharacters; ++code) {
        for (int cell = 0; cell < FontSet::kCellsPerGlyph; ++cell) {
            const CellValue value = table.cell(code, cell);
            if (value == FontSet::kSet || value == FontSet::kClear)
                continue;
            ++count;
            out << name << ": character " << CodeTitle(code) << ", cell " << cell << " (row "
                << cell / FontSet::kColumns << ", column " << cell % FontSet::kColumns
                << "): value " << value << " " << shows(value) << " and packs as "
                << ((value & 1) == 0 ? "ink" : "paper") << "\n";
        }
    }
    return count;
}

std::string rowByte(std::uint8_t byte) {
    char hex[4];
    std::snprintf(hex, sizeof hex, "%02X", byte);
    return hex;
}

// The seven art rows of a glyph, each beside the next.
std::vector<std::string> artRows(const FontSet& table, int code) {
    std::istringstream art(GlyphArt(table.glyph(code)));
    std::vector<std::string> rows;
    for (std::string row; std::getline(art, row);)
        rows.push_back(row);
    return rows;
}

} // namespace

int RunCheck(Invocation& call) {
    const bool strict = call.options.isSet("strict");
    int status = kSuccess;
    for (const std::string& argument : call.positional) {
        FontSet table;
        std::string bytes;
        try {
            bytes = ReadArgument(call, argument, kMaxFontFileSize);
            table = SetFromBytes(bytes, ArgumentName(argument));
        } catch (const std::exception& error) {
            status = complain(call, error.what(), kFailure);
            continue;
        }
        const std::string name = OneLine(PathText(ArgumentName(argument)));
        // What the editor reads, though not as the set's writer meant it.
        const std::vector<std::string> problems =
            IsTiVariableFile(bytes) ? std::vector<std::string>() : FontSetLayoutProblems(bytes);
        for (const std::string& problem : problems)
            status = complain(call, name + ": " + problem, kFailure);
        if (!problems.empty())
            continue;
        if (strict) {
            if (const int odd = reportOddCells(name, table, call.out); odd > 0) {
                status = complain(call,
                                  name + ": " + std::to_string(odd) +
                                      (odd == 1 ? " cell is" : " cells are") + " neither 0 nor 255",
                                  kFailure);
                continue;
            }
        }
        call.out << name << ": ok\n";
    }
    return status;
}

int RunShow(Invocation& call) {
    std::vector<int> codes;
    for (std::size_t i = 1; i < call.positional.size(); ++i) {
        const std::optional<int> code = ParseCode(call.positional[i]);
        if (!code)
            return complain(call,
                            "\"" + call.positional[i] +
                                "\" is neither a code 0 to 255 nor a character of the charmap",
                            kUsage);
        codes.push_back(*code);
    }
    FontSet table;
    try {
        table = ReadSetArgument(call, call.positional[0]);
    } catch (const std::exception& error) {
        return complain(call, error.what(), kFailure);
    }
    const ProgramImage image = BuildProgramImage(table);
    for (std::size_t i = 0; i < codes.size(); ++i) {
        const int code = codes[i];
        call.out << (i == 0 ? "" : "\n") << CodeTitle(code) << "\n";
        const std::vector<std::string> rows = artRows(table, code);
        for (int row = 0; row < FontSet::kRows; ++row)
            call.out << rows[static_cast<std::size_t>(row)] << "  "
                     << rowByte(image[static_cast<std::size_t>(11 + 7 * code + row)]) << "\n";
    }
    return kSuccess;
}

int RunDiff(Invocation& call) {
    FontSet a;
    FontSet b;
    try {
        a = ReadSetArgument(call, call.positional[0]);
        b = ReadSetArgument(call, call.positional[1]);
    } catch (const std::exception& error) {
        // Like diff(1), trouble is 2, so that 1 always means "the sets differ".
        return complain(call, error.what(), kUsage);
    }
    int differing = 0;
    for (int code = 0; code < FontSet::kCharacters; ++code) {
        const auto left = a.glyph(code);
        const auto right = b.glyph(code);
        if (std::equal(left.begin(), left.end(), right.begin()))
            continue;
        const std::vector<std::string> leftRows = artRows(a, code);
        const std::vector<std::string> rightRows = artRows(b, code);
        call.out << (differing++ == 0 ? "" : "\n") << CodeTitle(code) << "\n";
        for (std::size_t row = 0; row < leftRows.size(); ++row)
            call.out << leftRows[row] << "  " << rightRows[row] << "\n";
    }
    return differing == 0 ? kSuccess : kFailure;
}

} // namespace korvalin
