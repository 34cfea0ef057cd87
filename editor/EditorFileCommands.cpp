// New Set, Load, Save, Exit and closing the window, each with its save prompt.
#include "Editor.h"
#include "FontSetFile.h"

namespace korvalin {

namespace {
constexpr const char* kFilter = "Korvalin Fonts|*.8xfont";
constexpr FileDialogFlags kDialogFlags =
    FileDialogFlag::OverwritePrompt | FileDialogFlag::HideReadOnly;
} // namespace

void Editor::showFailure(const std::string& what, const std::exception& error) {
    platform_.MsgBox(what + "\n\n" + error.what(), MsgBoxStyle::OkOnly | MsgBoxStyle::Critical,
                     std::string());
}

void Editor::setCurrentFile(const std::filesystem::path& fileName, bool chosen) {
    currentFileName = fileName;
    haveFileName = chosen;
}

void Editor::LoadFontSet(const std::filesystem::path& path) {
    ReadFontSetFile(path, fontSet);
    currentChar = 0;
    ShowCharacter();
}

void Editor::SaveFontSet() {
    WriteFontSetFile(currentFileName, fontSet);
}

// Both dialogs list font set files, report Cancel, and ask before replacing a file.
void Editor::prepareFileDialog() {
    CommonDialog1.Filter = kFilter;
    CommonDialog1.CancelError = true;
    CommonDialog1.Flags = kDialogFlags;
}

bool Editor::save() {
    if (!haveFileName) {
        prepareFileDialog();
        if (CommonDialog1.ShowSave() == DialogResult::Cancelled)
            return true;
        setCurrentFile(CommonDialog1.FileName, false);
    }
    try {
        SaveFontSet();
    } catch (const std::exception& error) {
        // The file may be gone for good (its folder renamed, a disk full); the next Save
        // asks again, so the set in memory can still be kept elsewhere.
        setCurrentFile(currentFileName, false);
        showFailure("The font set was not saved.", error);
        return false;
    }
    setCurrentFile(currentFileName, true);
    return true;
}

bool Editor::savePrompt(const std::string& title) {
    if (platform_.MsgBox("Save current font set?", MsgBoxStyle::YesNo, title) != MsgBoxAnswer::Yes)
        return true;
    return save();
}

void Editor::mnuFileSave_Click() {
    save();
}

void Editor::mnuNew_Click() {
    if (!savePrompt("New Font Set"))
        return;
    try {
        Form_Load();
    } catch (const std::exception& error) {
        showFailure("No new font set was started; the current one stays open.", error);
    }
}

void Editor::mnuFileLoad_Click() {
    if (!savePrompt("Open new font set"))
        return;
    prepareFileDialog();
    if (CommonDialog1.ShowOpen() == DialogResult::Cancelled)
        return;
    // The path becomes the current file only once it has been read whole, so a later
    // Save never overwrites a file that failed to load.
    const std::filesystem::path chosen = CommonDialog1.FileName;
    try {
        LoadFontSet(chosen);
    } catch (const std::exception& error) {
        showFailure("The font set was not loaded.", error);
        return;
    }
    setCurrentFile(chosen, true);
}

void Editor::mnuFileExit_Click() {
    if (savePrompt("Exit"))
        end(0);
}

void Editor::Form_Unload(bool& cancel) {
    if (!savePrompt("Exit")) {
        cancel = true;
        return;
    }
    end(0);
}

} // namespace korvalin
