// Starting a program on Windows: CreateProcessW with a command line quoted the way
// CommandLineToArgvW splits it again, and the process handle kept to watch its end.
#include "FileError.h"
#include "Launch.h"
#include "PathText.h"

#include <cerrno>
#include <memory>
#include <string>
#include <vector>

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

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
    explicit WindowsProcess(HANDLE process) : process_(process) {}
    WindowsProcess(const WindowsProcess&) = delete;
    WindowsProcess& operator=(const WindowsProcess&) = delete;
    ~WindowsProcess() override { CloseHandle(process_); }

    [[nodiscard]] std::intptr_t notifier() const override {
        return reinterpret_cast<std::intptr_t>(process_);
    }

    [[nodiscard]] std::optional<ProcessOutcome> poll() override {
        if (outcome_)
            return outcome_;
        if (WaitForSingleObject(process_, 0) != WAIT_OBJECT_0)
            return std::nullopt;
        DWORD code = 0;
        if (!GetExitCodeProcess(process_, &code))
            code = static_cast<DWORD>(-1);
        // The console window shows what the script wrote; nothing is captured here.
        outcome_ = ProcessOutcome{static_cast<int>(code), {}};
        return outcome_;
    }

private:
    HANDLE process_;
    std::optional<ProcessOutcome> outcome_;
};

} // namespace

std::unique_ptr<LaunchedProcess> Launch(const LaunchRequest& request) {
    const auto fail = [&](const std::string& cause) {
        return LaunchError(PathText(request.program) + ": " + cause);
    };
    if (!request.program.is_absolute())
        throw fail("is not an absolute path");

    // cmd.exe runs a .bat; it takes & ^ ( ) in an unquoted path as its own, so quote always.
    const std::wstring extension = request.program.extension().native();
    const bool isScript =
        _wcsicmp(extension.c_str(), L".bat") == 0 || _wcsicmp(extension.c_str(), L".cmd") == 0;
    std::wstring commandLine;
    appendQuoted(commandLine, request.program.native(), isScript);
    for (const NativeString& argument : request.arguments) {
        commandLine += L' ';
        appendQuoted(commandLine, argument);
    }

    // CreateProcessW reports a folder it cannot enter as if the program were at fault.
    if (!request.workingDirectory.empty()) {
        const DWORD folder = GetFileAttributesW(request.workingDirectory.c_str());
        if (folder == INVALID_FILE_ATTRIBUTES || (folder & FILE_ATTRIBUTE_DIRECTORY) == 0)
            throw fail("cannot enter " + PathText(request.workingDirectory) + ": " +
                       (folder == INVALID_FILE_ATTRIBUTES ? windowsReason(GetLastError())
                                                          : systemReason(ENOTDIR)));
    }

    std::wstring application;
    if (isScript) {
        // cmd.exe itself would start and only then fail to find the script.
        if (GetFileAttributesW(request.program.c_str()) == INVALID_FILE_ATTRIBUTES)
            throw fail(windowsReason(GetLastError()));
        wchar_t system[MAX_PATH] = {};
        const UINT length = GetSystemDirectoryW(system, MAX_PATH);
        if (length == 0 || length >= MAX_PATH)
            throw fail("the command interpreter cannot be found: " + windowsReason(GetLastError()));
        application = std::wstring(system, length) + L"\\cmd.exe";
        // /S keeps the outer quotes off the command and the rest exactly as it is.
        commandLine = L"cmd.exe /D /S /C \"" + commandLine + L"\"";
    }

    // The standard input, when asked for, is an inheritable copy of the caller's handle, and
    // the only handle the process inherits. Output and error output left empty get the new
    // console window's own, where the user reads them: they are never captured here.
    HANDLE input = INVALID_HANDLE_VALUE;
    if (request.standardInput != -1 &&
        !DuplicateHandle(GetCurrentProcess(), reinterpret_cast<HANDLE>(request.standardInput),
                         GetCurrentProcess(), &input, 0, TRUE, DUPLICATE_SAME_ACCESS))
        throw fail("its standard input cannot be handed on: " + windowsReason(GetLastError()));
    const std::unique_ptr<void, decltype(&CloseHandle)> inputOwner(
        input == INVALID_HANDLE_VALUE ? nullptr : input, &CloseHandle);
    const bool redirected = inputOwner != nullptr;

    SIZE_T listSize = 0;
    InitializeProcThreadAttributeList(nullptr, 1, 0, &listSize);
    std::vector<char> listBytes(redirected ? listSize : 0);
    const auto list = reinterpret_cast<LPPROC_THREAD_ATTRIBUTE_LIST>(listBytes.data());
    if (redirected) {
        if (!InitializeProcThreadAttributeList(list, 1, 0, &listSize))
            throw fail("its standard input cannot be handed on: " + windowsReason(GetLastError()));
        if (!UpdateProcThreadAttribute(list, 0, PROC_THREAD_ATTRIBUTE_HANDLE_LIST, &input,
                                       sizeof input, nullptr, nullptr)) {
            const DWORD error = GetLastError();
            DeleteProcThreadAttributeList(list);
            throw fail("its standard input cannot be handed on: " + windowsReason(error));
        }
    }

    STARTUPINFOEXW startup{};
    startup.StartupInfo.cb = redirected ? sizeof startup : sizeof startup.StartupInfo;
    startup.StartupInfo.dwFlags = STARTF_USESHOWWINDOW;
    startup.StartupInfo.wShowWindow = static_cast<WORD>(request.windowStyle);
    if (redirected) {
        startup.StartupInfo.dwFlags |= STARTF_USESTDHANDLES;
        startup.StartupInfo.hStdInput = input;
        startup.StartupInfo.hStdOutput = nullptr;
        startup.StartupInfo.hStdError = nullptr;
        startup.lpAttributeList = list;
    }
    PROCESS_INFORMATION process{};
    const std::wstring folder = request.workingDirectory.native();
    const BOOL started = CreateProcessW(
        isScript ? application.c_str() : request.program.c_str(), commandLine.data(), nullptr,
        nullptr, redirected ? TRUE : FALSE,
        CREATE_NEW_CONSOLE | (redirected ? EXTENDED_STARTUPINFO_PRESENT : 0), nullptr,
        folder.empty() ? nullptr : folder.c_str(), &startup.StartupInfo, &process);
    const DWORD error = started ? 0 : GetLastError();
    if (redirected)
        DeleteProcThreadAttributeList(list);
    if (!started)
        throw fail(windowsReason(error));
    CloseHandle(process.hThread);
    return std::make_unique<WindowsProcess>(process.hProcess);
}

} // namespace korvalin
