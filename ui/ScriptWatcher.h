#pragma once

#include "Launch.h"

#include <QObject>
#include <memory>
#include <optional>

class QSocketNotifier;

namespace korvalin {

// Watches a started process from the event loop, without waiting for it, and says once it
// has ended; then it deletes itself.
class ScriptWatcher : public QObject {
    Q_OBJECT

public:
    ScriptWatcher(std::unique_ptr<LaunchedProcess> process, QObject* parent);
    ScriptWatcher(const ScriptWatcher&) = delete;
    ScriptWatcher& operator=(const ScriptWatcher&) = delete;
    ~ScriptWatcher() override;

    // The outcome once finished() has been sent.
    [[nodiscard]] const std::optional<ProcessOutcome>& outcome() const { return outcome_; }

signals:
    void finished();

private:
    void check();

    std::unique_ptr<LaunchedProcess> process_;
    // After the process, so it goes first and never watches a closed descriptor.
    std::unique_ptr<QSocketNotifier> notifier_;
    std::optional<ProcessOutcome> outcome_;
};

} // namespace korvalin
