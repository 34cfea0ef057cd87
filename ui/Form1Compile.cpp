// Compile: the program image and the packaging script beside the editor, then the script,
// watched so that a failure of the packer reaches the user.
#include "Form1.h"
#include "PackagingLaunch.h"
#include "PackagingScript.h"
#include "ProgramImage.h"
#include "ProgramName.h"
#include "QtCompat.h"
#include "ScriptWatcher.h"

namespace korvalin {

namespace {

QString failureNotice(const QString& name, const ProcessOutcome& outcome) {
    const QString cause =
        outcome.lastErrorLine.empty()
            ? QStringLiteral("The packaging script ended with status %1.").arg(outcome.exitStatus)
            : fromCore(outcome.lastErrorLine.c_str());
    return QStringLiteral("The program %1 was not made.\n\n%2").arg(name, cause);
}

} // namespace

void Form1::mnuCompile_Click() {
    const QString reply = platform_.InputBox(
        QStringLiteral("Enter the name of the file (maximum 8 characters):"), QString());
    if (reply.isEmpty())
        return;
    const std::string name = CutProgramName(reply.toStdString());
    if (const std::string problem = ProgramNameProblem(name); !problem.empty()) {
        platform_.MsgBox(QString::fromStdString(problem),
                         MsgBoxStyle::OkOnly | MsgBoxStyle::Exclamation, QString());
        return;
    }

    const QString programName = QString::fromStdString(name);
    const std::filesystem::path scriptPath = inAppDir(PackagingScriptFileName(kNativeScriptKind));
    const std::filesystem::path image = inAppDir(name + ".bin");
    bool imageWritten = false;
    // A Compile that fails leaves no image behind; the script stays for the next one.
    const auto removeImage = [&] {
        std::error_code ignored;
        if (imageWritten)
            std::filesystem::remove(image, ignored);
    };
    std::unique_ptr<LaunchedProcess> process;
    try {
        WriteProgramImage(image, fontSet);
        imageWritten = true;
        // The script names its files without a folder, so it runs in the program's folder.
        const PackagingLaunch launch(scriptPath, PackagingScript(name, kNativeScriptKind),
                                     std::filesystem::path(appDir));
        process = platform_.StartProcess(launch.request());
    } catch (const LaunchError& error) {
        removeImage();
        showFailure(QStringLiteral("The packaging script \"%1\" could not be started.")
                        .arg(fromPath(scriptPath)),
                    error);
        return;
    } catch (const std::exception& error) {
        removeImage();
        showFailure(QStringLiteral("The font set was not compiled."), error);
        return;
    }

    // Success says nothing; a failure tells which program was not made, and why.
    const auto* watcher = new ScriptWatcher(std::move(process), this);
    connect(watcher, &ScriptWatcher::finished, this, [this, watcher, programName] {
        if (const ProcessOutcome& outcome = *watcher->outcome(); !outcome.succeeded())
            platform_.ShowNotice(failureNotice(programName, outcome), QString());
    });
}

} // namespace korvalin
