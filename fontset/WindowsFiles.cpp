#include "WindowsFiles.h"

#include "FileError.h"

#include <array>
#include <cerrno>
#include <cwctype>
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

std::wstring upper(std::wstring_view text) {
    std::wstring result(text);
    for (wchar_t& c : result)
        c = static_cast<wchar_t>(std::towupper(static_cast<wint_t>(c)));
    return result;
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
    static constexpr std::array<std::wstring_view, 6> kPlain = {L"CON", L"PRN",    L"AUX",
                                                                L"NUL", L"CONIN$", L"CONOUT$"};
    const std::wstring name = upper(base);
    for (const std::wstring_view device : kPlain)
        if (name == device)
            return true;
    const bool numbered = name.size() == 4 &&
                          (name.starts_with(L"COM") || name.starts_with(L"LPT")) &&
                          name[3] >= L'1' && name[3] <= L'9';
    return numbered;
}

bool isOnDisk(HANDLE handle) {
    return GetFileType(handle) == FILE_TYPE_DISK;
}

} // namespace windows_files
} // namespace korvalin
