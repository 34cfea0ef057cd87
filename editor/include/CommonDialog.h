#pragma once

#include "Platform.h"

#include <filesystem>
#include <string>

namespace korvalin {

enum class DialogResult { Chosen, Cancelled };

// The one file dialog component of the editor: properties set before each use, and
// FileName kept between uses so the last path is offered again.
class CommonDialog {
public:
    explicit CommonDialog(Platform& platform) : platform_(platform) {}

    std::string Filter;
    // Whether Cancel is reported; without it a Cancel reads as a choice of FileName as it was.
    bool CancelError = false;
    FileDialogFlags Flags;
    std::filesystem::path FileName;

    // On Cancel FileName stays.
    [[nodiscard]] DialogResult ShowOpen() { return show(FileDialogKind::Open); }
    [[nodiscard]] DialogResult ShowSave() { return show(FileDialogKind::Save); }

private:
    DialogResult show(FileDialogKind kind) {
        auto chosen = platform_.ShowFileDialog({kind, Filter, Flags, FileName});
        if (chosen) {
            FileName = std::move(*chosen);
            return DialogResult::Chosen;
        }
        return CancelError ? DialogResult::Cancelled : DialogResult::Chosen;
    }

    Platform& platform_;
};

} // namespace korvalin
