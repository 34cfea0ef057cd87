#pragma once

#include "Commands.h"
#include "FontSet.h"
#include "GlyphArt.h"
#include "TestSets.h"

#include <QStringList>
#include <filesystem>
#include <gtest/gtest.h>
#include <sstream>
#include <string>

namespace korvalin::test {

struct ToolRun {
    int status;
    std::string out;
    std::string err;
};

// The tool in process, as `korvalin-font ARGUMENTS...` would run.
inline ToolRun runTool(const QStringList& arguments) {
    std::ostringstream out;
    std::ostringstream err;
    const int status = RunFontTool(arguments, out, err);
    return {status, out.str(), err.str()};
}

inline QString q(const std::filesystem::path& path) {
    return QString::fromStdString(path.string());
}

inline void setGlyph(FontSet& table, int code, const Glyph& glyph) {
    for (int cell = 0; cell < FontSet::kCellsPerGlyph; ++cell)
        table.setCell(code, cell, glyph[static_cast<std::size_t>(cell)]);
}

} // namespace korvalin::test
