#pragma once

#include "NoticeBoxes.h"

#include <windows.h>

namespace korvalin::win32 {

// One message to its window, with the keyboard of a dialog: Return and Space reach the
// default button, Tab its controls; the notices get their own keys.
void Dispatch(MSG& message, HWND window, NoticeBoxes* notices = nullptr);

// Until the program ends; its exit status.
int RunMessageLoop(HWND window, NoticeBoxes& notices);

} // namespace korvalin::win32
