// The commands, their arguments and options, in the order the help lists them.
#include "Commands.h"
#include "PathText.h"
#include "ProgramFolder.h"

namespace korvalin {
namespace {

CommandOption output(const char* what) {
    return {"o", "output", what, "FILE"};
}
CommandOption scale(const char* what) {
    return {"s", "scale", what, "N"};
}

// The set beside the program, which the editor starts with.
std::string defaultSet() {
    return PathText(ExecutableFolder() / "default.8xfont");
}

} // namespace

const std::vector<Command>& Commands() {
    static const std::vector<Command> commands = {
        {"check",
         "[--strict] SET.8xfont...",
         "Read each set as the editor does and report it; a font program (.8xp, .8xg) "
         "is read for the set inside.",
         1,
         -1,
         -1,
         {{"", "strict", "Also report every cell that is neither 0 nor 255, and fail on any.",
           nullptr}},
         RunCheck},
        {"show",
         "SET.8xfont CODE...",
         "Print glyphs (CODE: 0 to 255 or a character) as # and . beside their row bytes.",
         2,
         -1,
         1,
         {},
         RunShow},
        {"compile",
         "SET.8xfont NAME [-o DIR]",
         "Write NAME.8xp, the calculator program of the set (NAME: 1 to 8 letters and "
         "digits, the first a letter).",
         2,
         2,
         1,
         {{"o", "output",
           "The folder for NAME.8xp (default: the current one), or - for standard output.", "DIR"}},
         RunCompile},
        {"render",
         "SET.8xfont -o SHEET.png [--scale N]",
         "Draw all 256 glyphs as a 16x16 sheet, each labelled with its code in decimal and hex.",
         1,
         1,
         1,
         {output("The PNG file to write (- for standard output)."),
          scale("Pixels per sheet pixel, 1 to 16 (default 2).")},
         RunRender},
        {"screen",
         "SET.8xfont --text TEXT -o SCREEN.png [--scale N]",
         "Draw the calculator's 96x64 home screen showing TEXT, or the text of --text-file.",
         1,
         1,
         1,
         {{"t", "text",
           "UTF-8 text; \\xNN is the code NN in hex, \\n starts "
           "a new row, \\\\ is a backslash. Other spellings "
           "of a symbol are taken too (\u25BA for \u25B6, "
           "\u207B for \u02D7, \U0001D452 for \u212F).",
           "TEXT"},
          {"", "text-file",
           "The text from FILE (- for standard input), with the "
           "same escapes; its line feeds start new rows.",
           "FILE", OptionValue::FileRead},
          output("The PNG file to write (- for standard output)."),
          scale("Pixels per screen pixel, 1 to 32 (default 4).")},
         RunScreen},
        {"import",
         "SOURCE -o SET.8xfont [--base SET.8xfont] [OPTIONS]",
         "Make a set from a BDF, PCF, PSF, TrueType or OpenType font, a Unifont .hex, text "
         "art, a sheet PNG, or the font program of an .8xp or .8xg; the content tells which. "
         "A 5x7 font is copied as drawn; any other size is placed by its baseline and "
         "centred, and what falls outside the cell is cut. Prints the counts, the size, "
         "strike and baseline used, and the codes that lost ink.",
         1,
         1,
         1,
         {output("The font set file to write (- for standard output; the summary then goes to "
                 "standard error)."),
          {"b", "base",
           "The set whose glyphs the codes keep that the "
           "source lacks (default: the editor's default set).",
           "SET", OptionValue::FileRead, defaultSet},
          {"", "baseline",
           "The last row above the baseline, 0 to 6 (default "
           "5: descenders in row 6; a 5x7 font its own).",
           "ROW"},
          {"", "shift",
           "Move every glyph DX columns right and DY rows "
           "down after placing it (--shift=-1,0 for left).",
           "DX,DY"},
          {"", "size",
           "Pixels to the em of an outline font (default: the "
           "largest whose letters and digits fit), or the "
           "height of the strike to take.",
           "PX"},
          {"", "hinting",
           "An outline font's hinting: font (its own; "
           "FreeType's auto-hinter where it has none), auto "
           "or none.",
           "MODE"},
          {"", "codes",
           "Take only these codes from the source, such as "
           "65-90,0x61-0x7A,32; the others keep the base.",
           "RANGE[,RANGE]"}},
         RunImport},
        {"export",
         "SET.8xfont -o FONT.{bdf,psf,png,hex,txt,h,inc,z80}",
         "Write the set as a BDF font, a PSF2 console font, a sheet PNG, a Unifont .hex, "
         "text art, a C header (NAME[256][7] of row bytes) or a Z80 include (.inc, .z80: "
         ".db lines).",
         1,
         1,
         1,
         {output("The file to write (- for standard output); its extension picks the format."),
          {"f", "format",
           "The format, one of bdf, psf, png, hex, txt, h, inc and z80, "
           "for standard output or a file named otherwise.",
           "FORMAT"},
          {"", "name",
           "The name of a C header's array or a Z80 include's label (default: the file's "
           "name, made a valid one).",
           "NAME"}},
         RunExport},
        {"diff",
         "A.8xfont B.8xfont",
         "Show the glyphs that differ side by side; exit 1 when any does.",
         2,
         2,
         -1,
         {},
         RunDiff},
    };
    return commands;
}

} // namespace korvalin
