#pragma once

#include "Editor.h"
#include "FontSetFile.h"
#include "RecordingView.h"
#include "ScriptedPlatform.h"
#include "TempDir.h"
#include "TestSets.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <memory>

namespace korvalin::test {

// The default set of every test editor, whose glyphs all differ from their neighbours.
inline FontSet testDefaultSet() {
    return alternatingSet();
}

inline bool contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

// The program folder as the editor keeps it, with its separator.
inline NativeString appDirOf(const std::filesystem::path& folder) {
    return (folder / "").native();
}

// A started editor whose program folder is a fresh temporary folder.
class EditorTest : public testing::Test {
protected:
    void SetUp() override { start(dir.path()); }

    // Starts a new editor whose program folder, holding the test's default set, is `folder`.
    void start(const std::filesystem::path& folder) {
        WriteFontSetFile(folder / "default.8xfont", testDefaultSet());
        platform.programDirectory = folder;
        editor = std::make_unique<Editor>(view, platform);
        editor->Form_Load();
        view.busyChanges.clear();
    }

    [[nodiscard]] Editor::State state() const { return editor->state(); }

    // Goes to character `code` as the user can: through the number prompt, unrecorded.
    void select(int code) {
        platform.inputReplies.push_back(std::to_string(code));
        editor->mnuSwitchEvenMoreSymbols_Click();
        platform.inputBoxes.pop_back();
    }

    // Puts `set` into the editor as a file would: through Load, answering No to its prompt.
    void loadSet(const FontSet& set) {
        const TempDir folder;
        WriteFontSetFile(folder / "set.8xfont", set);
        platform.messageAnswers.push_back(MsgBoxAnswer::No);
        platform.fileChoices.emplace_back(folder / "set.8xfont");
        editor->mnuFileLoad_Click();
    }

    // Every file in the program folder, by name.
    [[nodiscard]] std::vector<std::string> programFiles() const {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(platform.programDirectory))
            names.push_back(entry.path().filename().string());
        std::ranges::sort(names);
        return names;
    }

    [[nodiscard]] std::vector<OleColor> pixelColors() const {
        return {view.pixel.begin(), view.pixel.end()};
    }

    TempDir dir;
    ScriptedPlatform platform;
    RecordingView view;
    std::unique_ptr<Editor> editor;
};

} // namespace korvalin::test
