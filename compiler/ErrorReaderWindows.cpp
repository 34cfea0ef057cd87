#include "ErrorReaderWindows.h"

#include <cstdint>
#include <system_error>

namespace korvalin {
namespace {

constexpr DWORD kBufferSize = 4096;

[[noreturn]] void failWithLastError(const char* what) {
    throw std::system_error(static_cast<int>(GetLastError()), std::system_category(), what);
}

// Whether one overlapped read has completed and brought `got` bytes (a writer may write
// none); false at the end of the pipe or when the read was given up.
bool completed(HANDLE pipe, OVERLAPPED& overlapped, BOOL wait, DWORD& got) {
    got = 0;
    return GetOverlappedResult(pipe, &overlapped, &got, wait) != FALSE;
}

} // namespace

ErrorReader::ErrorReader() {
    // A name of this reader alone; a pipe left by another process under it is never taken.
    const std::wstring stem = L"\\\\.\\pipe\\korvalin-errors-" +
                              std::to_wstring(GetCurrentProcessId()) + L"-" +
                              std::to_wstring(reinterpret_cast<std::uintptr_t>(this)) + L"-";
    std::wstring name;
    for (int attempt = 0; attempt < 16 && !reading_.valid(); ++attempt) {
        name = stem + std::to_wstring(attempt);
        reading_.reset(CreateNamedPipeW(
            name.c_str(),
            PIPE_ACCESS_INBOUND | FILE_FLAG_OVERLAPPED | FILE_FLAG_FIRST_PIPE_INSTANCE,
            PIPE_TYPE_BYTE | PIPE_READMODE_BYTE | PIPE_WAIT | PIPE_REJECT_REMOTE_CLIENTS, 1, 0,
            kBufferSize, 0, nullptr));
    }
    if (!reading_.valid())
        failWithLastError("the pipe for the error output");
    SECURITY_ATTRIBUTES inherited{sizeof inherited, nullptr, TRUE};
    writing_.reset(CreateFileW(name.c_str(), GENERIC_WRITE, 0, &inherited, OPEN_EXISTING,
                               FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!writing_.valid())
        failWithLastError("the pipe for the error output");
    readDone_.reset(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    stop_.reset(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    if (!readDone_.valid() || !stop_.valid())
        failWithLastError("the events for the error output");
}

ErrorReader::~ErrorReader() {
    (void)finish();
}

void ErrorReader::start() {
    writing_.reset();
    try {
        thread_ = std::thread([this] { read(); });
    } catch (const std::system_error&) {
        // Nobody to read: the process's writes fail at once rather than block on a full pipe.
        reading_.reset();
    }
}

std::string ErrorReader::finish() {
    if (thread_.joinable()) {
        SetEvent(stop_.get());
        thread_.join();
    }
    return line_.line();
}

void ErrorReader::read() {
    char buffer[kBufferSize];
    OVERLAPPED overlapped{};
    overlapped.hEvent = readDone_.get();
    for (;;) {
        if (!ReadFile(reading_.get(), buffer, kBufferSize, nullptr, &overlapped) &&
            GetLastError() != ERROR_IO_PENDING)
            return; // the process and every child of it closed the pipe
        const HANDLE either[] = {readDone_.get(), stop_.get()};
        if (WaitForMultipleObjects(2, either, FALSE, INFINITE) != WAIT_OBJECT_0) {
            // The process has ended: its last words are in the pipe, or in this read.
            CancelIoEx(reading_.get(), &overlapped);
            DWORD got = 0;
            if (completed(reading_.get(), overlapped, TRUE, got))
                line_.add({buffer, got});
            readWhatIsThere(overlapped, buffer, kBufferSize);
            return;
        }
        DWORD got = 0;
        if (!completed(reading_.get(), overlapped, FALSE, got))
            return;
        line_.add({buffer, got});
    }
}

// What the pipe holds now, and no more: a child still writing cannot keep us here.
void ErrorReader::readWhatIsThere(OVERLAPPED& overlapped, char* buffer, DWORD size) {
    DWORD available = 0;
    if (!PeekNamedPipe(reading_.get(), nullptr, 0, nullptr, &available, nullptr))
        return;
    while (available > 0) {
        if (!ReadFile(reading_.get(), buffer, available < size ? available : size, nullptr,
                      &overlapped) &&
            GetLastError() != ERROR_IO_PENDING)
            return;
        DWORD got = 0;
        if (!completed(reading_.get(), overlapped, TRUE, got) || got == 0)
            return;
        line_.add({buffer, got});
        available -= got < available ? got : available;
    }
}

} // namespace korvalin
