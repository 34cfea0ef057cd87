#include "FileError.h"
#include "FontSetFile.h"
#include "SaveLoopSets.h"

#include <iostream>
#include <string_view>
#include <unistd.h>

// save_loop TARGET: saves set A and set B over TARGET in turn until it is killed. The crash
// test kills it at random moments and checks that TARGET always holds one set whole.
// save_loop TARGET once: saves set B once, for a test that injects a fault into the save.
int main(int argc, char** argv) {
    const bool once = argc == 3 && std::string_view(argv[2]) == "once";
    if (argc != 2 && !once) {
        std::cerr << "usage: save_loop TARGET [once]\n";
        return 2;
    }
    const korvalin::FontSet sets[] = {korvalin::test::saveLoopSetA(),
                                      korvalin::test::saveLoopSetB()};
    try {
        if (once) {
            korvalin::WriteFontSetFile(argv[1], sets[1]);
            return 0;
        }
        korvalin::WriteFontSetFile(argv[1], sets[0]);
        // One byte tells the parent that TARGET holds a whole set and the loop is running.
        if (::write(STDOUT_FILENO, "r", 1) != 1)
            return 1;
        for (unsigned long round = 1;; ++round)
            korvalin::WriteFontSetFile(argv[1], sets[round % 2]);
    } catch (const korvalin::FileError& error) {
        std::cerr << "save_loop: " << error.what() << '\n';
        return 1;
    }
}
