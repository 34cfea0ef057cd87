// Start-up, the display of the current glyph, cell clicks and navigation.
#include "FontSetFile.h"
#include "Form1.h"
#include "ProgramFolder.h"
#include "QtCompat.h"

#include <QLabel>

namespace korvalin {

void Form1::Form_Load() {
    const BusyPointer busy(platform_);
    // Kept in the file system's own bytes: a folder name that is no valid text in any
    // encoding still names the folder.
    NativeString directory = AppDirOf(platform_.ProgramDirectory());

    // Read first: a default file that cannot be read leaves the editor as it was.
    FontSet defaultSet;
    ReadFontSetFile(std::filesystem::path(directory) += "default.8xfont", defaultSet);

    setCurrentFile(currentFileName, false);
    appDir = std::move(directory);
    fontSet = defaultSet;
    currentChar = 0;
    ShowCharacter();
}

std::filesystem::path Form1::inAppDir(std::string_view name) const {
    std::filesystem::path path(appDir);
    path += name;
    return path;
}

void Form1::ShowCharacter() {
    lblstatus->setText(kStatusPrefix + QString::number(currentChar));
    const auto glyph = fontSet.glyph(currentChar);
    for (int i = 0; i < kCells; ++i) {
        const OleColor grey = GreyOf(glyph[static_cast<std::size_t>(i)]);
        pixel[i]->setBackColor(grey);
        preview[i]->setBackColor(grey);
    }
}

// The cell shows what was stored, so the new value comes from its inverted colour.
void Form1::pixel_Click(int index) {
    pixel[index]->setBackColor(pixel[index]->BackColor() ^ 0xFFFFFF);
    preview[index]->setBackColor(pixel[index]->BackColor());
    fontSet.setCell(currentChar, index, static_cast<CellValue>(pixel[index]->BackColor() & 0xFF));
}

void Form1::cmdNextChar_Click() {
    currentChar = currentChar == 255 ? 0 : static_cast<qint16>(currentChar + 1);
    ShowCharacter();
}

void Form1::selectCharacter(int code) {
    currentChar = static_cast<qint16>(code);
    ShowCharacter();
}

void Form1::mnuSwitchNumbers_Click(int index) {
    selectCharacter(index);
}
void Form1::mnuSwitchUppercaseLetters_Click(int index) {
    selectCharacter(index);
}
void Form1::mnuSwitchSymbols_Click(int index) {
    selectCharacter(index);
}
void Form1::mnuSwitchLowercaseLetters_Click(int index) {
    selectCharacter(index);
}

// Any reply that is not a code 0..255 ends the prompt quietly.
void Form1::askForCharacter() {
    const QString reply = platform_.InputBox(QStringLiteral("Enter number of character to edit:"),
                                             QStringLiteral("Switch Character"));
    bool converted = false;
    const short code = reply.trimmed().toShort(&converted);
    if (!converted || code < 0 || code > 255)
        return;
    selectCharacter(code);
}

void Form1::mnuSwitchLowerSpecial_Click() {
    askForCharacter();
}
void Form1::mnuSwitchEvenMoreSymbols_Click() {
    askForCharacter();
}

} // namespace korvalin
