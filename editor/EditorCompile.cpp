// Compile: the program image and the packaging script beside the editor, then the script,
// watched so that a failure of the packer reaches the user.
#include "Editor.h"
#include "PackagingLaunch.h"
#include "PackagingScript.h"
#include "PathText.h"
#include "ProgramImage.h"
#include "ProgramName.h"

namespace korvalin {

void Editor::mnuCompile_Click() {
    const std::string reply =
        platform_.InputBox("Enter the name of the file (maximum 8 characters):", std::string());
    if (reply.empty())
        return;
    const std::string name = CutProgramName(reply);
    if (const std::string problem = ProgramNameProblem(name); !problem.empty()) {
        platform_.MsgBox(problem, MsgBoxStyle::OkOnly | MsgBoxStyle::Exclamation, std::string());
        return;
    }

    const std::filesystem::path scriptPath = inAppDir(PackagingScriptFileName(kNativeScriptKind));
    const std::filesystem::path image = inAppDir(name + ".bin");
    bool imageWritten = false;
    // A Compile that fails leaves no image behind; the script stays for the next one.
    const auto removeImage = [&] {
        std::error_code ignored;
        if (imageWritten)
            std::filesystem::remove(image, ignored);
    };
    // Success says nothing; a failure tells which program was not made, and why, as the
    // packer's own status and words carried out by the script tell it. The platform
    // outlives every process it watches, the editor need not.
    const auto onEnd = [&platform = platform_, name](const ProcessOutcome& outcome) {
        if (const std::string failure = PackagingFailure(outcome, kNativeScriptKind);
            !failure.empty())
            platform.ShowNotice("The program " + name + " was not made.\n\n" + failure,
                                std::string());
    };
    try {
        WriteProgramImage(image, fontSet);
        imageWritten = true;
        // The script names its files without a folder, so it runs in the program's folder.
        const PackagingLaunch launch(scriptPath, PackagingScript(name, kNativeScriptKind),
                                     std::filesystem::path(appDir));
        platform_.StartProcess(launch.request(), onEnd);
    } catch (const LaunchError& error) {
        removeImage();
        showFailure("The packaging script \"" + PathText(scriptPath) + "\" could not be started.",
                    error);
    } catch (const std::exception& error) {
        removeImage();
        showFailure("The font set was not compiled.", error);
    }
}

} // namespace korvalin
