#pragma once

#include <span>
#include <string>

namespace korvalin {

// What choosing a menu item does: the handler it calls. The character items pass their
// code to their handler.
enum class MenuCommand {
    None, // a menu that opens its items
    New,
    FileLoad,
    FileSave,
    FileExit,
    SwitchLowerSpecial,
    SwitchNumbers,
    SwitchUppercaseLetters,
    SwitchSymbols,
    SwitchLowercaseLetters,
    SwitchEvenMoreSymbols,
    Compile,
};

// One entry of the menu tree, as every toolkit builds it.
struct MenuEntry {
    std::string caption;    // UTF-8; & marks the access key, && shows an ampersand
    std::string objectName; // "mnuFileLoad"; an item of a control array "mnuSwitchNumbers(32)"
    int parent;             // the index of the menu that holds it, -1 for the menu bar
    bool isMenu;            // opens the entries whose parent it is
    MenuCommand command;
    int argument; // the character code of a character item, -1 otherwise
};

// The whole tree in order: each menu comes before its entries.
[[nodiscard]] std::span<const MenuEntry> MenuTable();

} // namespace korvalin
