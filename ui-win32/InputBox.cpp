#include "InputBox.h"

#include "Resources.h"

namespace korvalin::win32 {

namespace {

struct Exchange {
    const std::wstring& prompt;
    const std::wstring& title;
    std::wstring reply;
};

std::wstring textOf(HWND control) {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(control)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(
        GetWindowTextW(control, text.data(), static_cast<int>(text.size()))));
    return text;
}

INT_PTR CALLBACK procedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* exchange = reinterpret_cast<Exchange*>(GetWindowLongPtrW(dialog, DWLP_USER));
    switch (message) {
    case WM_INITDIALOG:
        exchange = reinterpret_cast<Exchange*>(lParam);
        SetWindowLongPtrW(dialog, DWLP_USER, lParam);
        if (!exchange->title.empty())
            SetWindowTextW(dialog, exchange->title.c_str());
        SetDlgItemTextW(dialog, IDC_PROMPT, exchange->prompt.c_str());
        SetFocus(GetDlgItem(dialog, IDC_REPLY));
        return FALSE; // the focus is set
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK) {
            exchange->reply = textOf(GetDlgItem(dialog, IDC_REPLY));
            EndDialog(dialog, IDOK);
            return TRUE;
        }
        if (LOWORD(wParam) == IDCANCEL) {
            EndDialog(dialog, IDCANCEL);
            return TRUE;
        }
        return FALSE;
    default:
        return FALSE;
    }
}

} // namespace

std::wstring RunInputBox(HINSTANCE instance, HWND owner, const std::wstring& prompt,
                         const std::wstring& title) {
    Exchange exchange{prompt, title, {}};
    const INT_PTR result = DialogBoxParamW(instance, MAKEINTRESOURCEW(IDD_INPUTBOX), owner,
                                           &procedure, reinterpret_cast<LPARAM>(&exchange));
    return result == IDOK ? exchange.reply : std::wstring();
}

} // namespace korvalin::win32
