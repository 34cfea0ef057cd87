// Crash-safe replacement on Windows: a temporary file beside the target, flushed and moved
// over it. Wide paths throughout, so any name the file system takes works.
#include "AtomicFile.h"
#include "AtomicFileParts.h"
#include "FileError.h"
#include "PathText.h"
#include "WindowsFiles.h"

#include <exception>
#include <string>
#include <string_view>

namespace korvalin {
namespace fs = std::filesystem;
using namespace atomic_file;
using windows_files::Handle;

namespace {

// Returns 0 or the error of the failed write.
DWORD writeAll(HANDLE file, std::string_view bytes) {
    constexpr std::size_t kChunk = 1u << 30;
    while (!bytes.empty()) {
        const auto size = static_cast<DWORD>(bytes.size() < kChunk ? bytes.size() : kChunk);
        DWORD written = 0;
        if (!WriteFile(file, bytes.data(), size, &written, nullptr))
            return GetLastError();
        // Nothing written and no error: trying again would spin for ever.
        if (written == 0)
            return ERROR_WRITE_FAULT;
        bytes.remove_prefix(written);
    }
    return 0;
}

// The attributes a replacement keeps from the file it replaces.
constexpr DWORD kKeptAttributes =
    FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;

// Whether process `pid` of this computer has ended. One that cannot be opened because it
// does not exist has; one we may not look at is taken to run.
bool hasEnded(long pid) {
    const auto id = static_cast<DWORD>(pid);
    if (static_cast<long>(id) != pid)
        return false;
    const HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, id);
    if (process == nullptr)
        return GetLastError() == ERROR_INVALID_PARAMETER;
    DWORD code = 0;
    const bool ended = GetExitCodeProcess(process, &code) && code != STILL_ACTIVE;
    CloseHandle(process);
    return ended;
}

// Temporaries of this file that a killed save left behind, from processes of this host
// that have ended; a running save's temporary is never touched.
void removeLeftovers(const fs::path& target, const std::string& host) {
    const fs::path folder = target.parent_path();
    const std::string name = target.filename().string();
    WIN32_FIND_DATAW entry{};
    const std::wstring pattern = (folder.empty() ? fs::path(L".") : folder).native() + L"\\*";
    const HANDLE search = FindFirstFileW(pattern.c_str(), &entry);
    if (search == INVALID_HANDLE_VALUE)
        return;
    do {
        const std::wstring_view candidate = entry.cFileName;
        if ((entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0 ||
            candidate.find(L".saving-") == std::wstring_view::npos)
            continue;
        // A stranger's name that has no narrow form is no temporary of ours.
        std::string narrow;
        try {
            narrow = fs::path(candidate).string();
        } catch (const std::exception&) {
            continue;
        }
        const auto pid = leftoverProcess(narrow, name, host);
        if (pid && hasEnded(*pid))
            DeleteFileW((folder / candidate).c_str());
    } while (FindNextFileW(search, &entry));
    FindClose(search);
}

std::string folderName(const fs::path& target) {
    return "\"" + PathText(target.parent_path().empty() ? fs::path(".") : target.parent_path()) +
           "\"";
}

} // namespace

void WriteFileAtomically(const fs::path& requested, std::string_view bytes, Durability durability,
                         LinkPolicy links) {
    const fs::path target = links == LinkPolicy::Follow ? resolveLink(requested) : requested;
    // A device or pipe is refused by its name, before anything opens it.
    if (windows_files::namesADevice(target))
        throw FileError(requested, "is not a regular file");
    checkFolder(target);

    // Read attributes only: neither a lock of another program nor the file's own
    // permissions stop the look, and a device opened so does nothing.
    // A link to replace is looked at itself, not through; the move then takes its place.
    const DWORD lookFlags = FILE_FLAG_BACKUP_SEMANTICS |
                            (links == LinkPolicy::Replace ? FILE_FLAG_OPEN_REPARSE_POINT : 0);
    Handle look(CreateFileW(target.c_str(), FILE_READ_ATTRIBUTES,
                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                            OPEN_EXISTING, lookFlags, nullptr));
    bool exists = look.valid();
    if (!exists) {
        const DWORD error = GetLastError();
        if (error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND)
            throw FileError(requested, "cannot be written: " + windowsReason(error));
    }
    DWORD existing = 0;
    if (exists) {
        if (!windows_files::isOnDisk(look.get()))
            throw FileError(requested, "is not a regular file");
        BY_HANDLE_FILE_INFORMATION information{};
        if (!GetFileInformationByHandle(look.get(), &information))
            throw FileError(requested, "cannot be written: " + windowsReason(GetLastError()));
        existing = information.dwFileAttributes;
        look.close();
        if (links == LinkPolicy::Replace && (existing & FILE_ATTRIBUTE_REPARSE_POINT) != 0 &&
            (existing & FILE_ATTRIBUTE_DIRECTORY) == 0) {
            exists = false;
            existing = 0;
        }
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
            throw FileError(requested, windowsReason(GetLastError()));
    }
    const DWORD attributes = exists && (existing & kKeptAttributes) != 0
                                 ? existing & kKeptAttributes
                                 : FILE_ATTRIBUTE_NORMAL;

    static const std::string host = hostName();
    removeLeftovers(target, host);

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
    if (!file.valid()) {
        if (error == ERROR_ACCESS_DENIED || error == ERROR_WRITE_PROTECT)
            throw FileError(requested, "cannot be saved: the folder " + folderName(target) +
                                           " does not allow new files (" + windowsReason(error) +
                                           ")");
        throw FileError(requested, "cannot be written: " + windowsReason(error));
    }

    const auto fail = [&](DWORD failure) {
        if (file.valid())
            file.close();
        DeleteFileW(temporary.c_str());
        throw FileError(requested, "cannot be written: " + windowsReason(failure));
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
