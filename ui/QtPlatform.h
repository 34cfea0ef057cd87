#pragma once

#include "Platform.h"

#include <QFileDialog>
#include <QObject>
#include <QPointer>
#include <QWidget>

class QMessageBox;

namespace korvalin {

// The platform of the real program: Qt's dialogs and boxes, and processes watched from
// Qt's event loop.
class QtPlatform : public Platform {
public:
    // Dialogs are modal to this window.
    void setWindow(QWidget* window) { window_ = window; }

    MsgBoxAnswer MsgBox(const std::string& prompt, MsgBoxStyles style,
                        const std::string& title) override;
    std::string InputBox(const std::string& prompt, const std::string& title) override;
    std::optional<std::filesystem::path> ShowFileDialog(const FileDialogRequest& request) override;
    void StartProcess(const LaunchRequest& request, ProcessEnded onEnd) override;
    void ShowNotice(const std::string& text, const std::string& title) override;
    std::filesystem::path ProgramDirectory() override;

private:
    QPointer<QWidget> window_;
    // Parent of the watchers of started processes, which go with the platform at the latest.
    QObject watchers_;
};

// "Korvalin Fonts|*.8xfont" in Qt's form, "Korvalin Fonts (*.8xfont)".
QString qtFileFilter(const QString& filter);

// The buttons, default button and icon of a message box of `style`.
void configureMessageBox(QMessageBox& box, MsgBoxStyles style);

// The options of Qt's file dialog that carry out `flags`.
QFileDialog::Options fileDialogOptions(FileDialogFlags flags);

} // namespace korvalin
