#pragma once

#include "NoticeBoxes.h"
#include "Platform.h"
#include "ProcessWatcher.h"

#include <windows.h>

namespace korvalin::win32 {

// The desktop as Windows gives it: message boxes, the input box from its template, the
// common file dialogs, processes watched from the event loop and modeless notices.
class Win32Platform final : public Platform {
public:
    explicit Win32Platform(HINSTANCE instance);

    // The window that owns every box; none before it is shown.
    void setWindow(HWND owner) { owner_ = owner; }

    MsgBoxAnswer MsgBox(const std::string& prompt, MsgBoxStyles style,
                        const std::string& title) override;
    std::string InputBox(const std::string& prompt, const std::string& title) override;
    std::optional<std::filesystem::path> ShowFileDialog(const FileDialogRequest& request) override;
    void StartProcess(const LaunchRequest& request, ProcessEnded onEnd) override;
    void ShowNotice(const std::string& text, const std::string& title) override;
    std::filesystem::path ProgramDirectory() override;

    [[nodiscard]] NoticeBoxes& notices() { return notices_; }

private:
    HINSTANCE instance_;
    HWND owner_ = nullptr;
    ProcessWatcher watcher_;
    NoticeBoxes notices_;
};

} // namespace korvalin::win32
