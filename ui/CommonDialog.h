#pragma once

#include "Platform.h"

#include <stdexcept>

namespace korvalin {

// Cancel in a dialog whose CancelError is set.
class DialogCancelled : public std::runtime_error {
public:
    DialogCancelled() : std::runtime_error("cancelled") {}
};

// The one file dialog component of the window: properties set before each use, and
// FileName kept between uses so the last path is offered again.
class CommonDialog {
public:
    explicit CommonDialog(Platform& platform) : platform_(platform) {}

    QString Filter;
    bool CancelError = false;
    FileDialogFlags Flags;
    QString FileName;

    // On Cancel FileName stays; with CancelError they throw DialogCancelled.
    void ShowOpen() { show(FileDialogKind::Open); }
    void ShowSave() { show(FileDialogKind::Save); }

private:
    void show(FileDialogKind kind) {
        const auto chosen = platform_.ShowFileDialog({kind, Filter, Flags, FileName});
        if (chosen) {
            FileName = *chosen;
        } else if (CancelError) {
            throw DialogCancelled();
        }
    }

    Platform& platform_;
};

} // namespace korvalin
