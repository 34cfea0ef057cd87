#pragma once

#include <string>
#include <vector>
#include <windows.h>

namespace korvalin::win32 {

// Notices that stay open beside the window without taking the keyboard from it, so a
// Return meant for Next does not close one unread. Each closes on its own OK.
class NoticeBoxes {
public:
    explicit NoticeBoxes(HINSTANCE instance) : instance_(instance) {}
    NoticeBoxes(const NoticeBoxes&) = delete;
    NoticeBoxes& operator=(const NoticeBoxes&) = delete;
    ~NoticeBoxes();

    void show(HWND owner, const std::wstring& text, const std::wstring& title);
    // Gives a notice the keys meant for it; true when one took the message.
    bool isDialogMessage(MSG& message);
    [[nodiscard]] const std::vector<HWND>& open() const { return open_; }

private:
    static INT_PTR CALLBACK procedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

    HINSTANCE instance_;
    std::vector<HWND> open_;
};

} // namespace korvalin::win32
