#pragma once

#include <filesystem>
#include <string>

namespace korvalin::test {

// What the independent TI file library makes of a variable file.
struct TiFile {
    bool read = false;
    unsigned entries = 0;
    std::string name;
    int type = -1;
    std::string data; // the variable's data: 2-byte length, then the program
    bool checksumGood = false;
};

TiFile readWithTiFiles(const std::filesystem::path& path);

} // namespace korvalin::test
