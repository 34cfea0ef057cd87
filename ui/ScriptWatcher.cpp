#include "ScriptWatcher.h"

#include <QSocketNotifier>

namespace korvalin {

ScriptWatcher::ScriptWatcher(std::unique_ptr<LaunchedProcess> process, QObject* parent)
    : QObject(parent), process_(std::move(process)),
      notifier_(std::make_unique<QSocketNotifier>(static_cast<qintptr>(process_->notifier()),
                                                  QSocketNotifier::Read)) {
    connect(notifier_.get(), &QSocketNotifier::activated, this, &ScriptWatcher::check);
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
