#pragma once

// Stands in for the shared reader of input files until the core library carries it.
#include "FileError.h"

#include <cerrno>
#include <cstddef>
#include <filesystem>
#include <fstream>
#include <string>

namespace korvalin {

// The whole of a regular file of at most `limit` bytes. Anything else (a folder, a FIFO,
// a device) is refused before it is opened, so the call never blocks. Throws FileError.
inline std::string ReadWholeFile(const std::filesystem::path& path, std::size_t limit) {
    std::error_code error;
    const auto status = std::filesystem::status(path, error);
    if (error)
        throw FileError(path, "cannot be opened: " + systemReason(error.value()));
    if (!std::filesystem::is_regular_file(status))
        throw FileError(path, "is not a regular file");
    errno = 0;
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw FileError(path, "cannot be opened: " + systemReason(errno ? errno : EACCES));
    // In pieces, so a large limit costs nothing for a small file.
    std::string bytes;
    char piece[65536];
    while (bytes.size() <= limit && in) {
        in.read(piece, sizeof piece);
        bytes.append(piece, static_cast<std::size_t>(in.gcount()));
    }
    if (in.bad())
        throw FileError(path, "cannot be read");
    if (bytes.size() > limit)
        throw FileError(path, "is larger than " + std::to_string(limit) + " bytes");
    return bytes;
}

} // namespace korvalin
