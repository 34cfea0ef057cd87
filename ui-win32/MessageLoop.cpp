#include "MessageLoop.h"

namespace korvalin::win32 {

void Dispatch(MSG& message, HWND window, NoticeBoxes* notices) {
    if (notices != nullptr && notices->isDialogMessage(message))
        return;
    if (window != nullptr && IsDialogMessageW(window, &message))
        return;
    TranslateMessage(&message);
    DispatchMessageW(&message);
}

int RunMessageLoop(HWND window, NoticeBoxes& notices) {
    MSG message{};
    while (GetMessageW(&message, nullptr, 0, 0) > 0)
        Dispatch(message, window, &notices);
    return static_cast<int>(message.wParam);
}

} // namespace korvalin::win32
