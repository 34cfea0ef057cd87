#include "QtPlatform.h"

#include "AnswerBox.h"
#include "ProgramFolder.h"

#include <QApplication>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <memory>

namespace korvalin {

namespace {

QString titleOrDefault(const QString& title) {
    return title.isEmpty() ? kApplicationTitle : title;
}

QMessageBox::Icon qtIcon(MsgBoxStyles style) {
    switch (iconOf(style)) {
    case MsgBoxStyle::Critical:
        return QMessageBox::Critical;
    case MsgBoxStyle::Exclamation:
        return QMessageBox::Warning;
    default:
        return QMessageBox::NoIcon;
    }
}

} // namespace

QString qtFileFilter(const QString& filter) {
    const QStringList parts = filter.split('|');
    QStringList entries;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString patterns = parts[i + 1];
        entries << parts[i] + QStringLiteral(" (") + patterns.replace(';', ' ') + ')';
    }
    return entries.join(QStringLiteral(";;"));
}

void configureMessageBox(QMessageBox& box, MsgBoxStyles style) {
    box.setIcon(qtIcon(style));
    if (buttonsOf(style) == MsgBoxStyle::YesNo) {
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setDefaultButton(QMessageBox::Yes);
    } else {
        box.setStandardButtons(QMessageBox::Ok);
    }
}

QFileDialog::Options fileDialogOptions(FileDialogFlags flags) {
    QFileDialog::Options options;
    if (!flags.testFlag(FileDialogFlag::OverwritePrompt))
        options |= QFileDialog::DontConfirmOverwrite;
    return options;
}

MsgBoxAnswer QtPlatform::MsgBox(const QString& prompt, MsgBoxStyles style, const QString& title) {
    // A Yes/No box is a question that must be answered; other boxes close as usual.
    std::unique_ptr<QMessageBox> box;
    if (buttonsOf(style) == MsgBoxStyle::YesNo)
        box = std::make_unique<AnswerBox>(QMessageBox::NoIcon, titleOrDefault(title), prompt,
                                          window_);
    else
        box = std::make_unique<QMessageBox>(QMessageBox::NoIcon, titleOrDefault(title), prompt,
                                            QMessageBox::NoButton, window_);
    configureMessageBox(*box, style);
    switch (box->exec()) {
    case QMessageBox::Yes:
        return MsgBoxAnswer::Yes;
    case QMessageBox::No:
        return MsgBoxAnswer::No;
    default:
        return MsgBoxAnswer::Ok;
    }
}

QString QtPlatform::InputBox(const QString& prompt, const QString& title) {
    QInputDialog dialog(window_);
    dialog.setWindowTitle(titleOrDefault(title));
    dialog.setLabelText(prompt);
    dialog.setInputMode(QInputDialog::TextInput);
    return dialog.exec() == QDialog::Accepted ? dialog.textValue() : QString();
}

std::optional<QString> QtPlatform::ShowFileDialog(const FileDialogRequest& request) {
    const QFileDialog::Options options = fileDialogOptions(request.flags);
    const QString filter = qtFileFilter(request.filter);
    const QString chosen = request.kind == FileDialogKind::Open
                               ? QFileDialog::getOpenFileName(window_, QString(), request.fileName,
                                                              filter, nullptr, options)
                               : QFileDialog::getSaveFileName(window_, QString(), request.fileName,
                                                              filter, nullptr, options);
    if (chosen.isEmpty())
        return std::nullopt;
    return chosen;
}

std::unique_ptr<LaunchedProcess> QtPlatform::StartProcess(const LaunchRequest& request) {
    return Launch(request);
}

void QtPlatform::ShowNotice(const QString& text, const QString& title) {
    // Not modal: the user reads it while going on with the editor. Nor does it take the
    // keyboard, or the Return meant for Next would close it unread.
    auto* box = new QMessageBox(QMessageBox::Warning, titleOrDefault(title), text, QMessageBox::Ok,
                                window_);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setAttribute(Qt::WA_ShowWithoutActivating);
    box->setWindowModality(Qt::NonModal);
    box->show();
}

void QtPlatform::SetBusyPointer(bool busy) {
    if (busy)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QApplication::restoreOverrideCursor();
}

std::filesystem::path QtPlatform::ProgramDirectory() {
    return ExecutableFolder();
}

void QtPlatform::End(int exitStatus) {
    QCoreApplication::exit(exitStatus);
}

} // namespace korvalin
