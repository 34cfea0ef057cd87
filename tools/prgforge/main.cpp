#include "Packer.h"

#include <iostream>
#include <string_view>
#include <vector>

int main(int argc, char** argv) {
    const std::vector<std::string_view> arguments(argv, argv + argc);
    return korvalin::RunPacker(arguments, ".", std::cout, std::cerr);
}
