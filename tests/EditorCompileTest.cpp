// Compile on the core: the image, the script, its launch and what the user hears of it.
// Cases named Posix* run the sh script or plant links, which the Windows run leaves out.
#include "EditorFixture.h"
#include "PackagingScript.h"
#include "ProgramImage.h"
#include "ProgramVariable.h"
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

    void providePacker() const {
        const std::filesystem::path packer = PRGFORGE_PATH;
        std::filesystem::copy_file(packer, dir.path() / packer.filename());
    }

    // The packer's file of the set as it is now.
    void expectProgram(const std::string& name) const {
        const ProgramImage image = BuildProgramImage(state().fontSet());
        const std::vector<std::uint8_t> file = PackProgramVariable(name, image, kPackerComment);
        EXPECT_EQ(readFile(dir / (name + ".8xp")), std::string(file.begin(), file.end()));
#ifndef _WIN32
        EXPECT_EQ(test::readWithTiFiles(dir / (name + ".8xp")).name, name);
#endif
    }

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
#else
    EXPECT_EQ(launch.program, "/bin/sh");
    EXPECT_EQ(launch.arguments, std::vector<NativeString>{"-s"});
    EXPECT_EQ(platform.launches[0].standardInput, scriptFor("Font1"))
        << "the shell reads the script this Compile wrote";
#endif
    EXPECT_TRUE(launch.captureErrorOutput) << "the packer's words come back for the notice";
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

struct RefusedName {
    const char* reply;
    const char* why; // in the message
};

class RefusedProgramNames : public Compile, public testing::WithParamInterface<RefusedName> {};

TEST_P(RefusedProgramNames, SayWhyAndWriteNothing) {
    platform.messageAnswers = {MsgBoxAnswer::Ok};
    compile(GetParam().reply);
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_TRUE(contains(platform.messages[0].prompt, GetParam().why))
        << platform.messages[0].prompt;
    EXPECT_EQ(platform.messages[0].style, MsgBoxStyle::OkOnly | MsgBoxStyle::Exclamation);
    EXPECT_EQ(programFiles(), std::vector<std::string>{"default.8xfont"});
    EXPECT_TRUE(platform.launches.empty());
}

constexpr const char* kRule = "1 to 8 letters (A-Z, a-z) and digits, starting with a letter";

INSTANTIATE_TEST_SUITE_P(Names, RefusedProgramNames,
                         testing::Values(RefusedName{"a&b", kRule}, RefusedName{"../x", kRule},
                                         RefusedName{"my font", kRule}, RefusedName{"1abc", kRule},
                                         RefusedName{"x|rm", kRule}, RefusedName{"%TEMP%", kRule},
                                         RefusedName{"Fönt", kRule}, RefusedName{"a;b", kRule}));

#ifdef _WIN32
// A file named after a device is the device, in every folder and with any extension.
INSTANTIATE_TEST_SUITE_P(
    WindowsDevices, RefusedProgramNames,
    testing::Values(RefusedName{"CON", "is reserved"}, RefusedName{"nul", "is reserved"},
                    RefusedName{"Com1", "is reserved"}, RefusedName{"LPT9", "is reserved"},
                    RefusedName{"aux", "is reserved"}, RefusedName{"PRN", "is reserved"}));
#endif

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

// What a test plants in the program folder before the packer runs.
enum class Planted { Nothing, NoPacker, ReadOnlyProgram, FolderInPlace };

// The packer really runs; how it ends decides whether the user hears of it.
struct PackerRun {
    const char* name;
    Planted planted;
    const char* said; // in the notice; nullptr: no notice
};

class PackerRuns : public Compile, public testing::WithParamInterface<PackerRun> {};

TEST_P(PackerRuns, ShowOneNoticeOnlyWhenThePackerFails) {
    const PackerRun& run = GetParam();
    platform.runLaunches = true;
    if (run.planted != Planted::NoPacker)
        providePacker();
    if (run.planted == Planted::ReadOnlyProgram) {
        test::writeFile(dir / "FONT1.8xp", "old");
        std::filesystem::permissions(dir / "FONT1.8xp", std::filesystem::perms::owner_read);
    } else if (run.planted == Planted::FolderInPlace) {
        std::filesystem::create_directory(dir / "FONT1.8xp");
    }
    compile("FONT1");
    EXPECT_TRUE(platform.notices.empty()) << "the editor does not wait for the script";
    platform.finishLaunches();

    EXPECT_FALSE(std::filesystem::exists(dir / "FONT1.bin"));
    EXPECT_TRUE(platform.messages.empty());
    if (run.said == nullptr) {
        EXPECT_TRUE(platform.notices.empty());
        expectProgram("FONT1");
        return;
    }
    ASSERT_EQ(platform.notices.size(), 1u);
    const std::string& notice = platform.notices[0].first;
    EXPECT_EQ(notice.rfind("The program FONT1 was not made.\n\n", 0), 0u) << notice;
    EXPECT_TRUE(contains(notice, run.said)) << notice;
}

INSTANTIATE_TEST_SUITE_P(
    Packer, PackerRuns,
    testing::Values(
        PackerRun{"Succeeds", Planted::Nothing, nullptr},
        PackerRun{"ReadOnlyProgram", Planted::ReadOnlyProgram, "FONT1.8xp: the file is read-only"},
        PackerRun{"FolderInPlace", Planted::FolderInPlace, "FONT1.8xp: is a folder"},
        PackerRun{"Missing", Planted::NoPacker, "The packer prgforge could not be started"}),
    [](const testing::TestParamInfo<PackerRun>& param) { return std::string(param.param.name); });

#ifndef _WIN32
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
    expectProgram("FONT1");
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
