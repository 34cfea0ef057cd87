#pragma once

#include "Launch.h"

#include <QString>
#include <QStringList>
#include <memory>
#include <optional>

namespace korvalin {

// Message box styles and answers, as the handlers name them.
namespace msgbox {
constexpr int OkOnly = 0;
constexpr int YesNo = 4;
constexpr int Critical = 16;
constexpr int Exclamation = 48;
constexpr int AnswerOk = 1;
constexpr int AnswerYes = 6;
constexpr int AnswerNo = 7;
} // namespace msgbox

// The title an input box shows when it is given none.
inline const QString kApplicationTitle = QStringLiteral("Korvalin Font Creator");

enum class FileDialogKind { Open, Save };

struct FileDialogRequest {
    FileDialogKind kind = FileDialogKind::Open;
    QString filter;   // "Korvalin Fonts|*.8xfont"
    int flags = 0;    // 2: ask before replacing a file
    QString fileName; // offered as the initial choice
};

// What the editor asks of the desktop. The window is given one; the real program gets
// the Qt one, tests a scripted one, so every handler runs headless.
class Platform {
public:
    virtual ~Platform() = default;

    // `style` is a sum of the msgbox constants; returns the answer code.
    virtual int MsgBox(const QString& prompt, int style, const QString& title) = 0;
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
    // The folder that holds the program's executable file.
    virtual QString ProgramDirectory() = 0;
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
