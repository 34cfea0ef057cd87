#include "EditorFixture.h"

#include <QTest>
#include <cerrno>
#include <system_error>

namespace korvalin {
namespace {

using test::qpath;
using test::readFile;
using test::TempDir;

constexpr MsgBoxAnswer Yes = MsgBoxAnswer::Yes;
constexpr MsgBoxAnswer No = MsgBoxAnswer::No;

enum class Command { New, Load, Exit, Close };

class FileCommands : public test::EditorTest {
protected:
    // Runs a command that leaves the set; returns whether the window closed.
    bool run(Command command) {
        switch (command) {
        case Command::New:
            form->mnuNew_Click();
            break;
        case Command::Load:
            form->mnuFileLoad_Click();
            break;
        case Command::Exit:
            form->mnuFileExit_Click();
            break;
        case Command::Close:
            return form->close();
        }
        return false;
    }

    // A font set file of all-paper glyphs in a folder of the user's.
    QString paperFile(const std::string& name = "paper.8xfont") {
        WriteFontSetFile(fonts / name, test::paperSet());
        return qpath(fonts / name);
    }

    // Loads `path` through the Load command, answering No to its prompt.
    void load(const QString& path) {
        platform.messageAnswers.push_back(No);
        platform.fileChoices.push_back(path);
        form->mnuFileLoad_Click();
    }

    // A cell the user drew, so a replaced set shows.
    void draw() { form->pixel_Click(0); }
    [[nodiscard]] bool drawn() const { return view().fontSet().cell(view().currentChar(), 0) == 0; }

