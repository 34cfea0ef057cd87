// Start-up, the display of the current glyph, cell clicks and navigation.
#include "FontSetFile.h"
#include "Form1.h"
#include "QtCompat.h"

#include <QDir>
#include <QLabel>

namespace korvalin {

void Form1::Form_Load() {
    const BusyPointer busy(platform_);
    QString directory = QDir::toNativeSeparators(platform_.ProgramDirectory());
    if (!directory.endsWith(QDir::separator()))
        directory += QDir::separator();

    // Read first: a default file that cannot be read leaves the editor as it was.
    FontSet defaultSet;
    ReadFontSetFile(toPath(directory + QStringLiteral("default.8xfont")), defaultSet);

    haveFileName = false;
    appDir = directory;
    fontSet = defaultSet;
    currentChar = 0;
    ShowCharacter();
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
