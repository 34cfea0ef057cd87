#include "Packer.h"

#include "AtomicFile.h"
#include "FileError.h"
#include "InputFile.h"
#include "PackerOptions.h"
#include "ProgramName.h"
#include "ProgramVariable.h"

#include <optional>
#include <ostream>
#include <stdexcept>
#include <string>
#include <vector>

namespace korvalin {
namespace {

// Reads at most one byte more than a program may hold, so a huge file costs nothing.
std::vector<std::uint8_t> readImage(const std::filesystem::path& path) {
    const std::string bytes = ReadWholeFile(path, kMaxProgramSize);
    if (bytes.empty())
        throw FileError(path, "is empty");
    return {bytes.begin(), bytes.end()};
}

} // namespace

int RunPacker(std::span<const std::string_view> arguments, const std::filesystem::path& folder,
              std::ostream& output, std::ostream& errors) {
    if (const std::optional<int> status = AnswerPackerOption(arguments, output, errors))
        return *status;
    if (arguments.size() != 2) {
        errors << kPackerUsage;
        return 2;
    }
    const std::string name(arguments[1]);
    if (const std::string problem = ProgramNameProblem(name); !problem.empty()) {
        errors << "prgforge: " << problem << '\n';
        return 1;
    }
    try {
        const std::vector<std::uint8_t> image = readImage(folder / (name + ".bin"));
        const std::vector<std::uint8_t> file = PackProgramVariable(name, image, kPackerComment);
        // Whole when it appears and on the disk before we say it is done: nothing makes it
        // again once the script has removed the image. A link planted in its place is
        // replaced, never written through.
        WriteFileAtomically(
            folder / (name + ".8xp"),
            std::string_view(reinterpret_cast<const char*>(file.data()), file.size()),
            Durability::Flushed, LinkPolicy::Replace);
    } catch (const std::exception& error) {
        errors << "prgforge: " << error.what() << '\n';
        return 1;
    }
    return 0;
}

} // namespace korvalin
