#pragma once

#include "Launch.h"

#include <QFlags>
#include <QString>
#include <QStringList>
#include <filesystem>
#include <memory>
#include <optional>

namespace korvalin {

// A message box style is the sum of one set of buttons and one icon, as the handlers give it.
enum class MsgBoxStyle : int {
    OkOnly = 0,
    YesNo = 4,
    Critical = 16,
    Exclamation = 48,
};
Q_DECLARE_FLAGS(MsgBoxStyles, MsgBoxStyle)
Q_DECLARE_OPERATORS_FOR_FLAGS(MsgBoxStyles)

// The buttons part of a style (its low three bits) and its icon part (the next three).
constexpr MsgBoxStyle buttonsOf(MsgBoxStyles style) {
    return static_cast<MsgBoxStyle>(style.toInt() & 0x07);
}
constexpr MsgBoxStyle iconOf(MsgBoxStyles style) {
    return static_cast<MsgBoxStyle>(style.toInt() & 0x70);
}

// The answer a message box returns: the code of the button chosen.
enum class MsgBoxAnswer : int {
    Ok = 1,
    Yes = 6,
    No = 7,
};

// The title an input box shows when it is given none.
inline const QString kApplicationTitle = QStringLiteral("Korvalin Font Creator");

enum class FileDialogKind { Open, Save };

enum class FileDialogFlag : int {
    OverwritePrompt = 2, // ask before replacing a file (the Save dialog)
    HideReadOnly = 4,    // no read-only check box
};
Q_DECLARE_FLAGS(FileDialogFlags, FileDialogFlag)
Q_DECLARE_OPERATORS_FOR_FLAGS(FileDialogFlags)

struct FileDialogRequest {
    FileDialogKind kind = FileDialogKind::Open;
    QString filter; // "Korvalin Fonts|*.8xfont"
    FileDialogFlags flags;
    QString fileName; // offered as the initial choice
};

// What the editor asks of the desktop. The window is given one; the real program gets
// the Qt one, tests a scripted one, so every handler runs headless.
class Platform {
public:
    virtual ~Platform() = default;

    virtual MsgBoxAnswer MsgBox(const QString& prompt, MsgBoxStyles style,
                                const QString& title) = 0;
    // The text typed, or an empty text on Cancel; an empty title shows kApplicationTitle.
    virtual QString InputBox(const QString& prompt, const QString& title) = 0;
    // The chosen path, or nothing when the user cancels.
    virtual std::optional<QString> ShowFileDialog(const FileDialogRequest& request) = 0;
    // Starts a process and returns at once, to be watched without waiting; throws
    // LaunchError when it could not be started.
    virtual std::unique_ptr<LaunchedProcess> StartProcess(const LaunchRequest& request) = 0;
    // A message that leaves the editor usable while it shows.
    virtual void ShowNotice(const QString& text, const QString& title) = 0;
    virtual void SetBusyPointer(bool busy) = 0;
    // The folder that holds the program's executable file, in the file system's own
    // encoding. Throws when it cannot be determined.
    virtual std::filesystem::path ProgramDirectory() = 0;
    // Ends the program once the running handler returns; no further handler runs.
    virtual void End(int exitStatus) = 0;
};

// Shows the busy pointer for as long as it lives.
class BusyPointer {
public:
    explicit BusyPointer(Platform& platform) : platform_(platform) {
        platform_.SetBusyPointer(true);
    }
    BusyPointer(const BusyPointer&) = delete;
    BusyPointer& operator=(const BusyPointer&) = delete;
    ~BusyPointer() { platform_.SetBusyPointer(false); }

private:
    Platform& platform_;
};

} // namespace korvalin
