#pragma once

#include "PathText.h"

#include <filesystem>
#include <stdexcept>
#include <string>

namespace korvalin {

// A failure to read or write a file: what() reads "<path>: <cause>".
class FileError : public std::runtime_error {
public:
    FileError(std::filesystem::path path, std::string cause)
        : std::runtime_error(PathText(path) + ": " + cause), path_(std::move(path)),
          cause_(std::move(cause)) {}

    [[nodiscard]] const std::filesystem::path& path() const { return path_; }
    [[nodiscard]] const std::string& cause() const { return cause_; }

private:
    std::filesystem::path path_;
    std::string cause_;
};

// The system's reason for the last failed call (errno), in plain words.
std::string systemReason(int error);

#ifdef _WIN32
// The reason for a failed Windows call (GetLastError()), in the words systemReason uses
// where the failure is the same, so that a message reads alike on every system.
std::string windowsReason(unsigned long error);
#endif

} // namespace korvalin
