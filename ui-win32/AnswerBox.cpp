#include "AnswerBox.h"

namespace korvalin::win32 {

namespace {

constexpr wchar_t kOldProcedure[] = L"KorvalinAnswerBoxProcedure";

LRESULT CALLBACK answerOnly(HWND box, UINT message, WPARAM wParam, LPARAM lParam) {
    const auto old = reinterpret_cast<WNDPROC>(GetPropW(box, kOldProcedure));
    if ((message == WM_COMMAND && LOWORD(wParam) == IDCANCEL) ||
        (message == WM_SYSCOMMAND && (wParam & 0xFFF0) == SC_CLOSE))
        return 0;
    if (message == WM_NCDESTROY) {
        RemovePropW(box, kOldProcedure);
        SetWindowLongPtrW(box, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(old));
    }
    return CallWindowProcW(old, box, message, wParam, lParam);
}

// The box is the first dialog this thread activates while the hook is set.
LRESULT CALLBACK onActivate(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_ACTIVATE) {
        const auto box = reinterpret_cast<HWND>(wParam);
        wchar_t type[16] = {};
        GetClassNameW(box, type, 16);
        if (std::wstring(type) == L"#32770" && GetPropW(box, kOldProcedure) == nullptr) {
            SetPropW(box, kOldProcedure,
                     reinterpret_cast<HANDLE>(GetWindowLongPtrW(box, GWLP_WNDPROC)));
            SetWindowLongPtrW(box, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&answerOnly));
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

} // namespace

int ShowAnswerBox(HWND owner, const std::wstring& text, const std::wstring& title, UINT style) {
    if ((style & MB_TYPEMASK) != MB_YESNO)
        return MessageBoxW(owner, text.c_str(), title.c_str(), style);
    const HHOOK hook = SetWindowsHookExW(WH_CBT, &onActivate, nullptr, GetCurrentThreadId());
    const int answer = MessageBoxW(owner, text.c_str(), title.c_str(), style);
    if (hook != nullptr)
        UnhookWindowsHookEx(hook);
    return answer;
}

} // namespace korvalin::win32
