#pragma once

#include <string>
#include <string_view>

namespace korvalin::win32 {

// The one place where the core's UTF-8 meets the system's UTF-16.
[[nodiscard]] std::wstring Widen(std::string_view utf8);
[[nodiscard]] std::string Narrow(std::wstring_view utf16);

} // namespace korvalin::win32
