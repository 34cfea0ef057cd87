// The import command: a real font, a sheet or a font program made into a set.
#include "Charmap.h"
#include "CommandSupport.h"
#include "Commands.h"
#include "FileError.h"
#include "FontLimits.h"
#include "FontSetFile.h"
#include "GlyphText.h"
#include "ImportSupport.h"
#include "InputFile.h"
#include "PathText.h"
#include "ProgramFile.h"
#include "StandardStreams.h"

#include <cstdlib>
#include <optional>
#include <ostream>

namespace korvalin {
namespace {

// An option's whole number within `low` to `high`, or a usage error.
int numberOption(Invocation& call, const std::string& name, int low, int high) {
    const std::optional<int> value = WholeNumber(call.options.value(name));
    if (!value || *value < low || *value > high)
        throw UsageError("--" + name + " takes a whole number from " + std::to_string(low) +
                         " to " + std::to_string(high));
    return *value;
}

std::string codeList(const std::vector<int>& codes) {
    std::string list;
    for (const int code : codes)
        list += " " + std::to_string(code);
    return list;
}

// "65 A, 66 B": each code with its symbol, for a warning.
std::string titledCodeList(const std::vector<int>& codes) {
    std::string list;
    for (const int code : codes)
        list += (list.empty() ? "" : ", ") + CodeTitle(code);
    return list;
}

// The summary's warnings, one line each; empty when the set reads well.
std::vector<std::string> warnings(const ImportResult& result) {
    std::vector<std::string> lines;
    if (!result.unreadable.empty())
        lines.push_back(
            "warning: " + std::to_string(result.unreadable.size()) +
            " letters and digits are blank or unreadable: " + titledCodeList(result.unreadable));
    if (!result.lostStrokes.empty())
        lines.push_back(
            "warning: " + std::to_string(result.lostStrokes.size()) +
            " codes lost strokes or counters in rendering: " + titledCodeList(result.lostStrokes));
    return lines;
}

} // namespace

ImportOptions ImportOptionsGiven(Invocation& call) {
    ImportOptions options;
    for (const PlacingOption option : {PlacingOption::Baseline, PlacingOption::Shift,
                                       PlacingOption::Size, PlacingOption::Hinting})
        if (call.options.isSet(std::string_view(PlacingOptionName(option)).substr(2)))
            options.given.push_back(option);
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

FontSet SetOrFontArgument(Invocation& call, const std::string& argument) {
    const ImportOptions options = ImportOptionsGiven(call);
    std::string bytes = ReadArgument(call, argument, kMaxFontFileSize);
    const std::filesystem::path name = ArgumentName(argument);
    // A set or a program is taken as it is unless an option asks for more: the import
    // then takes what applies to it and refuses the rest.
    const bool asIs = options.given.empty() && !call.options.isSet("codes");
    if (asIs && (IsTiVariableFile(bytes) || IsFontSetText(bytes)))
        return SetFromBytes(bytes, name);
    return ImportFontBytes(std::move(bytes), name,
                           ReadSetArgument(call, call.options.value("base")), options)
        .table;
}

int RunImport(Invocation& call) {
    return Guarded(call, [&] {
        const ImportOptions options = ImportOptionsGiven(call);
        const std::string& source = call.positional[0];
        const std::string target = RequiredOutput(call);
        const FontSet baseSet = ReadSetArgument(call, call.options.value("base"));
        const std::filesystem::path name = ArgumentName(source);
        const ImportResult result =
            ImportFontBytes(ReadArgument(call, source, kMaxFontFileSize), name, baseSet, options);
        // A set that is the base again under a new name is no import.
        if (result.fromSource.empty())
            throw FileError(name, "no glyph that the charmap maps could be read from it; "
                                  "nothing was written");
        const std::vector<std::string> warned = warnings(result);
        const bool strict = call.options.isSet("strict");
        if (!strict || warned.empty())
            WriteOutput(call, target, FontSetText(result.table));
        // One line a fact, each led by the file's name, the counts first; on standard
        // error when the set itself goes to standard output.
        std::ostream& summary =
            ArgumentDescriptor(target, Direction::Write) == 1 ? call.err : call.out;
        const std::string lead = OneLine(PathText(name)) + ": ";
        const std::string kept = codeList(result.kept);
        summary << lead << result.fromSource.size() << " codes from the font, "
                << result.kept.size() << " kept the base glyph"
                << (kept.empty() ? "\n" : ":" + kept + "\n");
        if (!result.placement.empty()) {
            summary << lead << OneLine(result.placement) << "\n";
            if (!result.judgement.empty())
                summary << lead << result.judgement << "\n";
            summary << lead
                    << (result.lostInk.empty() ? std::string("no code lost ink")
                                               : std::to_string(result.lostInk.size()) +
                                                     " codes lost ink:" + codeList(result.lostInk))
                    << "\n";
        }
        if (!result.note.empty())
            summary << lead << OneLine(result.note) << "\n";
        for (const std::string& line : warned)
            summary << lead << OneLine(line) << "\n";
        if (strict && !warned.empty())
            throw FileError(name, "the import has warnings and --strict is given; nothing "
                                  "was written");
    });
}

} // namespace korvalin
