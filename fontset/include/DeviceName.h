#pragma once

#include <array>
#include <filesystem>
#include <string_view>

namespace korvalin::windows_files {

// Whether `base`, a file name without its extension in any case, is one that Windows keeps
// for a device in every folder: CON, PRN, AUX, NUL, COM1 to COM9, LPT1 to LPT9 and the
// console's CONIN$ and CONOUT$.
template <typename Char>
[[nodiscard]] constexpr bool isReservedDeviceName(std::basic_string_view<Char> base) {
    // Whether `base` starts with `device`, whatever the case of its ASCII letters.
    const auto startsAs = [base](std::string_view device) {
        if (base.size() < device.size())
            return false;
        for (std::size_t i = 0; i < device.size(); ++i) {
            const Char c = base[i];
            if ((c >= Char('a') && c <= Char('z') ? Char(c - 'a' + 'A') : c) != Char(device[i]))
                return false;
        }
        return true;
    };
    constexpr std::array<std::string_view, 6> kPlain = {"CON", "PRN",    "AUX",
                                                        "NUL", "CONIN$", "CONOUT$"};
    for (const std::string_view device : kPlain)
        if (base.size() == device.size() && startsAs(device))
            return true;
    return base.size() == 4 && (startsAs("COM") || startsAs("LPT")) && base[3] >= Char('1') &&
           base[3] <= Char('9');
}

#ifdef _WIN32
// Whether `path` names a device or a pipe by its name alone (NUL, CON, COM1, "nul.txt",
// \\.\pipe\x): such a name never reaches a file, and opening it may wait or have effects.
[[nodiscard]] bool namesADevice(const std::filesystem::path& path);
#endif

} // namespace korvalin::windows_files
