// The command line: one subcommand, its options and arguments, and the help texts.
#include "Commands.h"
#include "Escaped.h"
#include "KorvalinVersion.h"
#include "PathText.h"

#include <QCommandLineParser>
#include <QStringDecoder>
#include <algorithm>
#include <cstdio>
#include <ostream>

namespace korvalin {
namespace {

QCommandLineOption output(const char* what) {
    return {{QStringLiteral("o"), QStringLiteral("output")},
            QString::fromUtf8(what),
            QStringLiteral("FILE")};
}
QCommandLineOption scale(const char* what) {
    return {{QStringLiteral("s"), QStringLiteral("scale")},
            QString::fromUtf8(what),
            QStringLiteral("N")};
}

constexpr std::size_t kHelpWidth = 80;

// `text` broken at blanks into lines that fit the terminal after an indent of `column`;
// each line but the first starts with that indent.
std::string wrapped(std::string_view text, std::size_t column) {
    std::string out;
    std::size_t width = 0;
    const std::size_t room = kHelpWidth - 1 - column;
    while (!text.empty()) {
        const std::size_t end = std::min(text.find(' '), text.size());
        const std::string_view word = text.substr(0, end);
        if (width > 0 && width + 1 + word.size() > room) {
            out += "\n" + std::string(column, ' ');
            width = 0;
        } else if (width > 0) {
            out += ' ';
            ++width;
        }
        out += word;
        width += word.size();
        text.remove_prefix(std::min(end + 1, text.size()));
    }
    return out;
}

std::string optionLine(const QCommandLineOption& option) {
    std::string names;
    for (const QString& name : option.names())
        names += (names.empty() ? "" : ", ") + std::string(name.size() == 1 ? "-" : "--") +
                 name.toStdString();
    if (!option.valueName().isEmpty())
        names += " " + option.valueName().toStdString();
    names.resize(std::max<std::size_t>(names.size() + 2, 24), ' ');
    return "  " + names + wrapped(option.description().toStdString(), names.size() + 2) + "\n";
}

constexpr std::size_t kSummaryColumn = 30;

void printHelp(std::ostream& out) {
    out << "Usage: korvalin-font COMMAND [OPTIONS] ARGUMENTS...\n"
           "Checks, shows, compiles, renders, imports, exports and compares the 5x7 font\n"
           "sets of the Korvalin calculator application.\n\nCommands:\n";
    for (const Command& command : Commands()) {
        // help2man reads a line that is too long for its column as the summary's own line.
        std::string line = std::string(command.name) + " " + command.arguments;
        if (line.size() + 2 > kSummaryColumn)
            line += "\n" + std::string(kSummaryColumn + 2, ' ');
        else
            line.resize(kSummaryColumn, ' ');
        out << "  " << line << wrapped(command.summary, kSummaryColumn + 2) << "\n";
    }
    out << "\nOptions:\n"
        << "  -h, --help              Show this help; after a command, that command's help.\n"
        << "  -v, --version           Show the version and the licence.\n"
        << "\nExit status: 0 on success, 1 when the work failed, 2 for a usage error; diff\n"
           "exits 1 when the sets differ and 2 when one cannot be read. Output that cannot\n"
           "be written (a full disk) fails the command too: 1, or 2 for diff. Messages\n"
           "name the file and the cause on standard error.\n"
           "Run \"korvalin-font COMMAND --help\" for the options of a command.\n";
}

void printCommandHelp(const Command& command, std::ostream& out) {
    out << "Usage: korvalin-font " << command.name << " " << command.arguments << "\n"
        << wrapped(command.summary, 0) << "\n\nOptions:\n";
    for (const QCommandLineOption& option : command.options)
        out << optionLine(option);
    out << "  -h, --help              Show this help.\n";
}

int usage(std::ostream& err, const std::string& message, const char* command = nullptr) {
    err << "korvalin-font: " << OneLine(message) << "\n";
    err << "Run \"korvalin-font " << (command ? std::string(command) + " " : std::string())
        << "--help\" for the usage.\n";
    return kUsage;
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
         {QCommandLineOption(QStringLiteral("strict"),
                             QStringLiteral("Also report every cell that is neither 0 nor 255, "
                                            "and fail on any."))},
         RunCheck},
        {"show",
         "SET.8xfont CODE...",
         "Print glyphs (CODE: 0 to 255 or a character) as # and . beside their row bytes.",
         2,
         -1,
         {},
         RunShow},
        {"compile",
         "SET.8xfont NAME [-o DIR]",
         "Write NAME.8xp, the calculator program of the set (NAME: 1 to 8 letters and "
         "digits, the first a letter).",
         2,
         2,
         {QCommandLineOption({QStringLiteral("o"), QStringLiteral("output")},
                             QStringLiteral("The folder for NAME.8xp (default: the current one)."),
                             QStringLiteral("DIR"))},
         RunCompile},
        {"render",
         "SET.8xfont -o SHEET.png [--scale N]",
         "Draw all 256 glyphs as a 16x16 sheet, each labelled with its code in decimal and hex.",
         1,
         1,
         {output("The PNG file to write."), scale("Pixels per sheet pixel, 1 to 16 (default 2).")},
         RunRender},
        {"screen",
         "SET.8xfont --text TEXT -o SCREEN.png [--scale N]",
         "Draw the calculator's 96x64 home screen showing TEXT, or the text of --text-file.",
         1,
         1,
         {QCommandLineOption({QStringLiteral("t"), QStringLiteral("text")},
                             QStringLiteral("UTF-8 text; \\xNN is the code NN in hex, \\n starts "
                                            "a new row, \\\\ is a backslash. Other spellings "
                                            "of a symbol are taken too (\u25BA for \u25B6, "
                                            "\u207B for \u02D7, \U0001D452 for \u212F)."),
                             QStringLiteral("TEXT")),
          QCommandLineOption(QStringLiteral("text-file"),
                             QStringLiteral("The text from FILE (- for standard input), with the "
                                            "same escapes; its line feeds start new rows."),
                             QStringLiteral("FILE")),
          output("The PNG file to write."), scale("Pixels per screen pixel, 1 to 32 (default 4).")},
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
         {output("The font set file to write."),
          QCommandLineOption({QStringLiteral("b"), QStringLiteral("base")},
                             QStringLiteral("The set whose glyphs the codes keep that the "
                                            "source lacks (default: the editor's default set)."),
                             QStringLiteral("SET")),
          QCommandLineOption(QStringLiteral("baseline"),
                             QStringLiteral("The last row above the baseline, 0 to 6 (default "
                                            "5: descenders in row 6; a 5x7 font its own)."),
                             QStringLiteral("ROW")),
          QCommandLineOption(QStringLiteral("shift"),
                             QStringLiteral("Move every glyph DX columns right and DY rows "
                                            "down after placing it (--shift=-1,0 for left)."),
                             QStringLiteral("DX,DY")),
          QCommandLineOption(QStringLiteral("size"),
                             QStringLiteral("Pixels to the em of an outline font (default: the "
                                            "largest whose letters and digits fit), or the "
                                            "height of the strike to take."),
                             QStringLiteral("PX")),
          QCommandLineOption(QStringLiteral("hinting"),
                             QStringLiteral("An outline font's hinting: font (its own; "
                                            "FreeType's auto-hinter where it has none), auto "
                                            "or none."),
                             QStringLiteral("MODE")),
          QCommandLineOption(QStringLiteral("codes"),
                             QStringLiteral("Take only these codes from the source, such as "
                                            "65-90,0x61-0x7A,32; the others keep the base."),
                             QStringLiteral("RANGE[,RANGE]"))},
         RunImport},
        {"export",
         "SET.8xfont -o FONT.{bdf,psf,png,hex,txt,h,inc,z80}",
         "Write the set as a BDF font, a PSF2 console font, a sheet PNG, a Unifont .hex, "
         "text art, a C header (NAME[256][7] of row bytes) or a Z80 include (.inc, .z80: "
         ".db lines).",
         1,
         1,
         {output("The file to write; its extension picks the format.")},
         RunExport},
        {"diff",
         "A.8xfont B.8xfont",
         "Show the glyphs that differ side by side; exit 1 when any does.",
         2,
         2,
         {},
         RunDiff},
    };
    return commands;
}

