// The commands that write files: compile, render, screen, import and export.
#include "AtomicFile.h"
#include "Bdf.h"
#include "Charmap.h"
#include "Commands.h"
#include "FileError.h"
#include "FontImport.h"
#include "FontLimits.h"
#include "FontSetFile.h"
#include "GlyphArt.h"
#include "GlyphText.h"
#include "InputFile.h"
#include "PngCodec.h"
#include "ProgramFile.h"
#include "ProgramFolder.h"
#include "ProgramImage.h"
#include "ProgramName.h"
#include "ProgramVariable.h"
#include "Psf.h"
#include "Screen.h"
#include "Sheet.h"
#include "SourceExport.h"
#include "UnifontHex.h"

#include <algorithm>
#include <array>
#include <initializer_list>
#include <iostream>
#include <optional>
#include <ostream>

namespace korvalin {
namespace {

// A failure of the usage, told apart from a failure of the work.
struct UsageError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// Refuses to write onto any file the command reads, however it is named (a link, a hard
// link, /proc/self/fd/N): a slip of the shell's history would otherwise replace a set with
// its own sheet or program.
void refuseOverwritingInputs(const Invocation& call, const std::filesystem::path& target,
                             std::initializer_list<std::filesystem::path> inputs) {
    for (const std::filesystem::path& input : inputs) {
        std::error_code error;
        if (std::filesystem::equivalent(target, input, error))
            throw UsageError(target.string() + ": is the file " + call.command.name +
                             " reads; write to another file");
    }
}

// The -o file, which must be none of `inputs`.
std::filesystem::path requiredOutput(Invocation& call,
                                     std::initializer_list<std::filesystem::path> inputs) {
    const std::string value = call.options.value("output");
    if (value.empty())
        throw UsageError(std::string(call.command.name) + " needs -o FILE");
    const std::filesystem::path target = toPath(value);
    refuseOverwritingInputs(call, target, inputs);
    return target;
}

// A sheet that render writes must come back through import.
static_assert(std::size_t{kSheetWidth} * kSheetMaxScale * kSheetHeight * kSheetMaxScale <=
              kMaxPngPixels);

int scaleOption(Invocation& call, int fallback, int largest) {
    if (!call.options.isSet("scale"))
        return fallback;
    const std::optional<int> scale = WholeNumber(call.options.value("scale"));
    if (!scale || *scale < 1 || *scale > largest)
        throw UsageError("--scale takes a whole number from 1 to " + std::to_string(largest));
    return *scale;
}

FontSet readSet(const std::string& path) {
    FontSet table;
    ReadSetOrProgram(toPath(path), table);
    return table;
}

// Far more than eight rows of text and their escapes take; an endless input stops here.
constexpr std::size_t kMaxScreenTextSize = 64u << 10;

std::string readStandardInput(const std::filesystem::path& name, std::size_t limit) {
    std::string text;
    char buffer[4096];
    while (std::cin.read(buffer, sizeof buffer) || std::cin.gcount() > 0) {
        text.append(buffer, static_cast<std::size_t>(std::cin.gcount()));
        if (text.size() > limit)
            throw FileError(name, "is larger than " + std::to_string(limit) + " bytes");
    }
    const bool failed = std::cin.bad();
    std::cin.clear();
    if (failed)
        throw FileError(name, "could not be read to its end");
    return text;
}

// The --text argument as typed, or the text of --text-file (standard input for "-"), its
// line ends as line feeds and the file's last one dropped.
std::string screenText(Invocation& call) {
    const bool typed = call.options.isSet("text");
    const bool file = call.options.isSet("text-file");
    if (typed == file)
        throw UsageError("screen needs --text TEXT or --text-file FILE");
    if (typed)
        return call.options.value("text");
    const std::string name = call.options.value("text-file");
    const std::filesystem::path path =
        name == "-" ? std::filesystem::path("standard input") : toPath(name);
    std::string text = name == "-" ? readStandardInput(path, kMaxScreenTextSize)
                                   : ReadWholeFile(path, kMaxScreenTextSize);
    for (std::size_t at = text.find("\r\n"); at != std::string::npos; at = text.find("\r\n", at))
        text.erase(at, 1);
    if (text.ends_with('\n'))
        text.pop_back();
    try {
        (void)DecodeUtf8(text);
    } catch (const std::invalid_argument& error) {
        throw FileError(path, error.what());
    }
    return text;
}

std::string lowerExtension(const std::filesystem::path& path) {
    std::string extension = path.extension().string();
    for (char& c : extension)
        c = c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
    return extension;
}

// The names of the codes as the art's headers give them: the symbol, or a word for it.
std::array<std::string, FontSet::kCharacters> artNames() {
    std::array<std::string, FontSet::kCharacters> names;
    for (int code = 0; code < FontSet::kCharacters; ++code) {
        const std::string title = CodeTitle(code);
        const std::size_t blank = title.find(' ');
        names[static_cast<std::size_t>(code)] =
            blank == std::string::npos ? std::string() : title.substr(blank + 1);
    }
    return names;
}

// What export writes, by the extension of its file.
struct ExportFormat {
    std::string_view extension;
    std::string (*write)(const FontSet& table, const std::filesystem::path& target);
};

const ExportFormat kExportFormats[] = {
    {".bdf", [](const FontSet& table, const std::filesystem::path&) { return WriteBdf(table); }},
    {".psf", [](const FontSet& table, const std::filesystem::path&) { return WritePsf(table); }},
    {".png", [](const FontSet& table,
                const std::filesystem::path&) { return EncodePng(RenderSheet(table)); }},
    {".hex",
     [](const FontSet& table, const std::filesystem::path&) { return WriteUnifontHex(table); }},
    {".txt",
     [](const FontSet& table, const std::filesystem::path&) {
         return WriteFontArt(table, artNames(),
                             "A Korvalin font set drawn as text art, written by korvalin-font.\n"
                             "Each glyph: \"== CODE NAME\", then 7 rows of 5 cells, '#' ink "
                             "and '.' paper.");
     }},
    {".h",
     [](const FontSet& table, const std::filesystem::path& target) {
         return WriteCHeader(table, target.stem().string());
     }},
    {".inc",
     [](const FontSet& table, const std::filesystem::path& target) {
         return WriteZ80Include(table, target.stem().string());
     }},
    {".z80",
     [](const FontSet& table, const std::filesystem::path& target) {
         return WriteZ80Include(table, target.stem().string());
     }},
};

// Runs a command's work, turning its exceptions into a message and an exit status.
template <typename Work>
int guarded(Invocation& call, Work work) {
    try {
        work();
        return kSuccess;
    } catch (const UsageError& error) {
        return complain(call, error.what(), kUsage);
    } catch (const std::exception& error) {
        return complain(call, error.what(), kFailure);
    }
}

} // namespace

int RunCompile(Invocation& call) {
    // No cut to 8 as the editor's prompt does: a script that asked for a longer name
    // would get a program it never named.
    const std::string name = call.positional[1];
    if (const std::string problem = ProgramNameProblem(name); !problem.empty())
        return complain(call, problem, kUsage);
    return guarded(call, [&] {
        const std::string folder = call.options.value("output");
        const std::filesystem::path set = toPath(call.positional[0]);
        const std::filesystem::path target =
            toPath(folder.empty() ? std::string(".") : folder) / (name + ".8xp");
        refuseOverwritingInputs(call, target, {set});
        const ProgramImage image = BuildProgramImage(readSet(call.positional[0]));
        const std::vector<std::uint8_t> file = PackProgramVariable(name, image, kPackerComment);
        WriteFileAtomically(
            target, std::string_view(reinterpret_cast<const char*>(file.data()), file.size()));
    });
}

int RunRender(Invocation& call) {
    return guarded(call, [&] {
        const std::filesystem::path target = requiredOutput(call, {toPath(call.positional[0])});
        const int scale = scaleOption(call, kSheetDefaultScale, kSheetMaxScale);
        WriteFileAtomically(target, EncodePng(RenderSheet(readSet(call.positional[0]), scale)));
    });
}

int RunScreen(Invocation& call) {
    return guarded(call, [&] {
        const std::string text = screenText(call);
        const std::filesystem::path target = requiredOutput(call, {toPath(call.positional[0])});
        const int scale = scaleOption(call, kScreenDefaultScale, kMaxScale);
        WriteFileAtomically(target,
                            EncodePng(RenderScreen(readSet(call.positional[0]), text, scale)));
    });
}

namespace {

// An option's whole number within `low` to `high`, or a usage error.
int numberOption(Invocation& call, const std::string& name, int low, int high) {
    const std::optional<int> value = WholeNumber(call.options.value(name));
    if (!value || *value < low || *value > high)
        throw UsageError("--" + name + " takes a whole number from " + std::to_string(low) +
                         " to " + std::to_string(high));
    return *value;
}

ImportOptions importOptions(Invocation& call) {
    ImportOptions options;
    if (call.options.isSet("baseline"))
        options.baseline = numberOption(call, "baseline", 0, FontSet::kRows - 1);
    if (call.options.isSet("size"))
        options.size = numberOption(call, "size", 1, kMaxGlyphSide);
    if (call.options.isSet("shift")) {
        const std::string shift = call.options.value("shift");
        const std::size_t comma = shift.find(',');
        const std::optional<int> x =
            comma == std::string::npos ? std::nullopt : WholeNumber(shift.substr(0, comma));
        const std::optional<int> y =
            comma == std::string::npos ? std::nullopt : WholeNumber(shift.substr(comma + 1));
        if (x && y) {
            options.shiftX = *x;
            options.shiftY = *y;
        }
        if (!x || !y || std::abs(options.shiftX) > 16 || std::abs(options.shiftY) > 16)
            throw UsageError("--shift takes DX,DY, two whole numbers from -16 to 16");
    }
    if (call.options.isSet("hinting")) {
        const std::optional<Hinting> hinting = HintingNamed(call.options.value("hinting"));
        if (!hinting)
            throw UsageError("--hinting takes font, auto or none");
        options.hinting = *hinting;
    }
    if (call.options.isSet("codes")) {
        const auto codes = CodeRanges(call.options.value("codes"));
        if (!codes || codes->none())
            throw UsageError("--codes takes codes 0 to 255 and ranges of them, such as "
                             "65-90,0x61-0x7A,32");
        options.codes = *codes;
    }
    return options;
}

std::string codeList(const std::vector<int>& codes) {
    std::string list;
    for (const int code : codes)
        list += " " + std::to_string(code);
    return list;
}

} // namespace

int RunImport(Invocation& call) {
    return guarded(call, [&] {
        const ImportOptions options = importOptions(call);
        const std::string baseOption = call.options.value("base");
        const std::filesystem::path source = toPath(call.positional[0]);
        const std::filesystem::path base =
            baseOption.empty() ? ExecutableFolder() / "default.8xfont" : toPath(baseOption);
        const std::filesystem::path target = requiredOutput(call, {source, base});
        FontSet baseSet;
        ReadFontSetFile(base, baseSet);
        const ImportResult result = ImportFont(source, baseSet, options);
        // A set that is the base again under a new name is no import.
        if (result.fromSource.empty())
            throw FileError(source, "no glyph that the charmap maps could be read from it; "
                                    "nothing was written");
        WriteFontSetFile(target, result.table);
        // One line a fact, each led by the file's name, the counts first.
        const std::string name = OneLine(call.positional[0]) + ": ";
        const std::string kept = codeList(result.kept);
        call.out << name << result.fromSource.size() << " codes from the font, "
                 << result.kept.size() << " kept the base glyph"
                 << (kept.empty() ? "\n" : ":" + kept + "\n");
        if (!result.placement.empty()) {
            call.out << name << OneLine(result.placement) << "\n";
            call.out << name
                     << (result.lostInk.empty() ? std::string("no code lost ink")
                                                : std::to_string(result.lostInk.size()) +
                                                      " codes lost ink:" + codeList(result.lostInk))
                     << "\n";
        }
        if (!result.note.empty())
            call.out << name << OneLine(result.note) << "\n";
    });
}

int RunExport(Invocation& call) {
    return guarded(call, [&] {
        const std::filesystem::path target = requiredOutput(call, {toPath(call.positional[0])});
        const std::string extension = lowerExtension(target);
        const auto format = std::ranges::find(kExportFormats, extension, &ExportFormat::extension);
        if (format == std::end(kExportFormats))
            throw UsageError("export writes FONT.bdf, FONT.psf, FONT.png, FONT.hex, FONT.txt, "
                             "FONT.h, FONT.inc or FONT.z80, not \"" +
                             target.filename().string() + "\"");
        WriteFileAtomically(target, format->write(readSet(call.positional[0]), target));
    });
}

} // namespace korvalin
