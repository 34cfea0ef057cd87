#pragma once

#include <string>
#include <windows.h>

namespace korvalin::win32 {

// The input box from its dialog template: the typed text, or an empty text on Cancel. An
// empty title leaves the template's, the application's title.
[[nodiscard]] std::wstring RunInputBox(HINSTANCE instance, HWND owner, const std::wstring& prompt,
                                       const std::wstring& title);

} // namespace korvalin::win32
