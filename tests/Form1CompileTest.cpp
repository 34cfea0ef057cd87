#include "EditorFixture.h"
#include "PackagingScript.h"
#include "ProgramImage.h"
#include "QtPlatform.h"
#include "ScriptWatcher.h"
#include "TiFile.h"

#include <QApplication>
#include <QMessageBox>
#include <QSignalSpy>
#include <QTest>

namespace korvalin {
namespace {

using test::qpath;
using test::readFile;

class Compile : public test::EditorTest {
protected:
    void compile(const QString& reply) {
        platform.inputReplies = {reply};
        form->mnuCompile_Click();
    }

    // Waits, through the event loop, until every script these windows started has ended.
    static void waitForScripts(std::initializer_list<const Form1*> windows) {
        std::vector<std::unique_ptr<QSignalSpy>> spies;
        for (const Form1* window : windows)
            for (ScriptWatcher* watcher : window->findChildren<ScriptWatcher*>())
                spies.push_back(std::make_unique<QSignalSpy>(watcher, &ScriptWatcher::finished));
        ASSERT_FALSE(spies.empty()) << "no script is watched";
        for (const auto& spy : spies) {
            if (spy->empty()) {
                ASSERT_TRUE(spy->wait(10'000)) << "a script did not end within 10 s";
            }
        }
    }

    void providePacker() const { std::filesystem::copy_file(PRGFORGE_PATH, dir / "prgforge"); }

    [[nodiscard]] std::string imageOfTheSet() const {
        const ProgramImage image = BuildProgramImage(view().fontSet());
        return {image.begin(), image.end()};
    }
};

TEST_F(Compile, WritesTheImageAndScriptAndStartsItInTheProgramFolder) {
    form->selectCharacter(65);
    form->pixel_Click(0); // an unsaved edit goes into the image
    const FontSet edited = view().fontSet();
    compile("Font1");

    ASSERT_EQ(platform.inputBoxes.size(), 1u);
    EXPECT_EQ(platform.inputBoxes[0].first, "Enter the name of the file (maximum 8 characters):");
    EXPECT_EQ(platform.inputBoxes[0].second, "") << "the box bears the application's title";
    EXPECT_EQ(programFiles(), (std::vector<std::string>{"Font1.bin", "default.8xfont", "temp.sh"}));
    EXPECT_EQ(readFile(dir / "Font1.bin"), imageOfTheSet());
    EXPECT_EQ(readFile(dir / "temp.sh"), PackagingScript("Font1", ScriptKind::Posix));

    ASSERT_EQ(platform.launches.size(), 1u);
    const LaunchRequest& launch = platform.launches[0].request;
    EXPECT_EQ(launch.program, "/bin/sh");
    EXPECT_EQ(launch.arguments, std::vector<NativeString>{"-s"});
    EXPECT_EQ(platform.launches[0].standardInput, PackagingScript("Font1", ScriptKind::Posix))
        << "the shell reads the script this Compile wrote";
    EXPECT_EQ(launch.workingDirectory, std::filesystem::path(view().appDir()));
    EXPECT_EQ(launch.windowStyle, WindowStyle::ShowNoActivate);
    EXPECT_TRUE(launch.captureErrorOutput);
    waitForScripts({form.get()});
    EXPECT_TRUE(platform.messages.empty()) << "success is not reported";
    EXPECT_TRUE(platform.notices.empty());

    EXPECT_EQ(view().fontSet(), edited);
    EXPECT_EQ(view().currentChar(), 65);
    EXPECT_FALSE(view().haveFileName());
    EXPECT_TRUE(view().currentFileName().isEmpty());
}

TEST_F(Compile, CutsTheNameToEightCharactersAndReplacesAnEarlierScript) {
    compile("ABCDEFGHIJ");
    EXPECT_EQ(readFile(dir / "temp.sh"), PackagingScript("ABCDEFGH", ScriptKind::Posix));
    compile("AB");
    EXPECT_EQ(readFile(dir / "temp.sh"), PackagingScript("AB", ScriptKind::Posix));
    EXPECT_EQ(programFiles(),
              (std::vector<std::string>{"AB.bin", "ABCDEFGH.bin", "default.8xfont", "temp.sh"}));
    EXPECT_EQ(platform.launches.size(), 2u);
}

TEST_F(Compile, EmptyReplyOrCancelEndsQuietly) {
    compile("");
    EXPECT_EQ(programFiles(), std::vector<std::string>{"default.8xfont"});
    EXPECT_TRUE(platform.launches.empty());
    EXPECT_TRUE(platform.messages.empty());
}

class RefusedProgramNames : public Compile, public testing::WithParamInterface<const char*> {};

TEST_P(RefusedProgramNames, SayWhichNamesAreAllowedAndWriteNothing) {
    platform.messageAnswers = {MsgBoxAnswer::Ok};
    compile(QString::fromUtf8(GetParam()));
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_TRUE(platform.messages[0].prompt.contains(
        "1 to 8 letters (A-Z, a-z) and digits, starting with a letter"));
    EXPECT_EQ(programFiles(), std::vector<std::string>{"default.8xfont"});
    EXPECT_TRUE(platform.launches.empty());
}

INSTANTIATE_TEST_SUITE_P(Names, RefusedProgramNames,
                         testing::Values("a&b", "../x", "my font", "1abc", "x|rm", "%TEMP%", "Fönt",
                                         "a;b"));

TEST_F(Compile, FailuresAreReportedAndChangeNothing) {
    // The image cannot be written: a folder stands in its place.
    std::filesystem::create_directory(dir / "FONT1.bin");
    platform.messageAnswers = {MsgBoxAnswer::Ok};
    compile("FONT1");
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_TRUE(platform.messages[0].prompt.contains("FONT1.bin: is a folder"));
    EXPECT_TRUE(platform.launches.empty());
    EXPECT_FALSE(std::filesystem::exists(dir / "temp.sh"));

    // The script cannot be started.
    platform.launchSucceeds = false;
    platform.messageAnswers = {MsgBoxAnswer::Ok};
    compile("FONT2");
    ASSERT_EQ(platform.messages.size(), 2u);
    EXPECT_TRUE(platform.messages[1].prompt.contains("temp.sh"));
    EXPECT_TRUE(platform.messages[1].prompt.contains("could not be started"));
    EXPECT_TRUE(platform.messages[1].prompt.contains("refused by the test")) << "with its cause";
    EXPECT_EQ(view().fontSet(), test::testDefaultSet());
    EXPECT_TRUE(std::filesystem::is_directory(dir / "FONT1.bin")) << "what it did not write stays";
}

// A step that fails after the image was written takes the image away again.
enum class FailingStep { ReadOnlyScript, RefusedLaunch };

class FailedCompiles : public Compile, public testing::WithParamInterface<FailingStep> {};

TEST_P(FailedCompiles, LeaveNoImageBehind) {
    if (GetParam() == FailingStep::ReadOnlyScript) {
        test::writeFile(dir / "temp.sh", "kept");
        std::filesystem::permissions(dir / "temp.sh", std::filesystem::perms::owner_read);
    } else {
        platform.launchSucceeds = false;
    }
    platform.messageAnswers = {MsgBoxAnswer::Ok};
    compile("FONT1");
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(platform.messages[0].style, MsgBoxStyle::OkOnly | MsgBoxStyle::Critical);
    EXPECT_EQ(programFiles(), (std::vector<std::string>{"default.8xfont", "temp.sh"}));
    EXPECT_TRUE(platform.notices.empty());
}

INSTANTIATE_TEST_SUITE_P(Steps, FailedCompiles,
                         testing::Values(FailingStep::ReadOnlyScript, FailingStep::RefusedLaunch));

// The packer really runs; how it ends decides whether the user hears of it.
struct PackerRun {
    const char* name;
    bool withPacker;
    bool readOnlyProgram;
    const char* packerLine; // in the notice; nullptr: no notice
};

class PackerRuns : public Compile, public testing::WithParamInterface<PackerRun> {};

TEST_P(PackerRuns, ShowOneNoticeOnlyWhenThePackerFails) {
    const PackerRun& run = GetParam();
    platform.runLaunches = true;
    if (run.withPacker)
        providePacker();
    if (run.readOnlyProgram) {
        test::writeFile(dir / "FONT1.8xp", "old");
        std::filesystem::permissions(dir / "FONT1.8xp", std::filesystem::perms::owner_read);
    }
    compile("FONT1");
    EXPECT_TRUE(platform.notices.empty()) << "the editor does not wait for the script";
    waitForScripts({form.get()});

    EXPECT_FALSE(std::filesystem::exists(dir / "FONT1.bin"));
    EXPECT_TRUE(platform.messages.empty());
    if (run.packerLine == nullptr) {
        EXPECT_TRUE(platform.notices.empty());
        ASSERT_TRUE(std::filesystem::exists(dir / "FONT1.8xp"));
        EXPECT_EQ(test::readWithTiFiles(dir / "FONT1.8xp").name, "FONT1");
        return;
    }
    ASSERT_EQ(platform.notices.size(), 1u);
    const QString& notice = platform.notices[0].first;
    EXPECT_TRUE(notice.contains("FONT1")) << notice.toStdString();
    EXPECT_TRUE(notice.contains(run.packerLine)) << notice.toStdString();
}

INSTANTIATE_TEST_SUITE_P(Packer, PackerRuns,
                         testing::Values(PackerRun{"Succeeds", true, false, nullptr},
                                         PackerRun{"ReadOnlyProgram", true, true,
                                                   "prgforge: ./FONT1.8xp: the file is read-only"},
                                         PackerRun{"Missing", false, false, "./prgforge: "}),
                         [](const testing::TestParamInfo<PackerRun>& param) {
                             return std::string(param.param.name);
                         });

// Someone planted a link in the program folder where Compile writes, pointing outside it.
struct PlantedLink {
    const char* name;
    bool dangling; // the file it names does not exist
};

class PlantedLinks : public Compile, public testing::WithParamInterface<PlantedLink> {};

TEST_P(PlantedLinks, AreReplacedAndWhatTheyNameStaysUntouched) {
    const test::TempDir outside;
    const std::filesystem::path named = outside / "named";
    if (!GetParam().dangling)
        test::writeFile(named, "the user's own file");
    std::filesystem::create_symlink(named, dir / GetParam().name);
    platform.runLaunches = true;
    providePacker();
    compile("FONT1");
    waitForScripts({form.get()});

    EXPECT_TRUE(platform.notices.empty());
    if (GetParam().dangling)
        EXPECT_FALSE(std::filesystem::exists(std::filesystem::symlink_status(named)));
    else
        EXPECT_EQ(readFile(named), "the user's own file");
    const auto isPlainFile = [&](const char* name) {
        return std::filesystem::is_regular_file(std::filesystem::symlink_status(dir / name));
    };
    EXPECT_TRUE(isPlainFile("temp.sh"));
    EXPECT_EQ(readFile(dir / "temp.sh"), PackagingScript("FONT1", ScriptKind::Posix));
    ASSERT_TRUE(isPlainFile("FONT1.8xp"));
    EXPECT_EQ(test::readWithTiFiles(dir / "FONT1.8xp").name, "FONT1");
    EXPECT_FALSE(std::filesystem::exists(std::filesystem::symlink_status(dir / "FONT1.bin")));
}

INSTANTIATE_TEST_SUITE_P(
    Files, PlantedLinks,
    testing::Values(PlantedLink{"temp.sh", false}, PlantedLink{"FONT1.bin", false},
                    PlantedLink{"FONT1.8xp", false}, PlantedLink{"temp.sh", true},
                    PlantedLink{"FONT1.bin", true}, PlantedLink{"FONT1.8xp", true}),
    [](const testing::TestParamInfo<PlantedLink>& param) {
        std::string name = std::string(param.param.name) + (param.param.dangling ? "Dangling" : "");
        std::erase(name, '.');
        return name;
    });

// Two editors on one program folder: the second writes temp.sh before the first's shell
// starts, and each still makes its own program.
TEST_F(Compile, TwoEditorsCompilingAtOnceEachMakeTheirOwnProgram) {
    providePacker();
    platform.holdLaunches = true;
    Form1 other(platform);
    other.Form_Load();
    compile("FONTA");
    platform.inputReplies = {"FONTB"};
    other.mnuCompile_Click();
    ASSERT_EQ(readFile(dir / "temp.sh"), PackagingScript("FONTB", ScriptKind::Posix));

    platform.release(0);
    platform.release(1);
    waitForScripts({form.get(), &other});
    EXPECT_TRUE(platform.notices.empty());
    EXPECT_EQ(programFiles(), (std::vector<std::string>{"FONTA.8xp", "FONTB.8xp", "default.8xfont",
                                                        "prgforge", "temp.sh"}));
    for (const char* name : {"FONTA", "FONTB"}) {
        if (std::filesystem::exists(dir / (std::string(name) + ".8xp"))) {
            EXPECT_EQ(test::readWithTiFiles(dir / (std::string(name) + ".8xp")).name, name);
        }
    }
}

TEST(QtPlatformNotice, ShowsWithoutHoldingUpTheEditor) {
    QtPlatform platform;
    platform.ShowNotice(QStringLiteral("The program FONT1 was not made."), QString());
    QMessageBox* shown = nullptr;
    for (QWidget* window : QApplication::topLevelWidgets())
        if (auto* box = qobject_cast<QMessageBox*>(window); box && box->isVisible())
            shown = box;
    ASSERT_NE(shown, nullptr) << "the notice is on screen once the call returns";
    EXPECT_EQ(shown->windowModality(), Qt::NonModal);
    EXPECT_TRUE(shown->testAttribute(Qt::WA_ShowWithoutActivating)) << "the editor keeps the keys";
    EXPECT_EQ(shown->text(), "The program FONT1 was not made.");
    EXPECT_EQ(shown->windowTitle(), kApplicationTitle);
    shown->close();
}

} // namespace
} // namespace korvalin
