#pragma once

// Open descriptors for the POSIX file replacement.

#include <filesystem>
#include <utility>

namespace korvalin::atomic_file {

// Closes its descriptor; -1 holds none.
class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    FileDescriptor(FileDescriptor&& other) noexcept : fd_(other.release()) {}
    FileDescriptor& operator=(FileDescriptor&& other) noexcept;
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    ~FileDescriptor();

    [[nodiscard]] int get() const { return fd_; }
    int release() { return std::exchange(fd_, -1); }

private:
    int fd_;
};

// The folder a file is replaced in, opened by its path or, where the whole path is too
// long for the system, one name at a time. Opened for reading, so that one descriptor
// serves to list and to flush it; a folder that may not be read is opened all the same,
// for what needs no reading. Throws FileError naming `target` when the folder is missing
// or is not a folder.
class FolderDescriptor {
public:
    FolderDescriptor(const std::filesystem::path& target, const std::filesystem::path& folder);

    [[nodiscard]] int get() const { return fd_.get(); }
    // Whether the folder's entries can be listed through this descriptor.
    [[nodiscard]] bool readable() const { return readable_; }
    // Puts the folder's entries on the disk where the folder lets itself be read.
    void sync() const;

private:
    FileDescriptor fd_{-1};
    bool readable_ = false;
};

} // namespace korvalin::atomic_file
