// Starting a program on Windows: CreateProcessW with a command line quoted the way
// CommandLineToArgvW splits it again, and the process handle kept to watch its end.
#include "ErrorReaderWindows.h"
#include "FileError.h"
#include "Launch.h"
#include "PathText.h"

#include <cerrno>
#include <memory>
#include <stdexcept>
#include <string>
#include <system_error>
#include <vector>

namespace korvalin {
namespace {

// One argument as CommandLineToArgvW reads it back: quoted when it holds a blank, a tab or a
// quote (or always, when `force`), with the backslashes before a quote and before the
// closing quote doubled.
void appendQuoted(std::wstring& line, const std::wstring& argument, bool force = false) {
    if (!force && !argument.empty() && argument.find_first_of(L" \t\n\v\"") == std::wstring::npos) {
        line += argument;
        return;
    }
    line += L'"';
    std::size_t backslashes = 0;
    for (const wchar_t c : argument) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        if (c == L'"')
            line.append(2 * backslashes + 1, L'\\');
        else
            line.append(backslashes, L'\\');
        backslashes = 0;
        line += c;
    }
    line.append(2 * backslashes, L'\\');
    line += L'"';
}

class WindowsProcess final : public LaunchedProcess {
public:
    WindowsProcess(HANDLE process, std::unique_ptr<ErrorReader> errors)
        : process_(process), errors_(std::move(errors)) {}

    [[nodiscard]] std::intptr_t notifier() const override {
        return reinterpret_cast<std::intptr_t>(process_.get());
    }

    [[nodiscard]] std::optional<ProcessOutcome> poll() override {
        if (outcome_)
            return outcome_;
        if (WaitForSingleObject(process_.get(), 0) != WAIT_OBJECT_0)
            return std::nullopt;
        DWORD code = 0;
        if (!GetExitCodeProcess(process_.get(), &code))
            code = static_cast<DWORD>(-1);
        outcome_ = ProcessOutcome{static_cast<int>(code), errors_ ? errors_->finish() : ""};
        return outcome_;
    }

private:
    OwnedHandle process_;
    std::unique_ptr<ErrorReader> errors_;
    std::optional<ProcessOutcome> outcome_;
};

// The folder as a process's current folder, which Windows keeps to MAX_PATH - 2 characters.
// (A short name would do for a longer one, but cmd.exe then finds no program in it.)
std::wstring currentFolderFor(const std::filesystem::path& folder) {
    std::wstring path = folder.native();
    while (path.size() > 3 && (path.back() == L'\\' || path.back() == L'/'))
        path.pop_back();
    if (path.size() > MAX_PATH - 2)
        throw std::length_error("the path is too long for a program to run in (" +
                                std::to_string(path.size()) + " characters; Windows allows " +
                                std::to_string(MAX_PATH - 2) + ")");
    return path;
}

// What cmd.exe runs for a .bat or .cmd: the script by its own name when it lies in the
// folder it runs in, so that nothing of the folder's path reaches cmd.exe, which would take
// a %NAME% there for a variable. /D: no AutoRun command; /V:OFF: ! is a plain character
// whatever the registry says; /S: the outer quotes go and the rest stays as it is.
// `folder` is the one it runs in, without a separator at its end, where the C library's
// stat fails.
std::wstring scriptCommandLine(const LaunchRequest& request, const std::wstring& folder) {
    std::error_code unknown;
    const bool inItsFolder = !folder.empty() && std::filesystem::equivalent(
                                                    request.program.parent_path(), folder, unknown);
    std::wstring command;
    appendQuoted(command,
                 inItsFolder ? L".\\" + request.program.filename().native()
                             : request.program.native(),
                 true);
    // Quoted, so that cmd.exe takes & | < > ^ ( ) in them for plain characters; %~1 in the
    // script reads an argument without its quotes.
    for (const NativeString& argument : request.arguments) {
        command += L' ';
        appendQuoted(command, argument, true);
    }
    if (command.find(L'%') != std::wstring::npos)
        throw std::invalid_argument("the command interpreter would take a % in its command "
                                    "line for a variable");
    return L"cmd.exe /D /V:OFF /S /C \"" + command + L"\"";
}

} // namespace

