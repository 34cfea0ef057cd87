// New Set, Load, Save, Exit and closing, with their save prompts, on the core.
#include "EditorFixture.h"

#include <cerrno>
#include <system_error>

namespace korvalin {
namespace {

using test::contains;
using test::readFile;
using test::TempDir;

constexpr MsgBoxAnswer Yes = MsgBoxAnswer::Yes;
constexpr MsgBoxAnswer No = MsgBoxAnswer::No;

enum class Command { New, Load, Exit, Close };

class FileCommands : public test::EditorTest {
protected:
    // Runs a command that leaves the set; returns whether the window may close.
    bool run(Command command) {
        bool cancel = false;
        switch (command) {
        case Command::New:
            editor->mnuNew_Click();
            return false;
        case Command::Load:
            editor->mnuFileLoad_Click();
            return false;
        case Command::Exit:
            editor->mnuFileExit_Click();
            return false;
        case Command::Close:
            editor->Form_Unload(cancel);
            break;
        }
        return !cancel;
    }

    // A font set file of all-paper glyphs in a folder of the user's.
    std::filesystem::path paperFile(const std::string& name = "paper.8xfont") {
        WriteFontSetFile(fonts / name, test::paperSet());
        return fonts / name;
    }

    // Loads `path` through the Load command, answering No to its prompt.
    void load(const std::filesystem::path& path) {
        platform.messageAnswers.push_back(No);
        platform.fileChoices.push_back(path);
        editor->mnuFileLoad_Click();
    }

    // A cell the user drew, so a replaced set shows.
    void draw() { editor->pixel_Click(0); }

