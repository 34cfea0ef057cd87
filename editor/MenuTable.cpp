#include "MenuTable.h"

#include <map>
#include <vector>

namespace korvalin {

namespace {

// The caption of a character item: the code and its character, shown literally.
std::string characterCaption(int code) {
    static const std::map<int, std::string> kNamed = {
        {32, "32 (space)"},   {36, "36 (fourth power symbol)"},
        {48, "48 0 (zero)"},  {49, "49 1 (one)"},
        {50, "50 2 (two)"},   {51, "51 3 (three)"},
        {52, "52 4 (four)"},  {53, "53 5 (five)"},
        {54, "54 6 (six)"},   {55, "55 7 (seven)"},
        {56, "56 8 (eight)"}, {57, "57 9 (nine)"},
        {91, "91 Theta"},
    };
    if (const auto named = kNamed.find(code); named != kNamed.end())
        return named->second;
    std::string caption = std::to_string(code) + ' ' + static_cast<char>(code);
    // A single ampersand would mark an access key; doubled, it shows as itself.
    if (code == '&')
        caption += '&';
    return caption;
}

std::vector<MenuEntry> buildTable() {
    std::vector<MenuEntry> table;
    const auto add = [&table](std::string caption, std::string name, int parent, bool isMenu,
                              MenuCommand command = MenuCommand::None, int argument = -1) {
        table.push_back({std::move(caption), std::move(name), parent, isMenu, command, argument});
        return static_cast<int>(table.size()) - 1;
    };
    const auto addCharacters = [&](const std::string& caption, const std::string& menuName,
                                   int parent, int first, int last, const std::string& array,
                                   MenuCommand command) {
        const int menu = add(caption, menuName, parent, true);
        for (int code = first; code <= last; ++code)
            add(characterCaption(code), array + '(' + std::to_string(code) + ')', menu, false,
                command, code);
    };

    const int file = add("&File", "mnuFile", -1, true);
    add("&New Set...", "mnuNew", file, false, MenuCommand::New);
    add("&Load...", "mnuFileLoad", file, false, MenuCommand::FileLoad);
    add("&Save...", "mnuFileSave", file, false, MenuCommand::FileSave);
    add("&Exit", "mnuFileExit", file, false, MenuCommand::FileExit);

    const int sw = add("&Switch Character", "mnuSwitch", -1, true);
    add("Lower special (0-31)", "mnuSwitchLowerSpecial", sw, false,
        MenuCommand::SwitchLowerSpecial);
    addCharacters("Symbols and numbers", "mnuSwitchSymbolNumber", sw, 32, 64, "mnuSwitchNumbers",
                  MenuCommand::SwitchNumbers);
    addCharacters("Uppercase letters", "mnuSwitchUppercase", sw, 65, 90,
                  "mnuSwitchUppercaseLetters", MenuCommand::SwitchUppercaseLetters);
    addCharacters("More symbols", "mnuSwitchMoreSymbols", sw, 91, 96, "mnuSwitchSymbols",
                  MenuCommand::SwitchSymbols);
    addCharacters("Lowercase letters", "mnuSwitchLowercase", sw, 97, 122,
                  "mnuSwitchLowercaseLetters", MenuCommand::SwitchLowercaseLetters);
    add("Some more symbols (123-255)", "mnuSwitchEvenMoreSymbols", sw, false,
        MenuCommand::SwitchEvenMoreSymbols);

    // A menu-bar entry of its own: choosing it compiles at once.
    add("&Compile", "mnuCompile", -1, false, MenuCommand::Compile);
    return table;
}

} // namespace

std::span<const MenuEntry> MenuTable() {
    static const std::vector<MenuEntry> kTable = buildTable();
    return kTable;
}

} // namespace korvalin
