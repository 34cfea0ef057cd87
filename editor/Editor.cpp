// The display of the current glyph, cell clicks, navigation and the menu table's commands.
#include "Editor.h"

#include <charconv>
#include <optional>

namespace korvalin {

namespace {

// The blanks a reply may have around its number: ASCII's and Unicode's, in UTF-8.
constexpr std::string_view kBlanks[] = {
    " ",
    "\t",
    "\n",
    "\v",
    "\f",
    "\r",
    "\xc2\x85",
    "\xc2\xa0",
    "\xe1\x9a\x80",
    "\xe2\x80\x80",
    "\xe2\x80\x81",
    "\xe2\x80\x82",
    "\xe2\x80\x83",
    "\xe2\x80\x84",
    "\xe2\x80\x85",
    "\xe2\x80\x86",
    "\xe2\x80\x87",
    "\xe2\x80\x88",
    "\xe2\x80\x89",
    "\xe2\x80\x8a",
    "\xe2\x80\xa8",
    "\xe2\x80\xa9",
    "\xe2\x80\xaf",
    "\xe2\x81\x9f",
    "\xe3\x80\x80",
};

std::string_view trimmed(std::string_view text) {
    for (bool cut = true; cut;) {
        cut = false;
        for (const std::string_view blank : kBlanks) {
            if (text.starts_with(blank)) {
                text.remove_prefix(blank.size());
                cut = true;
            }
            if (text.ends_with(blank)) {
                text.remove_suffix(blank.size());
                cut = true;
            }
        }
    }
    return text;
}

// A reply read as a 16-bit signed number: an optional sign and decimal digits, nothing else.
std::optional<std::int16_t> toInt16(std::string_view reply) {
    std::string_view text = trimmed(reply);
    const bool plus = text.starts_with('+');
    if (plus)
        text.remove_prefix(1);
    if (text.empty() || (plus && text.starts_with('-')))
        return std::nullopt;
    std::int16_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return value;
}

} // namespace

Editor::Editor(EditorView& view, Platform& platform)
    : view_(view), platform_(platform), CommonDialog1(platform) {}

std::filesystem::path Editor::inAppDir(std::string_view name) const {
    std::filesystem::path path(appDir);
    path += name;
    return path;
}

void Editor::ShowCharacter() {
    view_.SetStatus(kStatusPrefix + std::to_string(currentChar));
    const auto glyph = fontSet.glyph(currentChar);
    for (int i = 0; i < kCells; ++i) {
        const OleColor grey = GreyOf(glyph[static_cast<std::size_t>(i)]);
        view_.ShowCell(CellBlock::Pixel, i, grey);
        view_.ShowCell(CellBlock::Preview, i, grey);
    }
}

// The cell shows what was stored, so the new value comes from its inverted colour.
void Editor::pixel_Click(int index) {
    view_.ShowCell(CellBlock::Pixel, index, view_.CellColour(CellBlock::Pixel, index) ^ 0xFFFFFF);
    const OleColor shown = view_.CellColour(CellBlock::Pixel, index);
    view_.ShowCell(CellBlock::Preview, index, shown);
    fontSet.setCell(currentChar, index, static_cast<CellValue>(shown & 0xFF));
}

void Editor::cmdNextChar_Click() {
    currentChar = currentChar == 255 ? 0 : static_cast<std::int16_t>(currentChar + 1);
    ShowCharacter();
}

void Editor::selectCharacter(int code) {
    currentChar = static_cast<std::int16_t>(code);
    ShowCharacter();
}

void Editor::mnuSwitchNumbers_Click(int index) {
    selectCharacter(index);
}
void Editor::mnuSwitchUppercaseLetters_Click(int index) {
    selectCharacter(index);
}
void Editor::mnuSwitchSymbols_Click(int index) {
    selectCharacter(index);
}
void Editor::mnuSwitchLowercaseLetters_Click(int index) {
    selectCharacter(index);
}

// Any reply that is not a code 0..255 ends the prompt quietly.
void Editor::askForCharacter() {
    const std::string reply =
        platform_.InputBox("Enter number of character to edit:", "Switch Character");
    const std::optional<std::int16_t> code = toInt16(reply);
    if (!code || *code < 0 || *code > 255)
        return;
    selectCharacter(*code);
}

void Editor::mnuSwitchLowerSpecial_Click() {
    askForCharacter();
}
void Editor::mnuSwitchEvenMoreSymbols_Click() {
    askForCharacter();
}

void Editor::Choose(const MenuEntry& entry) {
    switch (entry.command) {
    case MenuCommand::None:
        break;
    case MenuCommand::New:
        mnuNew_Click();
        break;
    case MenuCommand::FileLoad:
        mnuFileLoad_Click();
        break;
    case MenuCommand::FileSave:
        mnuFileSave_Click();
        break;
    case MenuCommand::FileExit:
        mnuFileExit_Click();
        break;
    case MenuCommand::SwitchLowerSpecial:
        mnuSwitchLowerSpecial_Click();
        break;
    case MenuCommand::SwitchNumbers:
        mnuSwitchNumbers_Click(entry.argument);
        break;
    case MenuCommand::SwitchUppercaseLetters:
        mnuSwitchUppercaseLetters_Click(entry.argument);
        break;
    case MenuCommand::SwitchSymbols:
        mnuSwitchSymbols_Click(entry.argument);
        break;
    case MenuCommand::SwitchLowercaseLetters:
        mnuSwitchLowercaseLetters_Click(entry.argument);
        break;
    case MenuCommand::SwitchEvenMoreSymbols:
        mnuSwitchEvenMoreSymbols_Click();
        break;
    case MenuCommand::Compile:
        mnuCompile_Click();
        break;
    }
}

} // namespace korvalin
