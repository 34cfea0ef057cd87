#pragma once

#include "Win32Platform.h"

#include <windows.h>

namespace korvalin::win32 {

// One message to its window, with the keyboard of a dialog: Return and Space reach the
// default button, Tab its controls; the notices get their own keys.
void Dispatch(MSG& message, HWND window, Win32Platform& platform);

// Until the program ends; its exit status.
int RunMessageLoop(HWND window, Win32Platform& platform);

} // namespace korvalin::win32
