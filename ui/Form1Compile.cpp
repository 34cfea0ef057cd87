// Compile: the program image and the packaging script beside the editor, then the script.
#include "AtomicFile.h"
#include "Form1.h"
#include "PackagingScript.h"
#include "ProgramImage.h"
#include "ProgramName.h"
#include "QtCompat.h"

namespace korvalin {

namespace {

// Shown without activating, so the editor stays the active window.
constexpr int kShowNoActivate = 4;

struct Command {
    QString program;
    QStringList arguments;
};

Command scriptCommand(const QString& script) {
    if constexpr (kNativeScriptKind == ScriptKind::Batch)
        return {QStringLiteral("cmd.exe"), {QStringLiteral("/c"), script}};
    else
        return {QStringLiteral("/bin/sh"), {script}};
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

    const std::filesystem::path scriptPath = inAppDir(PackagingScriptFileName(kNativeScriptKind));
    const QString script = fromPath(scriptPath);
    try {
        WriteProgramImage(inAppDir(name + ".bin"), fontSet);
        WriteFileAtomically(scriptPath, PackagingScript(name, kNativeScriptKind),
                            Durability::Transient);
    } catch (const std::exception& error) {
        showFailure(QStringLiteral("The font set was not compiled."), error);
        return;
    }

    // The script names its files without a folder, so it runs in the program's folder.
    const Command command = scriptCommand(script);
    if (!platform_.StartProcess(command.program, command.arguments, fromPath(appDir),
                                kShowNoActivate))
        platform_.MsgBox(
            QStringLiteral("The packaging script \"%1\" could not be started.").arg(script),
            MsgBoxStyle::OkOnly | MsgBoxStyle::Critical, QString());
}

} // namespace korvalin
