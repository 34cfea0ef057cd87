#pragma once

#include "Commands.h"
#include "FontSet.h"
#include "GlyphArt.h"
#include "TestSets.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <sstream>
#include <string>
#include <vector>

namespace korvalin::test {

struct ToolRun {
    int status;
    std::string out;
    std::string err;
};

// The tool in process, as `korvalin-font ARGUMENTS...` would run.
inline ToolRun runTool(const std::vector<std::string>& arguments) {
    std::ostringstream out;
    std::ostringstream err;
    const int status = RunFontTool(arguments, out, err);
    return {status, out.str(), err.str()};
}

inline std::string q(const std::filesystem::path& path) {
    return path.string();
}

// `text` with every `mark` replaced by `by`.
inline std::string replaced(std::string text, char mark, const std::string& by) {
    for (std::size_t at = text.find(mark); at != std::string::npos;
         at = text.find(mark, at + by.size()))
        text.replace(at, 1, by);
    return text;
}

inline void setGlyph(FontSet& table, int code, const Glyph& glyph) {
    for (int cell = 0; cell < FontSet::kCellsPerGlyph; ++cell)
        table.setCell(code, cell, glyph[static_cast<std::size_t>(cell)]);
}

} // namespace korvalin::test
