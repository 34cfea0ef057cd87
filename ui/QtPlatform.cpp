#include "QtPlatform.h"

#include "AnswerBox.h"
#include "EditorIcon.h"
#include "ProgramFolder.h"
#include "QtCompat.h"
#include "ScriptWatcher.h"

#include <QApplication>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <memory>

namespace korvalin {

namespace {

QString titleOrDefault(const std::string& title) {
    return toQString(title.empty() ? kApplicationTitle : title);
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

MsgBoxAnswer QtPlatform::MsgBox(const std::string& prompt, MsgBoxStyles style,
                                const std::string& title) {
    // Every box carries the editor's icon, a failed start's too, shown before the window.
    GiveTheApplicationItsIcon();
    // A Yes/No box is a question that must be answered; other boxes close as usual.
    std::unique_ptr<QMessageBox> box;
    if (buttonsOf(style) == MsgBoxStyle::YesNo)
        box = std::make_unique<AnswerBox>(QMessageBox::NoIcon, titleOrDefault(title),
                                          toQString(prompt), window_);
    else
        box = std::make_unique<QMessageBox>(QMessageBox::NoIcon, titleOrDefault(title),
                                            toQString(prompt), QMessageBox::NoButton, window_);
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

std::string QtPlatform::InputBox(const std::string& prompt, const std::string& title) {
    GiveTheApplicationItsIcon();
    QInputDialog dialog(window_);
    dialog.setWindowTitle(titleOrDefault(title));
    dialog.setLabelText(toQString(prompt));
    dialog.setInputMode(QInputDialog::TextInput);
    return dialog.exec() == QDialog::Accepted ? fromQString(dialog.textValue()) : std::string();
}

std::optional<std::filesystem::path> QtPlatform::ShowFileDialog(const FileDialogRequest& request) {
    const QFileDialog::Options options = fileDialogOptions(request.flags);
    const QString filter = qtFileFilter(toQString(request.filter));
    const QString offered = fromPath(request.fileName);
    const QString chosen =
        request.kind == FileDialogKind::Open
            ? QFileDialog::getOpenFileName(window_, QString(), offered, filter, nullptr, options)
            : QFileDialog::getSaveFileName(window_, QString(), offered, filter, nullptr, options);
    if (chosen.isEmpty())
        return std::nullopt;
    return toPath(chosen);
}

void QtPlatform::StartProcess(const LaunchRequest& request, ProcessEnded onEnd) {
    auto* watcher = new ScriptWatcher(Launch(request), &watchers_);
    QObject::connect(watcher, &ScriptWatcher::finished, watcher,
                     [watcher, onEnd = std::move(onEnd)] { onEnd(*watcher->outcome()); });
}

void QtPlatform::ShowNotice(const std::string& text, const std::string& title) {
    GiveTheApplicationItsIcon();
    // Not modal: the user reads it while going on with the editor. Nor does it take the
    // keyboard, or the Return meant for Next would close it unread.
    auto* box = new QMessageBox(QMessageBox::Warning, titleOrDefault(title), toQString(text),
                                QMessageBox::Ok, window_);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setAttribute(Qt::WA_ShowWithoutActivating);
    box->setWindowModality(Qt::NonModal);
    box->show();
}

std::filesystem::path QtPlatform::ProgramDirectory() {
    return ExecutableFolder();
}

} // namespace korvalin
