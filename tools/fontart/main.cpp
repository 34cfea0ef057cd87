// fontart ART OUT: turns a font drawn as text art into a font set file.
#include "FontSetFile.h"
#include "GlyphArt.h"
#include "InputFile.h"

#include <iostream>

namespace {
// Far more than 256 glyphs of art and their comments take; an endless input stops here.
constexpr std::size_t kMaxArtSize = 4 * 1024 * 1024;
} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "usage: fontart FONT-ART.txt OUT.8xfont\n";
        return 2;
    }
    try {
        korvalin::WriteFontSetFile(
            argv[2], korvalin::ReadFontArt(korvalin::ReadWholeFile(argv[1], kMaxArtSize), argv[1]));
    } catch (const std::exception& error) {
        std::cerr << "fontart: " << error.what() << '\n';
        return 1;
    }
    return 0;
}
