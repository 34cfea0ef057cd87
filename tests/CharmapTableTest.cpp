// The generated charmap against the table it is made from, read here on its own: a
// mistake in the table's copy or in make-charmap.py shows as the code it moved.
#include "Charmap.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <map>
#include <string>

namespace korvalin {
namespace {

// The symbol cell as the table writes it: a character, a backslash-escaped one, or a name.
std::string symbolOf(std::string cell) {
    if (cell == "(space)")
        return " ";
    if (cell == "(LF)")
        return "\n";
    if (cell == "\u2014")
        return "";
    std::string out;
    for (std::size_t i = 0; i < cell.size(); ++i) {
        if (cell[i] == '\\' && i + 1 < cell.size())
            ++i;
        out += cell[i];
    }
    return out;
}

// Code -> symbol from the rows "| code | 0xHH | symbol | name |".
std::map<int, std::string> readTable(const std::filesystem::path& path) {
    std::map<int, std::string> symbols;
    std::ifstream in(path);
    for (std::string line; std::getline(in, line);) {
        if (!line.starts_with("| ") || line.size() < 12 || !std::isdigit(line[2]))
            continue;
        const std::size_t hex = line.find(" | 0x");
        const std::size_t symbol = hex + 10;
        const std::size_t end = line.find(" | ", symbol);
        if (hex == std::string::npos || end == std::string::npos)
            continue;
        symbols[std::stoi(line.substr(2, hex - 2))] = symbolOf(line.substr(symbol, end - symbol));
    }
    return symbols;
}

TEST(CharmapTable, EveryCodeHasTheTablesSymbol) {
    const std::filesystem::path table = CHARMAP_TABLE;
    if (!std::filesystem::exists(table))
        GTEST_SKIP() << table << " is missing: the charmap table lives in shared/ beside the "
                     << "repository";
    const std::map<int, std::string> symbols = readTable(table);
    ASSERT_EQ(symbols.size(), 256u);
    for (const auto& [code, symbol] : symbols) {
        ASSERT_LT(code, 256);
        EXPECT_EQ(kCharmapSymbols[static_cast<std::size_t>(code)], symbol) << "code " << code;
    }
}

} // namespace
} // namespace korvalin
