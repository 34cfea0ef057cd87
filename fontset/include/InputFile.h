#pragma once

#include <cstddef>
#include <filesystem>
#include <memory>
#include <span>
#include <string>

namespace korvalin {

// A regular file opened for reading. Opening never blocks, not even on a FIFO, and
// anything but a regular file is refused. Throws FileError: "<path>: is a folder",
// "<path>: is not a regular file" or "<path>: cannot be opened: <reason>".
class InputFile {
public:
    explicit InputFile(std::filesystem::path path);
    InputFile(const InputFile&) = delete;
    InputFile& operator=(const InputFile&) = delete;
    ~InputFile();

    // Fills `buffer` and returns how many bytes it got: fewer only at the end of the file.
    // Throws FileError "<path>: could not be read to its end: <reason>".
    [[nodiscard]] std::size_t read(std::span<char> buffer);

    [[nodiscard]] const std::filesystem::path& path() const { return path_; }

private:
    struct Handle;
    std::filesystem::path path_;
    std::unique_ptr<Handle> handle_;
};

// The whole of a regular file of at most `limit` bytes; "<path>: is larger than N bytes"
// beyond it, reading no more than one byte past the limit.
[[nodiscard]] std::string ReadWholeFile(const std::filesystem::path& path, std::size_t limit);

} // namespace korvalin
