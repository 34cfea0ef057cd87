#include "NoticeBoxes.h"

#include "Resources.h"

#include <algorithm>

namespace korvalin::win32 {

NoticeBoxes::~NoticeBoxes() {
    // Each one removes itself from the list as it goes.
    while (!open_.empty())
        DestroyWindow(open_.back());
}

void NoticeBoxes::show(HWND owner, const std::wstring& text, const std::wstring& title) {
    const HWND notice = CreateDialogParamW(instance_, MAKEINTRESOURCEW(IDD_NOTICE), owner,
                                           &NoticeBoxes::procedure, reinterpret_cast<LPARAM>(this));
    if (notice == nullptr)
        return;
    open_.push_back(notice);
    if (!title.empty())
        SetWindowTextW(notice, title.c_str());
    SetDlgItemTextW(notice, IDC_NOTICE_TEXT, text.c_str());
    SendDlgItemMessageW(notice, IDC_NOTICE_ICON, STM_SETICON,
                        reinterpret_cast<WPARAM>(LoadIconW(nullptr, IDI_WARNING)), 0);
    ShowWindow(notice, SW_SHOWNOACTIVATE);
}

bool NoticeBoxes::isDialogMessage(MSG& message) {
    return std::any_of(open_.begin(), open_.end(),
                       [&message](HWND notice) { return IsDialogMessageW(notice, &message); });
}

INT_PTR CALLBACK NoticeBoxes::procedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        SetWindowLongPtrW(dialog, DWLP_USER, lParam);
        return FALSE; // the keyboard stays where it was
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
            DestroyWindow(dialog);
            return TRUE;
        }
        return FALSE;
    case WM_NCDESTROY:
        if (auto* boxes = reinterpret_cast<NoticeBoxes*>(GetWindowLongPtrW(dialog, DWLP_USER)))
            std::erase(boxes->open_, dialog);
        return FALSE;
    default:
        return FALSE;
    }
}

} // namespace korvalin::win32