std::unique_ptr<LaunchedProcess> Launch(const LaunchRequest& request) {
    const auto fail = [&](const std::string& cause) {
        return LaunchError(PathText(request.program) + ": " + cause);
    };
    if (!request.program.is_absolute())
        throw fail("is not an absolute path");

    // CreateProcessW reports a folder it cannot enter as if the program were at fault.
    std::wstring folder;
    if (!request.workingDirectory.empty()) {
        const auto cannotEnter = [&](const std::string& cause) {
            return fail("cannot enter " + PathText(request.workingDirectory) + ": " + cause);
        };
        const DWORD attributes = GetFileAttributesW(request.workingDirectory.c_str());
        if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0)
            throw cannotEnter(attributes == INVALID_FILE_ATTRIBUTES ? windowsReason(GetLastError())
                                                                    : systemReason(ENOTDIR));
        try {
            folder = currentFolderFor(request.workingDirectory);
        } catch (const std::length_error& error) {
            throw cannotEnter(error.what());
        }
    }

    const std::wstring extension = request.program.extension().native();
    const bool isScript =
        _wcsicmp(extension.c_str(), L".bat") == 0 || _wcsicmp(extension.c_str(), L".cmd") == 0;
    std::wstring commandLine;
    std::wstring application = request.program.native();
    if (isScript) {
        // cmd.exe itself would start and only then fail to find the script.
        if (GetFileAttributesW(request.program.c_str()) == INVALID_FILE_ATTRIBUTES)
            throw fail(windowsReason(GetLastError()));
        try {
            commandLine = scriptCommandLine(request, folder);
        } catch (const std::invalid_argument& error) {
            throw fail(error.what());
        }
        wchar_t system[MAX_PATH] = {};
        const UINT length = GetSystemDirectoryW(system, MAX_PATH);
        if (length == 0 || length >= MAX_PATH)
            throw fail("the command interpreter cannot be found: " + windowsReason(GetLastError()));
        application = std::wstring(system, length) + L"\\cmd.exe";
    } else {
        appendQuoted(commandLine, request.program.native());
        for (const NativeString& argument : request.arguments) {
            commandLine += L' ';
            appendQuoted(commandLine, argument);
        }
    }

    // The standard input, when asked for, is an inheritable copy of the caller's handle; the
    // error output, when it is to come back, the writing end of our pipe. They are the only
    // handles the process inherits. Those left empty get the new console window's own.
    HANDLE input = INVALID_HANDLE_VALUE;
    if (request.standardInput != -1 &&
        !DuplicateHandle(GetCurrentProcess(), reinterpret_cast<HANDLE>(request.standardInput),
                         GetCurrentProcess(), &input, 0, TRUE, DUPLICATE_SAME_ACCESS))
        throw fail("its standard input cannot be handed on: " + windowsReason(GetLastError()));
    const OwnedHandle inputOwner(input);
    std::unique_ptr<ErrorReader> errors;
    if (request.captureErrorOutput) {
        try {
            errors = std::make_unique<ErrorReader>();
        } catch (const std::system_error& error) {
            throw fail(error.what());
        }
    }
    std::vector<HANDLE> inherited;
    if (inputOwner.valid())
        inherited.push_back(input);
    if (errors)
        inherited.push_back(errors->writingEnd());
    const bool redirected = !inherited.empty();

    SIZE_T listSize = 0;
    InitializeProcThreadAttributeList(nullptr, 1, 0, &listSize);
    std::vector<char> listBytes(redirected ? listSize : 0);
    const auto list = reinterpret_cast<LPPROC_THREAD_ATTRIBUTE_LIST>(listBytes.data());
    if (redirected) {
        if (!InitializeProcThreadAttributeList(list, 1, 0, &listSize))
            throw fail("its standard handles cannot be handed on: " +
                       windowsReason(GetLastError()));
        if (!UpdateProcThreadAttribute(list, 0, PROC_THREAD_ATTRIBUTE_HANDLE_LIST, inherited.data(),
                                       inherited.size() * sizeof(HANDLE), nullptr, nullptr)) {
            const DWORD error = GetLastError();
            DeleteProcThreadAttributeList(list);
            throw fail("its standard handles cannot be handed on: " + windowsReason(error));
        }
    }

    STARTUPINFOEXW startup{};
    startup.StartupInfo.cb = redirected ? sizeof startup : sizeof startup.StartupInfo;
    startup.StartupInfo.dwFlags = STARTF_USESHOWWINDOW;
    startup.StartupInfo.wShowWindow = static_cast<WORD>(request.windowStyle);
    if (redirected) {
        startup.StartupInfo.dwFlags |= STARTF_USESTDHANDLES;
        startup.StartupInfo.hStdInput = inputOwner.valid() ? input : nullptr;
        startup.StartupInfo.hStdOutput = nullptr;
        startup.StartupInfo.hStdError = errors ? errors->writingEnd() : nullptr;
        startup.lpAttributeList = list;
    }
    PROCESS_INFORMATION process{};
    const BOOL started = CreateProcessW(
        application.c_str(), commandLine.data(), nullptr, nullptr, redirected ? TRUE : FALSE,
        CREATE_NEW_CONSOLE | (redirected ? EXTENDED_STARTUPINFO_PRESENT : 0), nullptr,
        folder.empty() ? nullptr : folder.c_str(), &startup.StartupInfo, &process);
    const DWORD error = started ? 0 : GetLastError();
    if (redirected)
        DeleteProcThreadAttributeList(list);
    if (!started)
        throw fail(windowsReason(error));
    CloseHandle(process.hThread);
    if (errors)
        errors->start();
    return std::make_unique<WindowsProcess>(process.hProcess, std::move(errors));
}

} // namespace korvalin
