// Crash-safe replacement on Windows: a temporary file beside the target, flushed and moved
// over it. Wide paths throughout, so any name the file system takes works.
#include "AtomicFile.h"
#include "AtomicFileParts.h"
#include "FileError.h"

#include <string>
#include <system_error>

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

namespace korvalin {
namespace fs = std::filesystem;
using namespace atomic_file;

namespace {

// The system's words for `error`, with the full disk said as the POSIX twin says it.
std::string reasonOf(DWORD error) {
    if (error == ERROR_DISK_FULL || error == ERROR_HANDLE_DISK_FULL)
        return "the disk is full";
    return std::system_category().message(static_cast<int>(error));
}

class Handle {
public:
    explicit Handle(HANDLE handle) : handle_(handle) {}
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    ~Handle() {
        if (valid())
            CloseHandle(handle_);
    }
    [[nodiscard]] bool valid() const { return handle_ != INVALID_HANDLE_VALUE; }
    [[nodiscard]] HANDLE get() const { return handle_; }
    // Closes now; returns 0 or the error of the failed close.
    DWORD close() {
        const HANDLE handle = handle_;
        handle_ = INVALID_HANDLE_VALUE;
        return CloseHandle(handle) ? 0 : GetLastError();
    }

private:
    HANDLE handle_;
};

// Returns 0 or the error of the failed write.
DWORD writeAll(HANDLE file, std::string_view bytes) {
    constexpr std::size_t kChunk = 1u << 30;
    while (!bytes.empty()) {
        const auto size = static_cast<DWORD>(bytes.size() < kChunk ? bytes.size() : kChunk);
        DWORD written = 0;
        if (!WriteFile(file, bytes.data(), size, &written, nullptr))
            return GetLastError();
        bytes.remove_prefix(written);
    }
    return 0;
}

// The attributes a replacement keeps from the file it replaces.
constexpr DWORD kKeptAttributes =
    FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;

} // namespace

void WriteFileAtomically(const fs::path& requested, std::string_view bytes, Durability durability) {
    const fs::path target = resolveLink(requested);
    checkFolder(target);

    const DWORD existing = GetFileAttributesW(target.c_str());
    const bool exists = existing != INVALID_FILE_ATTRIBUTES;
    if (!exists) {
        const DWORD error = GetLastError();
        if (error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND)
            throw FileError(requested, reasonOf(error));
    }
    if (exists) {
        if ((existing & FILE_ATTRIBUTE_DIRECTORY) != 0)
            throw FileError(requested, "is a folder");
        // MoveFileExW would replace a read-only file; the attribute is the user's "keep out".
        if ((existing & FILE_ATTRIBUTE_READONLY) != 0)
            throw FileError(requested, "the file is read-only");
        // The file's own permissions, and another program holding it open, refuse us here
        // rather than after the whole write.
        Handle probe(CreateFileW(target.c_str(), GENERIC_WRITE,
                                 FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                 OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!probe.valid())
            throw FileError(requested, reasonOf(GetLastError()));
    }
    const DWORD attributes = exists && (existing & kKeptAttributes) != 0
                                 ? existing & kKeptAttributes
                                 : FILE_ATTRIBUTE_NORMAL;

    // A killed save of an earlier process with the same id may have left the name taken.
    fs::path temporary;
    HANDLE created = INVALID_HANDLE_VALUE;
    DWORD error = 0;
    for (int attempt = 0; attempt < kNameAttempts && created == INVALID_HANDLE_VALUE; ++attempt) {
        temporary = temporaryPathFor(target);
        created = CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, attributes,
                              nullptr);
        if (created == INVALID_HANDLE_VALUE) {
            error = GetLastError();
            if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS)
                break;
        }
    }
    Handle file(created);
    if (!file.valid())
        throw FileError(requested, "cannot be written: " + reasonOf(error));

    const auto fail = [&](DWORD failure) {
        if (file.valid())
            file.close();
        DeleteFileW(temporary.c_str());
        throw FileError(requested, "cannot be written: " + reasonOf(failure));
    };
    if (const DWORD failure = writeAll(file.get(), bytes))
        fail(failure);
    if (durability == Durability::Flushed && !FlushFileBuffers(file.get()))
        fail(GetLastError());
    if (const DWORD failure = file.close())
        fail(failure);
    DWORD flags = MOVEFILE_REPLACE_EXISTING;
    if (durability == Durability::Flushed)
        flags |= MOVEFILE_WRITE_THROUGH;
    if (!MoveFileExW(temporary.c_str(), target.c_str(), flags))
        fail(GetLastError());
}

} // namespace korvalin
