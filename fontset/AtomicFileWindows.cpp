// Crash-safe replacement on Windows: a temporary file beside the target, renamed over it.
#include "AtomicFile.h"
#include "AtomicFileParts.h"
#include "FileError.h"

#include <fstream>

namespace korvalin {
namespace fs = std::filesystem;
using namespace atomic_file;

void WriteFileAtomically(const fs::path& requested, std::string_view bytes,
                         [[maybe_unused]] Durability durability) {
    const fs::path target = resolveLink(requested);
    checkFolder(target);

    std::error_code error;
    const auto status = fs::status(target, error);
    if (fs::is_directory(status))
        throw FileError(requested, "is a folder");
    if (fs::exists(status) && (status.permissions() & fs::perms::owner_write) == fs::perms::none)
        throw FileError(requested, "the file is read-only");
    const fs::path temporary = temporaryPathFor(target);
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        out.flush();
        if (!out) {
            out.close();
            fs::remove(temporary, error);
            throw FileError(requested, "cannot be written");
        }
    }
    fs::rename(temporary, target, error);
    if (error) {
        fs::remove(temporary, error);
        throw FileError(requested, "cannot be replaced: " + error.message());
    }
}

} // namespace korvalin
