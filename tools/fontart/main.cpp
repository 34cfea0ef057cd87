// fontart ART OUT: turns a font drawn as text art into a font set file.
#include "FileError.h"
#include "FontSetFile.h"
#include "GlyphArt.h"

#include <fstream>
#include <iostream>

int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "usage: fontart FONT-ART.txt OUT.8xfont\n";
        return 2;
    }
    try {
        std::ifstream art(argv[1], std::ios::binary);
        if (!art)
            throw korvalin::FileError(argv[1], "cannot be opened");
        korvalin::WriteFontSetFile(argv[2], korvalin::ReadFontArt(art, argv[1]));
    } catch (const std::exception& error) {
        std::cerr << "fontart: " << error.what() << '\n';
        return 1;
    }
    return 0;
}
