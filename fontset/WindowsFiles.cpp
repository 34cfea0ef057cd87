#include "WindowsFiles.h"

#include "FileError.h"

#include <cerrno>
#include <string_view>
#include <system_error>

namespace korvalin {
namespace {

// The system errors that have a POSIX twin, so that a message reads the same on both.
int errnoOf(DWORD error) {
    switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_DRIVE:
    case ERROR_BAD_NETPATH:
        return ENOENT;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
        return EACCES;
    case ERROR_WRITE_PROTECT:
        return EROFS;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        return ENOSPC;
    case ERROR_WRITE_FAULT:
    case ERROR_READ_FAULT:
    case ERROR_CRC:
        return EIO;
    case ERROR_FILENAME_EXCED_RANGE:
        return ENAMETOOLONG;
    case ERROR_INVALID_NAME:
        return EINVAL;
    default:
        return 0;
    }
}

} // namespace

std::string windowsReason(unsigned long error) {
    if (const int twin = errnoOf(error))
        return systemReason(twin);
    std::string words = std::system_category().message(static_cast<int>(error));
    while (!words.empty() && (words.back() == '\n' || words.back() == '\r' || words.back() == ' '))
        words.pop_back();
    return words;
}

namespace windows_files {

bool namesADevice(const std::filesystem::path& path) {
    const std::wstring& whole = path.native();
    // The device namespace: pipes, mailslots and devices, except a drive's own files.
    if (whole.starts_with(L"\\\\.\\") || whole.starts_with(L"//./")) {
        const std::wstring_view rest = std::wstring_view(whole).substr(4);
        // \\.\C: alone is the raw volume; \\.\C:\x a file on it.
        const bool drive =
            rest.size() >= 3 && rest[1] == L':' && (rest[2] == L'\\' || rest[2] == L'/');
        if (!drive)
            return true;
    }
    // A reserved name stays a device with any extension and trailing blanks.
    const std::filesystem::path file = path.filename();
    std::wstring_view base = file.native();
    base = base.substr(0, base.find(L'.'));
    while (!base.empty() && (base.back() == L' ' || base.back() == L':'))
        base.remove_suffix(1);
    return isReservedDeviceName(base);
}

bool isOnDisk(HANDLE handle) {
    return GetFileType(handle) == FILE_TYPE_DISK;
}

} // namespace windows_files
} // namespace korvalin