std::filesystem::path toPath(const QString& text) {
    return PathFromUtf8(text.toStdString());
}

int complain(Invocation& call, const std::string& message, int status) {
    call.err << "korvalin-font: " << OneLine(message) << "\n";
    return status;
}

std::string OneLine(std::string_view text) {
    std::string out;
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x20 && byte != 0x7F) {
            out += c;
            continue;
        }
        char hex[8];
        std::snprintf(hex, sizeof hex, "\\x%02X", static_cast<unsigned>(byte));
        out += hex;
    }
    return out;
}

int RunFontTool(const QStringList& arguments, std::ostream& out, std::ostream& err) {
    if (arguments.isEmpty())
        return usage(err, "no command given");
    const QString first = arguments.front();
    if (first == QLatin1String("-h") || first == QLatin1String("--help")) {
        printHelp(out);
        return kSuccess;
    }
    if (first == QLatin1String("-v") || first == QLatin1String("--version")) {
        out << "korvalin-font " << kVersion << "\nLicence: " << kLicence << "\n"
            << kCopyright << "\n";
        return kSuccess;
    }
    const auto& commands = Commands();
    const auto found = std::find_if(commands.begin(), commands.end(), [&](const Command& c) {
        return first == QLatin1String(c.name);
    });
    if (found == commands.end())
        return usage(err, "\"" + first.toStdString() + "\" is not a command");

    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")}, QString());
    parser.addOption(help);
    for (const QCommandLineOption& option : found->options)
        parser.addOption(option);
    // The parser takes the first word as the program's name.
    QStringList words = arguments;
    words.front() = QStringLiteral("korvalin-font");
    if (!parser.parse(words))
        return usage(err, parser.errorText().toStdString(), found->name);
    if (parser.isSet(help)) {
        printCommandHelp(*found, out);
        return kSuccess;
    }
    const QStringList positional = parser.positionalArguments();
    if (positional.size() < found->minPositional ||
        (found->maxPositional >= 0 && positional.size() > found->maxPositional))
        return usage(err,
                     std::string(found->name) + " takes " + found->arguments +
                         (positional.size() < found->minPositional ? " (too few arguments)"
                                                                   : " (too many arguments)"),
                     found->name);
    Invocation call{*found, parser, positional, out, err};
    return found->run(call);
}

int RunFontTool(std::span<char* const> arguments, std::ostream& out, std::ostream& err) {
    QStringList words;
    for (const char* argument : arguments) {
        QStringDecoder decoder(QStringDecoder::Utf8);
        QString word = decoder.decode(QByteArrayView(argument));
        if (decoder.hasError())
            return usage(err, "the argument \"" + EscapedExcerpt(argument, 60) +
                                  "\" is not valid UTF-8");
        words << std::move(word);
    }
    return RunFontTool(words, out, err);
}

} // namespace korvalin
