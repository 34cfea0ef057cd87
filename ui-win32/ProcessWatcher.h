#pragma once

#include "Handles.h"
#include "Platform.h"
#include "WindowClass.h"

#include <map>
#include <memory>
#include <windows.h>

namespace korvalin::win32 {

// Watches started processes without waiting for them: the system's thread pool waits on
// each process handle and posts a message to a window of ours, and the end is told from
// the event loop, in the window's own thread.
class ProcessWatcher final : public MessageTarget {
public:
    explicit ProcessWatcher(HINSTANCE instance);
    ProcessWatcher(const ProcessWatcher&) = delete;
    ProcessWatcher& operator=(const ProcessWatcher&) = delete;
    ~ProcessWatcher();

    void watch(std::unique_ptr<LaunchedProcess> process, ProcessEnded onEnd);
    [[nodiscard]] std::size_t watching() const { return watches_.size(); }

    LRESULT handle(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    struct Watch;
    void ended(UINT_PTR id);

    UniqueWindow window_;
    // After the window: the waits end before it goes.
    std::map<UINT_PTR, std::unique_ptr<Watch>> watches_;
    UINT_PTR next_ = 1;
};

} // namespace korvalin::win32