    TempDir fonts;
};

TEST_F(FileCommands, SaveAsksForAFileOnceThenWritesAtOnce) {
    draw();
    platform.fileChoices = {qpath(fonts / "mine.8xfont")};
    form->mnuFileSave_Click();
    ASSERT_EQ(platform.fileDialogs.size(), 1u);
    const FileDialogRequest& request = platform.fileDialogs[0];
    EXPECT_EQ(request.kind, FileDialogKind::Save);
    EXPECT_EQ(request.filter, "Korvalin Fonts|*.8xfont");
    EXPECT_EQ(request.flags.toInt(), 6);
    EXPECT_TRUE(view().haveFileName());
    EXPECT_EQ(view().currentFileName(), qpath(fonts / "mine.8xfont"));
    EXPECT_EQ(readFile(fonts / "mine.8xfont"), FontSetText(view().fontSet()));

    form->pixel_Click(1);
    form->mnuFileSave_Click();
    EXPECT_EQ(platform.fileDialogs.size(), 1u) << "no second dialog";
    EXPECT_EQ(readFile(fonts / "mine.8xfont"), FontSetText(view().fontSet()));
    EXPECT_TRUE(platform.messages.empty());
}

TEST_F(FileCommands, CancelledSaveDialogChangesNothing) {
    platform.fileChoices = {std::nullopt};
    form->mnuFileSave_Click();
    EXPECT_FALSE(view().haveFileName());
    EXPECT_TRUE(view().currentFileName().isEmpty());
    EXPECT_TRUE(platform.messages.empty());
    EXPECT_EQ(programFiles(), std::vector<std::string>{"default.8xfont"});
}

TEST_F(FileCommands, LoadReadsTheSetAndShowsCharacterZero) {
    const QString path = paperFile();
    form->selectCharacter(65);
    load(path);
    EXPECT_EQ(platform.messages.at(0).prompt, "Save current font set?");
    EXPECT_EQ(platform.messages.at(0).title, "Open new font set");
    EXPECT_EQ(platform.fileDialogs.at(0).kind, FileDialogKind::Open);
    EXPECT_EQ(platform.fileDialogs.at(0).filter, "Korvalin Fonts|*.8xfont");
    EXPECT_EQ(view().currentChar(), 0);
    EXPECT_EQ(lblstatus()->text(), "Currently editing character: 0");
    EXPECT_EQ(view().currentFileName(), path);
    EXPECT_TRUE(view().haveFileName());
    EXPECT_EQ(pixelColors(), std::vector<OleColor>(35, kWhite));

    // Save now writes back to the loaded file, and the dialogs offer it again.
    draw();
    form->mnuFileSave_Click();
    FontSet saved;
    ReadFontSetFile(test::toStdPath(path), saved);
    EXPECT_EQ(saved, view().fontSet());
    platform.messageAnswers = {No};
    platform.fileChoices = {std::nullopt};
    form->mnuFileLoad_Click();
    EXPECT_EQ(platform.fileDialogs.back().fileName, path);
}

TEST_F(FileCommands, FailedLoadNamesTheFileAndChangesNothing) {
    const QString good = paperFile();
    load(good);
    form->selectCharacter(65);
    draw();
    const FontSet before = view().fontSet();
    const auto colours = pixelColors();

    test::writeFile(fonts / "short.8xfont", " 0 \r\n 255 \r\n");
    const std::pair<std::string, QString> failures[] = {
        {"short.8xfont", "ends after 2 values; 8960 needed"},
        {"missing.8xfont", QString::fromStdString(std::generic_category().message(ENOENT))}};
    for (const auto& [name, cause] : failures) {
        platform.messages.clear();
        platform.messageAnswers = {No, MsgBoxAnswer::Ok};
        platform.fileChoices = {qpath(fonts / name)};
        form->mnuFileLoad_Click();
        ASSERT_EQ(platform.messages.size(), 2u) << "the prompt, then the failure";
        const QString message = platform.messages[1].prompt;
        EXPECT_TRUE(message.contains(qpath(fonts / name))) << message.toStdString();
        EXPECT_TRUE(message.contains(cause)) << message.toStdString();
        EXPECT_EQ(platform.messages[1].style.toInt(), 16) << "OK only, critical";
        EXPECT_EQ(view().fontSet(), before);
        EXPECT_EQ(view().currentChar(), 65);
        EXPECT_EQ(pixelColors(), colours);
        EXPECT_EQ(lblstatus()->text(), "Currently editing character: 65");
        EXPECT_EQ(view().currentFileName(), good) << "a later Save must not hit the bad file";
        EXPECT_TRUE(view().haveFileName());
    }
}

TEST_F(FileCommands, NewSetKeepsThePathButForgetsTheChoice) {
    const QString path = paperFile();
    load(path);
    form->selectCharacter(65);
    platform.messageAnswers = {No};
    form->mnuNew_Click();
    EXPECT_EQ(platform.messages.back().title, "New Font Set");
    EXPECT_EQ(view().fontSet(), test::testDefaultSet());
    EXPECT_EQ(view().currentChar(), 0);
    EXPECT_FALSE(view().haveFileName());
    EXPECT_EQ(view().currentFileName(), path);

    platform.fileChoices = {std::nullopt};
    form->mnuFileSave_Click();
    EXPECT_EQ(platform.fileDialogs.size(), 2u) << "Save asks again after New Set";
}

TEST_F(FileCommands, NewSetWithoutADefaultSetKeepsTheCurrentOne) {
    form->selectCharacter(9);
    draw();
    const FontSet before = view().fontSet();
    std::filesystem::remove(dir / "default.8xfont");
    platform.messageAnswers = {No, MsgBoxAnswer::Ok};
    form->mnuNew_Click();
    ASSERT_EQ(platform.messages.size(), 2u);
    EXPECT_TRUE(platform.messages[1].prompt.contains("default.8xfont"));
    EXPECT_TRUE(platform.messages[1].prompt.contains(
        QString::fromStdString(std::generic_category().message(ENOENT))));
    EXPECT_EQ(view().fontSet(), before);
    EXPECT_EQ(view().currentChar(), 9);
    EXPECT_TRUE(platform.ends.empty());
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
    const QString chosen = paperFile("chosen.8xfont");
    if (path.haveFile)
        load(chosen);
    const std::string before = readFile(test::toStdPath(chosen));
    form->show();
    draw();
    const FontSet drawnSet = view().fontSet();
    platform.messages.clear();
    platform.fileDialogs.clear();

    platform.messageAnswers = {path.answer};
    const bool dialogExpected = path.answer == Yes && !path.haveFile;
    if (dialogExpected)
        platform.fileChoices.push_back(
            path.saveDialogChooses ? std::optional(qpath(fonts / "new.8xfont")) : std::nullopt);
    if (path.command == Command::Load)
        platform.fileChoices.push_back(std::nullopt);

    EXPECT_EQ(run(path.command), path.command == Command::Close);

    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(platform.messages[0].prompt, "Save current font set?");
    EXPECT_EQ(platform.messages[0].style.toInt(), 4) << "Yes and No, no icon";
    EXPECT_TRUE(platform.allAnswersUsed());

    const bool savedToChosen = path.answer == Yes && path.haveFile;
    const bool savedToNew = dialogExpected && path.saveDialogChooses;
    EXPECT_EQ(readFile(test::toStdPath(chosen)) != before, savedToChosen);
    EXPECT_EQ(std::filesystem::exists(fonts / "new.8xfont"), savedToNew);
    if (savedToChosen || savedToNew) {
        EXPECT_EQ(readFile(savedToNew ? fonts / "new.8xfont" : test::toStdPath(chosen)),
                  FontSetText(drawnSet));
    }

    switch (path.command) {
    case Command::New:
        EXPECT_EQ(platform.messages[0].title, "New Font Set");
        EXPECT_EQ(view().fontSet(), test::testDefaultSet());
        break;
    case Command::Load:
        EXPECT_EQ(platform.messages[0].title, "Open new font set");
        EXPECT_EQ(platform.fileDialogs.back().kind, FileDialogKind::Open);
        EXPECT_EQ(view().fontSet(), drawnSet) << "the Open dialog was cancelled";
        break;
    case Command::Exit:
    case Command::Close:
        EXPECT_EQ(platform.messages[0].title, "Exit");
        EXPECT_EQ(platform.ends, std::vector<int>{0});
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
    const QString chosen = paperFile("locked.8xfont");
    load(chosen);
    form->show();
    draw();
    const FontSet drawnSet = view().fontSet();
    const std::string before = readFile(test::toStdPath(chosen));
    std::filesystem::permissions(test::toStdPath(chosen), std::filesystem::perms::owner_read);
    platform.messages.clear();
    platform.fileDialogs.clear();
    platform.messageAnswers = {Yes, MsgBoxAnswer::Ok};

    EXPECT_FALSE(run(GetParam())) << "closing is cancelled";
    EXPECT_TRUE(form->isVisible());
    ASSERT_EQ(platform.messages.size(), 2u);
    EXPECT_TRUE(platform.messages[1].prompt.contains(chosen));
    EXPECT_TRUE(platform.messages[1].prompt.contains("read-only"));
    EXPECT_EQ(readFile(test::toStdPath(chosen)), before);
    EXPECT_EQ(view().fontSet(), drawnSet);
    EXPECT_TRUE(platform.fileDialogs.empty());
    EXPECT_TRUE(platform.ends.empty());

    // The file cannot be written, so the next Save asks where to keep the set.
    EXPECT_FALSE(view().haveFileName());
    platform.fileChoices = {qpath(fonts / "kept.8xfont")};
    form->mnuFileSave_Click();
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
    const FontSet drawnSet = view().fontSet();
    platform.fileChoices = {qpath(fonts / "gone" / "x.8xfont")};
    platform.messageAnswers = {MsgBoxAnswer::Ok};
    form->mnuFileSave_Click();
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_TRUE(platform.messages[0].prompt.contains(qpath(fonts / "gone")));
    EXPECT_TRUE(platform.messages[0].prompt.contains("does not exist"));
    EXPECT_EQ(view().currentFileName(), qpath(fonts / "gone" / "x.8xfont"));
    EXPECT_FALSE(view().haveFileName()) << "the next Save asks again";
    EXPECT_EQ(view().fontSet(), drawnSet);
    EXPECT_TRUE(platform.ends.empty());
}

} // namespace
} // namespace korvalin
