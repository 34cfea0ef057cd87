#pragma once

#include <string>
#include <windows.h>

namespace korvalin::win32 {

// MessageBoxW for a question that must be answered: with Yes and No only, Escape and the
// close box do nothing, as Windows has it. Wine closes such a box on Escape unless told.
[[nodiscard]] int ShowAnswerBox(HWND owner, const std::wstring& text, const std::wstring& title,
                                UINT style);

} // namespace korvalin::win32
