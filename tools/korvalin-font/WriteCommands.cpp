// The commands that write files: compile, render, screen, import and export.
#include "AtomicFile.h"
#include "Bdf.h"
#include "Commands.h"
#include "FontImport.h"
#include "FontSetFile.h"
#include "PngCodec.h"
#include "ProgramFolder.h"
#include "ProgramImage.h"
#include "ProgramName.h"
#include "ProgramVariable.h"
#include "Psf.h"
#include "Screen.h"
#include "Sheet.h"

#include <QCommandLineParser>
#include <ostream>

namespace korvalin {
namespace {

// A failure of the usage, told apart from a failure of the work.
struct UsageError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// The -o file, which must not be the file the command reads: a slip of the shell's history
// would otherwise replace a set with its own sheet.
std::filesystem::path requiredOutput(Invocation& call, const QString& input) {
    const QString value = call.parser.value(QStringLiteral("output"));
    if (value.isEmpty())
        throw UsageError(std::string(call.command.name) + " needs -o FILE");
    const std::filesystem::path target = toPath(value);
    std::error_code error;
    if (std::filesystem::equivalent(target, toPath(input), error))
        throw UsageError(target.string() + ": is the file " + call.command.name +
                         " reads; write to another file");
    return target;
}

// A sheet that render writes must come back through import.
static_assert(std::size_t{kSheetWidth} * kSheetMaxScale * kSheetHeight * kSheetMaxScale <=
              kMaxPngPixels);

int scaleOption(Invocation& call, int fallback, int largest) {
    if (!call.parser.isSet(QStringLiteral("scale")))
        return fallback;
    bool number = false;
    const int scale = call.parser.value(QStringLiteral("scale")).toInt(&number);
    if (!number || scale < 1 || scale > largest)
        throw UsageError("--scale takes a whole number from 1 to " + std::to_string(largest));
    return scale;
}

FontSet readSet(const QString& path) {
    FontSet table;
    ReadFontSetFile(toPath(path), table);
    return table;
}

// "\n" in a --text argument is a line feed, "\\" a backslash; other text stays as it is.
std::string unescape(const std::string& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\' && i + 1 < text.size() && (text[i + 1] == 'n' || text[i + 1] == '\\')) {
            out += text[i + 1] == 'n' ? '\n' : '\\';
            ++i;
        } else {
            out += text[i];
        }
    }
    return out;
}

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
    const std::string name = CutProgramName(call.positional[1].toStdString());
    if (const std::string problem = ProgramNameProblem(name); !problem.empty())
        return complain(call, problem, kFailure);
    return guarded(call, [&] {
        const QString folder = call.parser.value(QStringLiteral("output"));
        const ProgramImage image = BuildProgramImage(readSet(call.positional[0]));
        const std::vector<std::uint8_t> file = PackProgramVariable(name, image, kPackerComment);
        // As the packer does: whole when it appears, on the disk in its own time.
        WriteFileAtomically(
            toPath(folder.isEmpty() ? QStringLiteral(".") : folder) / (name + ".8xp"),
            std::string_view(reinterpret_cast<const char*>(file.data()), file.size()),
            Durability::Transient);
    });
}

int RunRender(Invocation& call) {
    return guarded(call, [&] {
        const std::filesystem::path target = requiredOutput(call, call.positional[0]);
        const int scale = scaleOption(call, kSheetDefaultScale, kSheetMaxScale);
        WriteFileAtomically(target, EncodePng(RenderSheet(readSet(call.positional[0]), scale)));
    });
}

int RunScreen(Invocation& call) {
    return guarded(call, [&] {
        if (!call.parser.isSet(QStringLiteral("text")))
            throw UsageError("screen needs --text TEXT");
        const std::filesystem::path target = requiredOutput(call, call.positional[0]);
        const int scale = scaleOption(call, kScreenDefaultScale, kMaxScale);
        const std::string text = unescape(call.parser.value(QStringLiteral("text")).toStdString());
        WriteFileAtomically(target,
                            EncodePng(RenderScreen(readSet(call.positional[0]), text, scale)));
    });
}

int RunImport(Invocation& call) {
    return guarded(call, [&] {
        const std::filesystem::path target = requiredOutput(call, call.positional[0]);
        const QString base = call.parser.value(QStringLiteral("base"));
        FontSet baseSet;
        ReadFontSetFile(base.isEmpty() ? ExecutableFolder() / "default.8xfont" : toPath(base),
                        baseSet);
        const ImportResult result = ImportFont(toPath(call.positional[0]), baseSet);
        WriteFontSetFile(target, result.table);
        call.out << call.positional[0].toStdString() << ": " << result.fromSource.size()
                 << " codes from the font, " << result.kept.size() << " kept the base glyph";
        std::string kept;
        for (const int code : result.kept)
            kept += " " + std::to_string(code);
        call.out << (kept.empty() ? "\n" : ":" + kept + "\n");
    });
}

int RunExport(Invocation& call) {
    return guarded(call, [&] {
        const std::filesystem::path target = requiredOutput(call, call.positional[0]);
        const QString extension = QString::fromStdString(target.extension().string()).toLower();
        if (extension != QLatin1String(".bdf") && extension != QLatin1String(".psf") &&
            extension != QLatin1String(".png"))
            throw UsageError("export writes FONT.bdf, FONT.psf or FONT.png, not \"" +
                             target.filename().string() + "\"");
        const FontSet table = readSet(call.positional[0]);
        if (extension == QLatin1String(".bdf"))
            WriteFileAtomically(target, WriteBdf(table));
        else if (extension == QLatin1String(".psf"))
            WriteFileAtomically(target, WritePsf(table));
        else
            WriteFileAtomically(target, EncodePng(RenderSheet(table)));
    });
}

} // namespace korvalin
