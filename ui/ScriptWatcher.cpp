#include "ScriptWatcher.h"

namespace korvalin {

namespace {
std::unique_ptr<ProcessNotifier> makeNotifier(std::intptr_t watched) {
#ifdef _WIN32
    return std::make_unique<QWinEventNotifier>(reinterpret_cast<Qt::HANDLE>(watched));
#else
    return std::make_unique<QSocketNotifier>(static_cast<qintptr>(watched), QSocketNotifier::Read);
#endif
}
} // namespace

ScriptWatcher::ScriptWatcher(std::unique_ptr<LaunchedProcess> process, QObject* parent)
    : QObject(parent), process_(std::move(process)), notifier_(makeNotifier(process_->notifier())) {
    connect(notifier_.get(), &ProcessNotifier::activated, this, &ScriptWatcher::check);
}

ScriptWatcher::~ScriptWatcher() = default;

void ScriptWatcher::check() {
    outcome_ = process_->poll();
    if (!outcome_)
        return;
    notifier_->setEnabled(false);
    emit finished();
    deleteLater();
}

} // namespace korvalin
