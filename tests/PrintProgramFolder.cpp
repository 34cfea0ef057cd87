// Prints the folder the program finds for itself, as the editor keeps it, so a test can
// copy this program into a folder with an odd name and compare.
#include "ProgramFolder.h"

#include <cstdio>
#include <exception>

int main() {
    try {
        const auto folder = korvalin::AppDirOf(korvalin::ExecutableFolder());
        std::fwrite(folder.data(), sizeof(folder[0]), folder.size(), stdout);
        return 0;
    } catch (const std::exception& error) {
        std::fprintf(stderr, "%s\n", error.what());
        return 1;
    }
}
