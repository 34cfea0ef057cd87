#include "Win32Platform.h"

#include "AnswerBox.h"
#include "CommonDialogs.h"
#include "InputBox.h"
#include "ProgramFolder.h"
#include "WideText.h"

#include <algorithm>
#include <cderr.h>
#include <commdlg.h>
#include <vector>

namespace korvalin::win32 {

namespace {

// Long enough for any path the file system takes.
constexpr std::size_t kFileNameLength = 32768;

std::wstring titleOrDefault(const std::string& title) {
    return Widen(title.empty() ? kApplicationTitle : title);
}

} // namespace

Win32Platform::Win32Platform(HINSTANCE instance)
    : instance_(instance), watcher_(instance), notices_(instance) {}

MsgBoxAnswer Win32Platform::MsgBox(const std::string& prompt, MsgBoxStyles style,
                                   const std::string& title) {
    return MessageBoxAnswer(
        ShowAnswerBox(owner_, Widen(prompt), titleOrDefault(title), MessageBoxStyle(style)));
}

std::string Win32Platform::InputBox(const std::string& prompt, const std::string& title) {
    return Narrow(RunInputBox(instance_, owner_, Widen(prompt), titleOrDefault(title)));
}

std::optional<std::filesystem::path>
Win32Platform::ShowFileDialog(const FileDialogRequest& request) {
    const std::wstring filter = OpenFileNameFilter(request.filter);
    std::vector<wchar_t> fileName(kFileNameLength, L'\0');
    const auto offer = [&](const std::wstring& name) {
        std::fill(fileName.begin(), fileName.end(), L'\0');
        name.copy(fileName.data(), std::min(name.size(), fileName.size() - 1));
    };
    offer(request.fileName.native());

    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = owner_;
    dialog.lpstrFilter = filter.empty() ? nullptr : filter.c_str();
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = fileName.data();
    dialog.nMaxFile = static_cast<DWORD>(fileName.size());
    dialog.Flags = OpenFileNameFlags(request.flags);
    const auto show = [&] {
        return request.kind == FileDialogKind::Open ? GetOpenFileNameW(&dialog)
                                                    : GetSaveFileNameW(&dialog);
    };
    BOOL chosen = show();
    // A name the dialog cannot offer (a folder gone, a character it refuses) is dropped.
    if (!chosen && CommDlgExtendedError() == FNERR_INVALIDFILENAME) {
        offer(std::wstring());
        chosen = show();
    }
    if (!chosen)
        return std::nullopt;
    return std::filesystem::path(std::wstring(fileName.data()));
}

void Win32Platform::StartProcess(const LaunchRequest& request, ProcessEnded onEnd) {
    watcher_.watch(Launch(request), std::move(onEnd));
}

void Win32Platform::ShowNotice(const std::string& text, const std::string& title) {
    notices_.show(owner_, Widen(text), titleOrDefault(title));
}

std::filesystem::path Win32Platform::ProgramDirectory() {
    return ExecutableFolder();
}

} // namespace korvalin::win32
