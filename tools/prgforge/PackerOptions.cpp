#include "PackerOptions.h"

#include "KorvalinVersion.h"

#include <algorithm>
#include <ostream>

namespace korvalin {
namespace {

// Laid out the way help2man reads it: the man page is made from this text.
constexpr std::string_view kHelp =
    "Usage: prgforge NAME\n"
    "Turn the program image NAME.bin in the current folder into NAME.8xp, a TI-83 Plus\n"
    "program file that holds NAME as a protected program.\n"
    "\n"
    "The Korvalin Font Set Creator runs prgforge from its packaging script after a\n"
    "Compile, in the editor's own folder. NAME is 1 to 8 letters and digits and starts\n"
    "with a letter; the program on the calculator bears it in capitals. NAME.bin is left\n"
    "as it was. NAME.8xp is on the disk when prgforge ends; a symbolic link in its place\n"
    "is replaced by the file, and what the link names is left alone.\n"
    "\n"
    "Exit status:\n"
    "  0  NAME.8xp was written\n"
    "  1  it was not; standard error says why, naming the file\n"
    "  2  a wrong call: no NAME, more than one, or an unknown option\n"
    "\n"
    "Options:\n"
    "  --help     show this help and exit\n"
    "  --version  show the version and the licence and exit\n";

bool contains(std::span<const std::string_view> arguments, std::string_view option) {
    return std::find(arguments.begin(), arguments.end(), option) != arguments.end();
}

} // namespace

std::optional<int> AnswerPackerOption(std::span<const std::string_view> arguments,
                                      std::ostream& output, std::ostream& errors) {
    const auto operands = arguments.empty() ? arguments : arguments.subspan(1);
    if (contains(operands, "--help")) {
        output << kHelp;
        return 0;
    }
    if (contains(operands, "--version")) {
        output << "prgforge (Korvalin Font Set Creator) " << kVersion << '\n'
               << kCopyright << ".\n\n"
               << "Licence: " << kLicence
               << ". This is free software: you may use, change and pass it on.\n";
        return 0;
    }
    // No program name starts with '-', so such an argument can only be a mistyped option.
    if (std::any_of(operands.begin(), operands.end(),
                    [](std::string_view argument) { return argument.starts_with('-'); })) {
        errors << kPackerUsage;
        return 2;
    }
    return std::nullopt;
}

} // namespace korvalin
