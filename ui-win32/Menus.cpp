#include "Menus.h"

#include "WideText.h"

#include <vector>

namespace korvalin::win32 {

UniqueMenu BuildMenuBar(std::span<const MenuEntry> table) {
    UniqueMenu bar(CreateMenu());
    // Each entry's own menu, or none; a submenu belongs to its parent once appended.
    std::vector<HMENU> menus;
    for (std::size_t i = 0; i < table.size(); ++i) {
        const MenuEntry& entry = table[i];
        const HMENU parent =
            entry.parent < 0 ? bar.get() : menus.at(static_cast<std::size_t>(entry.parent));
        const std::wstring caption = Widen(entry.caption);
        if (entry.isMenu) {
            UniqueMenu menu(CreatePopupMenu());
            if (AppendMenuW(parent, MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(menu.get()),
                            caption.c_str()))
                menus.push_back(menu.release());
            else
                menus.push_back(nullptr);
        } else {
            AppendMenuW(parent, MF_STRING, kFirstMenuId + static_cast<UINT>(i), caption.c_str());
            menus.push_back(nullptr);
        }
    }
    return bar;
}

const MenuEntry* MenuEntryOf(std::span<const MenuEntry> table, UINT id) {
    if (id < kFirstMenuId || id - kFirstMenuId >= table.size())
        return nullptr;
    const MenuEntry& entry = table[id - kFirstMenuId];
    return entry.isMenu ? nullptr : &entry;
}

} // namespace korvalin::win32
