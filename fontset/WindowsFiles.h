#pragma once

// What the Windows readers and writers share: the names that stand for devices rather than
// files, and a handle that closes itself.

#include "DeviceName.h"

#include <filesystem>

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

namespace korvalin::windows_files {

// Whether the open `handle` is a file on a disk (or a folder) rather than a device or a pipe.
[[nodiscard]] bool isOnDisk(HANDLE handle);

// Owns a handle from CreateFileW.
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

} // namespace korvalin::windows_files
