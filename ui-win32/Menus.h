#pragma once

#include "Handles.h"
#include "MenuTable.h"

#include <optional>
#include <span>

namespace korvalin::win32 {

// Menu item IDs: the first entry of the table has this one, each next entry the next.
inline constexpr UINT kFirstMenuId = 1000;

// The menu bar with every menu and item of `table`, in its order.
[[nodiscard]] UniqueMenu BuildMenuBar(std::span<const MenuEntry> table);

// The entry of `table` that a WM_COMMAND's ID chooses; nothing for other IDs and menus.
[[nodiscard]] const MenuEntry* MenuEntryOf(std::span<const MenuEntry> table, UINT id);

} // namespace korvalin::win32
