#include "ProcessWatcher.h"

namespace korvalin::win32 {

namespace {
constexpr wchar_t kClassName[] = L"KorvalinProcessWatcher";
constexpr UINT kProcessEnded = WM_APP + 1;
} // namespace

struct ProcessWatcher::Watch {
    Watch(std::unique_ptr<LaunchedProcess> launched, ProcessEnded ended, HWND to, UINT_PTR key)
        : process(std::move(launched)), onEnd(std::move(ended)), window(to), id(key) {}
    Watch(const Watch&) = delete;
    Watch& operator=(const Watch&) = delete;
    // Waits for a callback that runs, so none outlives what it posts for.
    ~Watch() {
        if (wait != nullptr)
            UnregisterWaitEx(wait, INVALID_HANDLE_VALUE);
    }

    static void CALLBACK signalled(PVOID context, BOOLEAN) {
        const auto* watch = static_cast<const Watch*>(context);
        PostMessageW(watch->window, kProcessEnded, watch->id, 0);
    }

    std::unique_ptr<LaunchedProcess> process;
    ProcessEnded onEnd;
    HWND window;
    UINT_PTR id;
    HANDLE wait = nullptr;
};

ProcessWatcher::ProcessWatcher(HINSTANCE instance) {
    // A message-only window, which the waits post to.
    window_.reset(CreateWindowOf(instance, {kClassName}, {.parent = HWND_MESSAGE}, *this));
}

ProcessWatcher::~ProcessWatcher() {
    watches_.clear();
    Detach(window_.get());
}

void ProcessWatcher::watch(std::unique_ptr<LaunchedProcess> process, ProcessEnded onEnd) {
    const UINT_PTR id = next_++;
    const HANDLE handle = reinterpret_cast<HANDLE>(process->notifier());
    auto watch = std::make_unique<Watch>(std::move(process), std::move(onEnd), window_.get(), id);
    if (!RegisterWaitForSingleObject(&watch->wait, handle, &Watch::signalled, watch.get(), INFINITE,
                                     WT_EXECUTEONLYONCE)) {
        // Without the thread pool the end is still seen: a posted check of its own.
        watch->wait = nullptr;
        PostMessageW(window_.get(), kProcessEnded, id, 0);
    }
    watches_.emplace(id, std::move(watch));
}

LRESULT ProcessWatcher::handle(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == kProcessEnded) {
        ended(wParam);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

void ProcessWatcher::ended(UINT_PTR id) {
    const auto found = watches_.find(id);
    if (found == watches_.end())
        return;
    const std::optional<ProcessOutcome> outcome = found->second->process->poll();
    if (!outcome) {
        // Signalled but not yet reported as ended: look again once the queue is empty.
        PostMessageW(window_.get(), kProcessEnded, id, 0);
        return;
    }
    const std::unique_ptr<Watch> watch = std::move(found->second);
    watches_.erase(found);
    watch->onEnd(*outcome);
}

} // namespace korvalin::win32
