// The commands, their arguments and options, in the order the help lists them.
#include "Commands.h"
#include "ImportSupport.h"
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

// `options` and then the import's, for the commands that take a font in place of a set.
std::vector<CommandOption> withImportOptions(std::vector<CommandOption> options) {
    const std::vector<CommandOption> import = ImportOptionDeclarations();
    options.insert(options.end(), import.begin(), import.end());
    return options;
}

} // namespace

std::vector<CommandOption> ImportOptionDeclarations() {
    return {{"b", "base",
             "The set whose glyphs the codes keep that the source lacks (default: the "
             "editor's default set).",
             "SET", OptionValue::FileRead, defaultSet},
            {"", "baseline",
             "The last row above the baseline, 0 to 6 (default: a 5x7 font's own; for a "
             "taller font the most legible row; else 5, descenders in row 6).",
             "ROW"},
            {"", "shift",
             "Move every glyph DX columns right and DY rows down after placing it "
             "(--shift=-1,0 for left).",
             "DX,DY"},
            {"", "size",
             "Pixels to the em of an outline font, or the height of the strike to take "
             "(default: the most legible).",
             "PX"},
            {"", "hinting",
             "An outline font's hinting: font (its own; FreeType's auto-hinter where it has "
             "none), auto or none (default: the most legible).",
             "MODE"},
            {"", "codes",
             "Take only these codes from the source, such as 65-90,0x61-0x7A,32; the others "
             "keep the base.",
             "RANGE[,RANGE]"}};
}

const std::vector<Command>& Commands() {
    static const std::vector<Command> commands = {
        {"check",
         "[--strict] SET.8xfont...",
         "Read each set as the editor does and report it, naming each line the editor "
         "would read other than as meant; a font program (.8xp, .8xg) is read for the set "
         "inside.",
         1,
         -1,
         -1,
         {{"", "strict", "Also report every cell that is neither 0 nor 255, and fail on any.",
           nullptr}},
         RunCheck,
         "korvalin-font check --strict FONT1.8xfont"},
        {"show",
         "SET.8xfont CODE...",
         "Print glyphs (CODE: 0 to 255 or a character) as # and . beside their row bytes.",
         2,
         -1,
         1,
         {},
         RunShow,
         "korvalin-font show FONT1.8xfont A 18"},
        {"compile",
         "SET.8xfont NAME [-o DIR]",
         "Write NAME.8xp, the calculator program of the set (NAME: 1 to 8 letters and "
         "digits, the first a letter).",
         2,
         2,
         1,
         {{"o", "output",
           "The folder for NAME.8xp (default: the current one), or - for standard output.", "DIR"}},
         RunCompile,
         "korvalin-font compile FONT1.8xfont FONT1"},
        {"render", "SET|FONT -o SHEET.png [--scale N] [OPTIONS]",
         "Draw all 256 glyphs as a 16x16 sheet, each labelled with its code in decimal and "
         "hex; any font or source that import reads is imported first, with its options.",
         1, 1, 1,
         withImportOptions({output("The PNG file to write (- for standard output)."),
                            scale("Pixels per sheet pixel, 1 to 16 (default 2).")}),
         RunRender, "korvalin-font render FONT1.8xfont -o sheet.png"},
        {"screen", "SET|FONT --text TEXT -o SCREEN.png [OPTIONS]",
         "Draw the calculator's 96x64 home screen showing TEXT, or the text of --text-file; "
         "any font or source that import reads is imported first, with its options.",
         1, 1, 1,
         withImportOptions({{"t", "text",
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
                            scale("Pixels per screen pixel, 1 to 32 (default 4).")}),
         RunScreen, "korvalin-font screen FONT1.8xfont --text \"HELLO\\nWORLD\" -o screen.png"},
        {"import", "SOURCE -o SET.8xfont [--strict] [OPTIONS]",
         "Make a set from a BDF, PCF, PSF, TrueType or OpenType font, a Unifont .hex, text "
         "art (all glyphs or some), another set, a sheet PNG or a bare 96x128 glyph grid, or "
         "the font program of an .8xp or .8xg; the content tells which. A 5x7 font is copied "
         "as drawn; any other is placed by its baseline and moved as a whole. The size, "
         "hinting and baseline that the options leave open are chosen for the most legible "
         "set. Prints the counts, the choice, the codes that lost ink, and warnings for "
         "unreadable letters and digits and for lost strokes.",
         1, 1, 1,
         withImportOptions(
             {output("The font set file to write (- for standard output; the summary then goes "
                     "to standard error)."),
              {"", "strict", "Fail on any warning, writing nothing.", nullptr}}),
         RunImport, "korvalin-font import DejaVuSansMono.ttf -o dejavu.8xfont"},
        {"preview", "FONT -o PREVIEW.png [--count N] [OPTIONS]",
         "Draw the candidates that import weighs for FONT, the most legible first, each as the "
         "calculator screen of a sample text with its size, hinting, baseline and penalty "
         "beside it; import's choice is framed.",
         1, 1, 1,
         withImportOptions(
             {output("The PNG file to write (- for standard output)."),
              {"n", "count", "How many candidates to draw, 1 to 100 (default 12).", "N"},
              {"t", "text",
               "The sample each candidate shows, with the escapes of screen "
               "(default: the letters, digits, a pangram and punctuation).",
               "TEXT"},
              scale("Pixels per picture pixel, 1 to 8 (default 2).")}),
         RunPreview, "korvalin-font preview DejaVuSansMono.ttf -o candidates.png"},
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
         RunExport,
         "korvalin-font export FONT1.8xfont -o font.bdf"},
        {"diff",
         "A.8xfont B.8xfont",
         "Show the glyphs that differ side by side; exit 1 when any does.",
         2,
         2,
         -1,
         {},
         RunDiff,
         "korvalin-font diff FONT1.8xfont dejavu.8xfont"},
    };
    return commands;
}

} // namespace korvalin
