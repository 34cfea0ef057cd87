// New Set, Load, Save, Exit and closing the window, each with its save prompt.
#include "FontSetFile.h"
#include "Form1.h"
#include "QtCompat.h"

namespace korvalin {

namespace {
const QString kFilter = QStringLiteral("Korvalin Fonts|*.8xfont");
constexpr FileDialogFlags kDialogFlags =
    FileDialogFlag::OverwritePrompt | FileDialogFlag::HideReadOnly;
} // namespace

void Form1::showFailure(const QString& what, const std::exception& error) {
    platform_.MsgBox(what + QStringLiteral("\n\n") + fromCore(error.what()),
                     MsgBoxStyle::OkOnly | MsgBoxStyle::Critical, QString());
}

void Form1::setCurrentFile(const QString& fileName, bool chosen) {
    currentFileName = fileName;
    haveFileName = chosen;
}

void Form1::LoadFontSet(const QString& path) {
    ReadFontSetFile(toPath(path), fontSet);
    currentChar = 0;
    ShowCharacter();
}

void Form1::SaveFontSet() {
    WriteFontSetFile(toPath(currentFileName), fontSet);
}

// Both dialogs list font set files, report Cancel as a failure, and ask before
// replacing a file.
void Form1::prepareFileDialog() {
    CommonDialog1.Filter = kFilter;
    CommonDialog1.CancelError = true;
    CommonDialog1.Flags = kDialogFlags;
}

bool Form1::save() {
    if (!haveFileName) {
        prepareFileDialog();
        try {
            CommonDialog1.ShowSave();
        } catch (const DialogCancelled&) {
            return true;
        }
        setCurrentFile(CommonDialog1.FileName, false);
    }
    try {
        SaveFontSet();
    } catch (const std::exception& error) {
        // The file may be gone for good (its folder renamed, a disk full); the next Save
        // asks again, so the set in memory can still be kept elsewhere.
        setCurrentFile(currentFileName, false);
        showFailure(QStringLiteral("The font set was not saved."), error);
        return false;
    }
    setCurrentFile(currentFileName, true);
    return true;
}

bool Form1::savePrompt(const QString& title) {
    if (platform_.MsgBox(QStringLiteral("Save current font set?"), MsgBoxStyle::YesNo, title) !=
        MsgBoxAnswer::Yes)
        return true;
    return save();
}

void Form1::mnuFileSave_Click() {
    save();
}

void Form1::mnuNew_Click() {
    if (!savePrompt(QStringLiteral("New Font Set")))
        return;
    try {
        Form_Load();
    } catch (const std::exception& error) {
        showFailure(QStringLiteral("No new font set was started; the current one stays open."),
                    error);
    }
}

void Form1::mnuFileLoad_Click() {
    if (!savePrompt(QStringLiteral("Open new font set")))
        return;
    prepareFileDialog();
    try {
        CommonDialog1.ShowOpen();
    } catch (const DialogCancelled&) {
        return;
    }
    // The path becomes the current file only once it has been read whole, so a later
    // Save never overwrites a file that failed to load.
    const QString chosen = CommonDialog1.FileName;
    try {
        LoadFontSet(chosen);
    } catch (const std::exception& error) {
        showFailure(QStringLiteral("The font set was not loaded."), error);
        return;
    }
    setCurrentFile(chosen, true);
}

void Form1::mnuFileExit_Click() {
    if (savePrompt(QStringLiteral("Exit")))
        platform_.End(0);
}

void Form1::Form_Unload(bool& cancel) {
    if (!savePrompt(QStringLiteral("Exit"))) {
        cancel = true;
        return;
    }
    platform_.End(0);
}

} // namespace korvalin
