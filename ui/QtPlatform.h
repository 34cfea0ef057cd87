#pragma once

#include "Platform.h"

#include <QPointer>
#include <QWidget>

namespace korvalin {

// The platform of the real program: Qt's dialogs, processes and cursor.
class QtPlatform : public Platform {
public:
    // Dialogs are modal to this window.
    void setWindow(QWidget* window) { window_ = window; }

    int MsgBox(const QString& prompt, int style, const QString& title) override;
    QString InputBox(const QString& prompt, const QString& title) override;
    std::optional<QString> ShowFileDialog(const FileDialogRequest& request) override;
    std::unique_ptr<LaunchedProcess> StartProcess(const LaunchRequest& request) override;
    void ShowNotice(const QString& text, const QString& title) override;
    void SetBusyPointer(bool busy) override;
    QString ProgramDirectory() override;
    void End(int exitStatus) override;

private:
    QPointer<QWidget> window_;
};

// "Korvalin Fonts|*.8xfont" in Qt's form, "Korvalin Fonts (*.8xfont)".
QString qtFileFilter(const QString& filter);

} // namespace korvalin
