#pragma once

#include "Launch.h"

#include <QObject>
#ifdef _WIN32
#include <QWinEventNotifier>
#else
#include <QSocketNotifier>
#endif
#include <memory>
#include <optional>

namespace korvalin {

// What tells the event loop that a process may have ended: a descriptor on POSIX, the
// process handle itself on Windows, where a socket notifier cannot watch a handle.
#ifdef _WIN32
using ProcessNotifier = QWinEventNotifier;
#else
using ProcessNotifier = QSocketNotifier;
#endif

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
    std::unique_ptr<ProcessNotifier> notifier_;
    std::optional<ProcessOutcome> outcome_;
};

} // namespace korvalin
