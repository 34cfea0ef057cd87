#pragma once

#include "CommonDialog.h"
#include "EditorView.h"
#include "FontSet.h"
#include "Launch.h"
#include "MenuTable.h"
#include "Platform.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

namespace korvalin {

// The editor without a window: the glyph table, the editor state and every command. A
// view shows what it is told and forwards the user's events to the handlers here.
class Editor {
public:
    static constexpr int kCells = FontSet::kCellsPerGlyph;
    inline static const std::string kStatusPrefix = "Currently editing character: ";

    Editor(EditorView& view, Platform& platform);

    // The program's start: Form_Load under the failure policy of Run. False when it
    // failed, and the program ends without showing its window.
    [[nodiscard]] bool Start();

    // Runs the handler of one of the user's events. A failure that the handler leaves
    // uncaught is said in a message box that names it, and the program ends; once it has
    // ended, no handler runs. Every view runs every handler through here.
    void Run(const std::function<void()>& handler);

    // Start-up and New Set: reads the default font set and shows character 0. Throws when
    // the program folder cannot be found or the default file cannot be read (FileError),
    // and then changes nothing.
    void Form_Load();
    void ShowCharacter();

    void pixel_Click(int index);
    void cmdNextChar_Click();
    void mnuSwitchNumbers_Click(int index);
    void mnuSwitchUppercaseLetters_Click(int index);
    void mnuSwitchSymbols_Click(int index);
    void mnuSwitchLowercaseLetters_Click(int index);
    void mnuSwitchLowerSpecial_Click();
    void mnuSwitchEvenMoreSymbols_Click();

    void mnuNew_Click();
    void mnuFileLoad_Click();
    void mnuFileSave_Click();
    void mnuFileExit_Click();
    void mnuCompile_Click();
    // Closing the window; setting `cancel` keeps it open.
    void Form_Unload(bool& cancel);

    // The handler that a menu entry names.
    void Choose(const MenuEntry& entry);

    // A read-only look at the glyph table and the editor state.
    class State {
    public:
        explicit State(const Editor& editor) : editor_(editor) {}
        [[nodiscard]] const FontSet& fontSet() const { return editor_.fontSet; }
        [[nodiscard]] const NativeString& appDir() const { return editor_.appDir; }
        [[nodiscard]] std::int16_t currentChar() const { return editor_.currentChar; }
        [[nodiscard]] const std::filesystem::path& currentFileName() const {
            return editor_.currentFileName;
        }
        [[nodiscard]] bool haveFileName() const { return editor_.haveFileName; }

    private:
        const Editor& editor_;
    };
    [[nodiscard]] State state() const { return State(*this); }

private:
    // Runs `handler` under the failure policy; `message` makes the box's text of the cause.
    bool runGuarded(const std::function<void()>& handler,
                    const std::function<std::string(const std::string&)>& message);
    [[nodiscard]] std::string startFailure(const std::string& cause);
    void end(int exitStatus);
    // Selects a character code 0..255 and shows it; every navigation command ends here.
    void selectCharacter(int code);
    void askForCharacter();
    // The one place the file state changes: the path last loaded or saved, and whether
    // Save may write to it without asking.
    void setCurrentFile(const std::filesystem::path& fileName, bool chosen);
    // A file in the program folder, its path built from the folder's own bytes.
    [[nodiscard]] std::filesystem::path inAppDir(std::string_view name) const;
    // The save prompt of New Set, Load and Exit; false when the set the user asked to
    // keep could not be saved, and the command must stop.
    bool savePrompt(const std::string& title);
    void prepareFileDialog();
    // Save; false when a save that was not cancelled failed.
    bool save();
    void showFailure(const std::string& what, const std::exception& error);
    void LoadFontSet(const std::filesystem::path& path);
    void SaveFontSet();

    EditorView& view_;
    Platform& platform_;

    // The glyph table and the editor state.
    FontSet fontSet;
    NativeString appDir; // the program folder, ending in its separator
    std::int16_t currentChar = 0;
    std::filesystem::path currentFileName;
    bool haveFileName = false;
    CommonDialog CommonDialog1;
    bool ended_ = false;
};

} // namespace korvalin
