#pragma once

#include "LastLine.h"

#include <string>
#include <thread>

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

namespace korvalin {

// Owns a kernel handle; INVALID_HANDLE_VALUE and null both mean none.
class OwnedHandle {
public:
    OwnedHandle() = default;
    explicit OwnedHandle(HANDLE handle) : handle_(handle) {}
    OwnedHandle(const OwnedHandle&) = delete;
    OwnedHandle& operator=(const OwnedHandle&) = delete;
    ~OwnedHandle() { reset(); }

    [[nodiscard]] HANDLE get() const { return handle_; }
    [[nodiscard]] bool valid() const {
        return handle_ != nullptr && handle_ != INVALID_HANDLE_VALUE;
    }
    void reset(HANDLE handle = nullptr) {
        if (valid())
            CloseHandle(handle_);
        handle_ = handle;
    }

private:
    HANDLE handle_ = nullptr;
};

// The error output of a started process, read on a thread of its own so that the process
// never blocks on a full pipe. The pipe is overlapped, so the reading stops as soon as the
// process has ended, even while a child it left behind still holds the pipe.
class ErrorReader {
public:
    // Throws std::system_error when the pipe cannot be made.
    ErrorReader();
    ErrorReader(const ErrorReader&) = delete;
    ErrorReader& operator=(const ErrorReader&) = delete;
    ~ErrorReader();

    // The end for the process, inheritable; valid until start().
    [[nodiscard]] HANDLE writingEnd() const { return writing_.get(); }
    // Once the process holds its copy of the writing end: ours goes, and the reading begins.
    void start();
    // Once the process has ended: reads what it left in the pipe, stops, and gives the last
    // line it wrote.
    [[nodiscard]] std::string finish();

private:
    void read();
    void readWhatIsThere(OVERLAPPED& overlapped, char* buffer, DWORD size);

    OwnedHandle reading_;
    OwnedHandle writing_;
    OwnedHandle readDone_;
    OwnedHandle stop_;
    LastLine line_;
    std::thread thread_;
};

} // namespace korvalin
