// Compile on the core: the image, the script, its launch and what the user hears of it.
// Cases named Posix* run the sh script or plant links, which the Windows run leaves out.
#include "EditorFixture.h"
#include "PackagingScript.h"
#include "ProgramImage.h"
#ifndef _WIN32
#include "TiFile.h"
#endif

namespace korvalin {
namespace {

using test::contains;
using test::readFile;

const std::string kScript(PackagingScriptFileName(kNativeScriptKind));

std::string scriptFor(std::string_view name) {
    return PackagingScript(name, kNativeScriptKind);
}

class Compile : public test::EditorTest {
protected:
    void compile(const std::string& reply) {
        platform.inputReplies = {reply};
        editor->mnuCompile_Click();
    }

    void providePacker() const { std::filesystem::copy_file(PRGFORGE_PATH, dir / "prgforge"); }

    [[nodiscard]] std::string imageOfTheSet() const {
        const ProgramImage image = BuildProgramImage(state().fontSet());
        return {image.begin(), image.end()};
    }
};

TEST_F(Compile, WritesTheImageAndScriptAndStartsItInTheProgramFolder) {
    editor->mnuSwitchUppercaseLetters_Click(65);
    editor->pixel_Click(0); // an unsaved edit goes into the image
    const FontSet edited = state().fontSet();
    compile("Font1");

    ASSERT_EQ(platform.inputBoxes.size(), 1u);
    EXPECT_EQ(platform.inputBoxes[0].first, "Enter the name of the file (maximum 8 characters):");
    EXPECT_EQ(platform.inputBoxes[0].second, "") << "the box bears the application's title";
    EXPECT_EQ(programFiles(), (std::vector<std::string>{"Font1.bin", "default.8xfont", kScript}));
    EXPECT_EQ(readFile(dir / "Font1.bin"), imageOfTheSet());
    EXPECT_EQ(readFile(dir / kScript), scriptFor("Font1"));

    ASSERT_EQ(platform.launches.size(), 1u);
    const LaunchRequest& launch = platform.launches[0].request;
#ifdef _WIN32
    EXPECT_EQ(launch.program, dir / kScript);
    EXPECT_TRUE(launch.arguments.empty());
    EXPECT_FALSE(launch.captureErrorOutput);
#else
    EXPECT_EQ(launch.program, "/bin/sh");
    EXPECT_EQ(launch.arguments, std::vector<NativeString>{"-s"});
    EXPECT_EQ(platform.launches[0].standardInput, scriptFor("Font1"))
        << "the shell reads the script this Compile wrote";
    EXPECT_TRUE(launch.captureErrorOutput);
#endif
    EXPECT_EQ(launch.workingDirectory, std::filesystem::path(state().appDir()));
    EXPECT_EQ(launch.windowStyle, WindowStyle::ShowNoActivate);
    platform.finishLaunches();
    EXPECT_TRUE(platform.messages.empty()) << "success is not reported";
    EXPECT_TRUE(platform.notices.empty());

    EXPECT_EQ(state().fontSet(), edited);
    EXPECT_EQ(state().currentChar(), 65);
    EXPECT_FALSE(state().haveFileName());
    EXPECT_TRUE(state().currentFileName().empty());
}

TEST_F(Compile, CutsTheNameToEightCharactersAndReplacesAnEarlierScript) {
    compile("ABCDEFGHIJ");
    EXPECT_EQ(readFile(dir / kScript), scriptFor("ABCDEFGH"));
    compile("AB");
    EXPECT_EQ(readFile(dir / kScript), scriptFor("AB"));
    EXPECT_EQ(programFiles(),
              (std::vector<std::string>{"AB.bin", "ABCDEFGH.bin", "default.8xfont", kScript}));
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
    compile(GetParam());
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_TRUE(contains(platform.messages[0].prompt,
                         "1 to 8 letters (A-Z, a-z) and digits, starting with a letter"));
    EXPECT_EQ(platform.messages[0].style, MsgBoxStyle::OkOnly | MsgBoxStyle::Exclamation);
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
    EXPECT_TRUE(contains(platform.messages[0].prompt, "The font set was not compiled."));
    EXPECT_TRUE(contains(platform.messages[0].prompt, "FONT1.bin: is a folder"));
    EXPECT_TRUE(platform.launches.empty());
    EXPECT_FALSE(std::filesystem::exists(dir / kScript));

    // The script cannot be started.
    platform.launchSucceeds = false;
    platform.messageAnswers = {MsgBoxAnswer::Ok};
    compile("FONT2");
    ASSERT_EQ(platform.messages.size(), 2u);
    EXPECT_TRUE(contains(platform.messages[1].prompt, "The packaging script \"" +
                                                          (dir / kScript).string() +
                                                          "\" could not be started."));
    EXPECT_TRUE(contains(platform.messages[1].prompt, "refused by the test")) << "with its cause";
    EXPECT_EQ(state().fontSet(), test::testDefaultSet());
    EXPECT_TRUE(std::filesystem::is_directory(dir / "FONT1.bin")) << "what it did not write stays";
}

// A step that fails after the image was written takes the image away again.
enum class FailingStep { ReadOnlyScript, RefusedLaunch };

class FailedCompiles : public Compile, public testing::WithParamInterface<FailingStep> {};

TEST_P(FailedCompiles, LeaveNoImageBehind) {
    if (GetParam() == FailingStep::ReadOnlyScript) {
        test::writeFile(dir / kScript, "kept");
        std::filesystem::permissions(dir / kScript, std::filesystem::perms::owner_read);
    } else {
        platform.launchSucceeds = false;
    }
    platform.messageAnswers = {MsgBoxAnswer::Ok};
    compile("FONT1");
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(platform.messages[0].style, MsgBoxStyle::OkOnly | MsgBoxStyle::Critical);
    EXPECT_EQ(programFiles(), (std::vector<std::string>{"default.8xfont", kScript}));
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

// A launch that is not started for real ends as the test says; the user hears of it only
// once it has ended, and only when it failed.
struct FakeEnd {
    const char* name;
    ProcessOutcome outcome;
    const char* notice; // nullptr: none
};

class FakeEnds : public Compile, public testing::WithParamInterface<FakeEnd> {};

TEST_P(FakeEnds, ReachTheUserAsOneNotice) {
    platform.fakeOutcome = GetParam().outcome;
    compile("FONT1");
    EXPECT_TRUE(platform.notices.empty()) << "the editor does not wait for the script";
    platform.finishLaunches();
    EXPECT_TRUE(platform.messages.empty());
    if (GetParam().notice == nullptr) {
        EXPECT_TRUE(platform.notices.empty());
        return;
    }
    ASSERT_EQ(platform.notices.size(), 1u);
    EXPECT_EQ(platform.notices[0].first, GetParam().notice);
    EXPECT_EQ(platform.notices[0].second, "") << "the box bears the application's title";
}

INSTANTIATE_TEST_SUITE_P(
    Outcomes, FakeEnds,
    testing::Values(FakeEnd{"Succeeded", {0, ""}, nullptr},
                    FakeEnd{"Status",
                            {3, ""},
                            "The program FONT1 was not made.\n\n"
                            "The packaging script ended with status 3."},
                    FakeEnd{
                        "ErrorLine",
                        {1, "prgforge: FONT1.bin: no such file"},
                        "The program FONT1 was not made.\n\nprgforge: FONT1.bin: no such file"}),
    [](const auto& test) { return std::string(test.param.name); });

#ifndef _WIN32
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
    platform.finishLaunches();

    EXPECT_FALSE(std::filesystem::exists(dir / "FONT1.bin"));
    EXPECT_TRUE(platform.messages.empty());
    if (run.packerLine == nullptr) {
        EXPECT_TRUE(platform.notices.empty());
        ASSERT_TRUE(std::filesystem::exists(dir / "FONT1.8xp"));
        EXPECT_EQ(test::readWithTiFiles(dir / "FONT1.8xp").name, "FONT1");
        return;
    }
    ASSERT_EQ(platform.notices.size(), 1u);
    const std::string& notice = platform.notices[0].first;
    EXPECT_TRUE(contains(notice, "The program FONT1 was not made.")) << notice;
    EXPECT_TRUE(contains(notice, run.packerLine)) << notice;
}

INSTANTIATE_TEST_SUITE_P(PosixPacker, PackerRuns,
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
    platform.finishLaunches();

    EXPECT_TRUE(platform.notices.empty());
    if (GetParam().dangling)
        EXPECT_FALSE(std::filesystem::exists(std::filesystem::symlink_status(named)));
    else
        EXPECT_EQ(readFile(named), "the user's own file");
    const auto isPlainFile = [&](const char* name) {
        return std::filesystem::is_regular_file(std::filesystem::symlink_status(dir / name));
    };
    EXPECT_TRUE(isPlainFile("temp.sh"));
    EXPECT_EQ(readFile(dir / kScript), scriptFor("FONT1"));
    ASSERT_TRUE(isPlainFile("FONT1.8xp"));
    EXPECT_EQ(test::readWithTiFiles(dir / "FONT1.8xp").name, "FONT1");
    EXPECT_FALSE(std::filesystem::exists(std::filesystem::symlink_status(dir / "FONT1.bin")));
}

INSTANTIATE_TEST_SUITE_P(
    PosixFiles, PlantedLinks,
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
TEST_F(Compile, PosixTwoEditorsCompilingAtOnceEachMakeTheirOwnProgram) {
    providePacker();
    platform.holdLaunches = true;
    test::RecordingView otherView;
    Editor other(otherView, platform);
    other.Form_Load();
    compile("FONTA");
    platform.inputReplies = {"FONTB"};
    other.mnuCompile_Click();
    ASSERT_EQ(readFile(dir / kScript), scriptFor("FONTB"));

    platform.release(0);
    platform.release(1);
    platform.finishLaunches();
    EXPECT_TRUE(platform.notices.empty());
    EXPECT_EQ(programFiles(), (std::vector<std::string>{"FONTA.8xp", "FONTB.8xp", "default.8xfont",
                                                        "prgforge", "temp.sh"}));
    for (const char* name : {"FONTA", "FONTB"}) {
        if (std::filesystem::exists(dir / (std::string(name) + ".8xp"))) {
            EXPECT_EQ(test::readWithTiFiles(dir / (std::string(name) + ".8xp")).name, name);
        }
    }
}

#endif

} // namespace
} // namespace korvalin