    TempDir fonts;
};

TEST_F(FileCommands, SaveAsksForAFileOnceThenWritesAtOnce) {
    draw();
    platform.fileChoices = {fonts / "mine.8xfont"};
    editor->mnuFileSave_Click();
    ASSERT_EQ(platform.fileDialogs.size(), 1u);
    const FileDialogRequest& request = platform.fileDialogs[0];
    EXPECT_EQ(request.kind, FileDialogKind::Save);
    EXPECT_EQ(request.filter, "Korvalin Fonts|*.8xfont");
    EXPECT_EQ(request.flags.toInt(), 6);
    EXPECT_TRUE(state().haveFileName());
    EXPECT_EQ(state().currentFileName(), (fonts / "mine.8xfont"));
    EXPECT_EQ(readFile(fonts / "mine.8xfont"), FontSetText(state().fontSet()));

    editor->pixel_Click(1);
    editor->mnuFileSave_Click();
    EXPECT_EQ(platform.fileDialogs.size(), 1u) << "no second dialog";
    EXPECT_EQ(readFile(fonts / "mine.8xfont"), FontSetText(state().fontSet()));
    EXPECT_TRUE(platform.messages.empty());
}

TEST_F(FileCommands, CancelledSaveDialogChangesNothing) {
    platform.fileChoices = {std::nullopt};
    editor->mnuFileSave_Click();
    EXPECT_FALSE(state().haveFileName());
    EXPECT_TRUE(state().currentFileName().empty());
    EXPECT_TRUE(platform.messages.empty());
    EXPECT_EQ(programFiles(), std::vector<std::string>{"default.8xfont"});
}

TEST_F(FileCommands, LoadReadsTheSetAndShowsCharacterZero) {
    const std::filesystem::path path = paperFile();
    select(65);
    load(path);
    EXPECT_EQ(platform.messages.at(0).prompt, "Save current font set?");
    EXPECT_EQ(platform.messages.at(0).title, "Open new font set");
    EXPECT_EQ(platform.fileDialogs.at(0).kind, FileDialogKind::Open);
    EXPECT_EQ(platform.fileDialogs.at(0).filter, "Korvalin Fonts|*.8xfont");
    EXPECT_EQ(state().currentChar(), 0);
    EXPECT_EQ(view.status, "Currently editing character: 0");
    EXPECT_EQ(state().currentFileName(), path);
    EXPECT_TRUE(state().haveFileName());
    EXPECT_EQ(pixelColors(), std::vector<OleColor>(35, kWhite));

    // Save now writes back to the loaded file, and the dialogs offer it again.
    draw();
    editor->mnuFileSave_Click();
    FontSet saved;
    ReadFontSetFile(path, saved);
    EXPECT_EQ(saved, state().fontSet());
    platform.messageAnswers = {No};
    platform.fileChoices = {std::nullopt};
    editor->mnuFileLoad_Click();
    EXPECT_EQ(platform.fileDialogs.back().fileName, path);
}

TEST_F(FileCommands, FailedLoadNamesTheFileAndChangesNothing) {
    const std::filesystem::path good = paperFile();
    load(good);
    select(65);
    draw();
    const FontSet before = state().fontSet();
    const auto colours = pixelColors();

    test::writeFile(fonts / "short.8xfont", " 0 \r\n 255 \r\n");
    const std::pair<std::string, std::string> failures[] = {
        {"short.8xfont", "ends after 2 values; 8960 needed"},
        {"missing.8xfont", std::generic_category().message(ENOENT)}};
    for (const auto& [name, cause] : failures) {
        platform.messages.clear();
        platform.messageAnswers = {No, MsgBoxAnswer::Ok};
        platform.fileChoices = {fonts / name};
        editor->mnuFileLoad_Click();
        ASSERT_EQ(platform.messages.size(), 2u) << "the prompt, then the failure";
        const std::string& message = platform.messages[1].prompt;
        EXPECT_TRUE(contains(message, (fonts / name).string())) << message;
        EXPECT_TRUE(contains(message, cause)) << message;
        EXPECT_EQ(platform.messages[1].style.toInt(), 16) << "OK only, critical";
        EXPECT_EQ(state().fontSet(), before);
        EXPECT_EQ(state().currentChar(), 65);
        EXPECT_EQ(pixelColors(), colours);
        EXPECT_EQ(view.status, "Currently editing character: 65");
        EXPECT_EQ(state().currentFileName(), good) << "a later Save must not hit the bad file";
        EXPECT_TRUE(state().haveFileName());
    }
}

TEST_F(FileCommands, NewSetKeepsThePathButForgetsTheChoice) {
    const std::filesystem::path path = paperFile();
    load(path);
    select(65);
    platform.messageAnswers = {No};
    editor->mnuNew_Click();
    EXPECT_EQ(platform.messages.back().title, "New Font Set");
    EXPECT_EQ(state().fontSet(), test::testDefaultSet());
    EXPECT_EQ(state().currentChar(), 0);
    EXPECT_FALSE(state().haveFileName());
    EXPECT_EQ(state().currentFileName(), path);

    platform.fileChoices = {std::nullopt};
    editor->mnuFileSave_Click();
    EXPECT_EQ(platform.fileDialogs.size(), 2u) << "Save asks again after New Set";
}

TEST_F(FileCommands, NewSetWithoutADefaultSetKeepsTheCurrentOne) {
    select(9);
    draw();
    const FontSet before = state().fontSet();
    std::filesystem::remove(dir / "default.8xfont");
    platform.messageAnswers = {No, MsgBoxAnswer::Ok};
    editor->mnuNew_Click();
    ASSERT_EQ(platform.messages.size(), 2u);
    EXPECT_TRUE(contains(platform.messages[1].prompt, "default.8xfont"));
    EXPECT_TRUE(contains(platform.messages[1].prompt, std::generic_category().message(ENOENT)));
    EXPECT_EQ(state().fontSet(), before);
    EXPECT_EQ(state().currentChar(), 9);
    EXPECT_TRUE(view.ends.empty());
}

struct PromptPath {
    const char* name;
    Command command;
    MsgBoxAnswer answer;
    bool haveFile;          // a file was chosen before
    bool saveDialogChooses; // when the prompt's Save asks for a file
};

class SavePrompts : public FileCommands, public testing::WithParamInterface<PromptPath> {};

// Each command asks once, saves on Yes (through the dialog when no file is chosen) and
// then goes on, whatever the answer or the dialog.
TEST_P(SavePrompts, AskSaveAndGoOn) {
    const PromptPath& path = GetParam();
    const std::filesystem::path chosen = paperFile("chosen.8xfont");
    if (path.haveFile)
        load(chosen);
    const std::string before = readFile(chosen);
    draw();
    const FontSet drawnSet = state().fontSet();
    platform.messages.clear();
    platform.fileDialogs.clear();

    platform.messageAnswers = {path.answer};
    const bool dialogExpected = path.answer == Yes && !path.haveFile;
    if (dialogExpected)
        platform.fileChoices.push_back(path.saveDialogChooses ? std::optional(fonts / "new.8xfont")
                                                              : std::nullopt);
    if (path.command == Command::Load)
        platform.fileChoices.push_back(std::nullopt);

    EXPECT_EQ(run(path.command), path.command == Command::Close);

    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(platform.messages[0].prompt, "Save current font set?");
    EXPECT_EQ(platform.messages[0].style.toInt(), 4) << "Yes and No, no icon";
    EXPECT_TRUE(platform.allAnswersUsed());

    const bool savedToChosen = path.answer == Yes && path.haveFile;
    const bool savedToNew = dialogExpected && path.saveDialogChooses;
    EXPECT_EQ(readFile(chosen) != before, savedToChosen);
    EXPECT_EQ(std::filesystem::exists(fonts / "new.8xfont"), savedToNew);
    if (savedToChosen || savedToNew) {
        EXPECT_EQ(readFile(savedToNew ? fonts / "new.8xfont" : chosen), FontSetText(drawnSet));
    }

    switch (path.command) {
    case Command::New:
        EXPECT_EQ(platform.messages[0].title, "New Font Set");
        EXPECT_EQ(state().fontSet(), test::testDefaultSet());
        break;
    case Command::Load:
        EXPECT_EQ(platform.messages[0].title, "Open new font set");
        EXPECT_EQ(platform.fileDialogs.back().kind, FileDialogKind::Open);
        EXPECT_EQ(state().fontSet(), drawnSet) << "the Open dialog was cancelled";
        break;
    case Command::Exit:
    case Command::Close:
        EXPECT_EQ(platform.messages[0].title, "Exit");
        EXPECT_EQ(view.ends, std::vector<int>{0});
        break;
    }
}

std::vector<PromptPath> promptPaths() {
    std::vector<PromptPath> paths;
    const std::pair<Command, const char*> commands[] = {{Command::New, "New"},
                                                        {Command::Load, "Load"},
                                                        {Command::Exit, "Exit"},
                                                        {Command::Close, "Close"}};
    static std::vector<std::string> names;
    names.reserve(64);
    for (const auto& [command, commandName] : commands) {
        const auto add = [&](MsgBoxAnswer answer, bool haveFile, bool chooses,
                             const std::string& what) {
            names.push_back(std::string(commandName) + "_" + what);
            paths.push_back({names.back().c_str(), command, answer, haveFile, chooses});
        };
        add(No, false, false, "No");
        add(No, true, false, "NoWithFile");
        add(Yes, true, false, "YesWithFile");
        add(Yes, false, true, "YesDialogChooses");
        add(Yes, false, false, "YesDialogCancelled");
    }
    return paths;
}

INSTANTIATE_TEST_SUITE_P(Commands, SavePrompts, testing::ValuesIn(promptPaths()),
                         [](const auto& test) { return std::string(test.param.name); });

class FailedPromptSave : public FileCommands, public testing::WithParamInterface<Command> {};

// The set the user asked to keep could not be saved: the command stops there.
TEST_P(FailedPromptSave, StopsTheCommandAndKeepsTheSet) {
    const std::filesystem::path chosen = paperFile("locked.8xfont");
    load(chosen);
    draw();
    const FontSet drawnSet = state().fontSet();
    const std::string before = readFile(chosen);
    std::filesystem::permissions(chosen, std::filesystem::perms::owner_read);
    platform.messages.clear();
    platform.fileDialogs.clear();
    platform.messageAnswers = {Yes, MsgBoxAnswer::Ok};

    EXPECT_FALSE(run(GetParam())) << "closing is cancelled";
    ASSERT_EQ(platform.messages.size(), 2u);
    EXPECT_TRUE(contains(platform.messages[1].prompt, chosen.string()));
    EXPECT_TRUE(contains(platform.messages[1].prompt, "read-only"));
    EXPECT_EQ(readFile(chosen), before);
    EXPECT_EQ(state().fontSet(), drawnSet);
    EXPECT_TRUE(platform.fileDialogs.empty());
    EXPECT_TRUE(view.ends.empty());

    // The file cannot be written, so the next Save asks where to keep the set.
    EXPECT_FALSE(state().haveFileName());
    platform.fileChoices = {fonts / "kept.8xfont"};
    editor->mnuFileSave_Click();
    ASSERT_EQ(platform.fileDialogs.size(), 1u);
    EXPECT_EQ(platform.fileDialogs[0].kind, FileDialogKind::Save);
    EXPECT_EQ(platform.fileDialogs[0].fileName, chosen);
    EXPECT_EQ(readFile(fonts / "kept.8xfont"), FontSetText(drawnSet));
}

INSTANTIATE_TEST_SUITE_P(Commands, FailedPromptSave,
                         testing::Values(Command::New, Command::Load, Command::Exit,
                                         Command::Close));

TEST_F(FileCommands, FailedSavesReportTheFileAndKeepTheSet) {
    // Through the dialog, into a folder that has gone.
    draw();
    const FontSet drawnSet = state().fontSet();
    platform.fileChoices = {fonts / "gone" / "x.8xfont"};
    platform.messageAnswers = {MsgBoxAnswer::Ok};
    editor->mnuFileSave_Click();
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_TRUE(contains(platform.messages[0].prompt, (fonts / "gone").string()));
    EXPECT_TRUE(contains(platform.messages[0].prompt, "does not exist"));
    EXPECT_EQ(state().currentFileName(), (fonts / "gone" / "x.8xfont"));
    EXPECT_FALSE(state().haveFileName()) << "the next Save asks again";
    EXPECT_EQ(state().fontSet(), drawnSet);
    EXPECT_TRUE(view.ends.empty());
}

} // namespace
} // namespace korvalin
