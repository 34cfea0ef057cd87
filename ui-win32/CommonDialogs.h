#pragma once

#include "Platform.h"

#include <string>
#include <windows.h>

namespace korvalin::win32 {

// The Filter's "name|patterns|name|patterns" as the Open and Save dialogs take it: each
// part ended by a NUL, and the list by one more.
[[nodiscard]] std::wstring OpenFileNameFilter(const std::string& filter);

// The dialog's own flags for the editor's; the Explorer look always.
[[nodiscard]] DWORD OpenFileNameFlags(FileDialogFlags flags);

// MessageBoxW's style for the editor's: the buttons, the icon, and Yes as the default.
[[nodiscard]] UINT MessageBoxStyle(MsgBoxStyles style);

// The editor's answer for MessageBoxW's.
[[nodiscard]] MsgBoxAnswer MessageBoxAnswer(int answer);

} // namespace korvalin::win32
