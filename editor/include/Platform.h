#pragma once

#include "Flags.h"
#include "Launch.h"

#include <filesystem>
#include <functional>
#include <optional>
#include <string>

namespace korvalin {

// A message box style is the sum of one set of buttons and one icon, as the handlers give it.
enum class MsgBoxStyle : int {
    OkOnly = 0,
    YesNo = 4,
    Critical = 16,
    Exclamation = 48,
};
template <>
inline constexpr bool kIsFlag<MsgBoxStyle> = true;
using MsgBoxStyles = Flags<MsgBoxStyle>;

// The buttons part of a style (its low three bits) and its icon part (the next three).
constexpr MsgBoxStyle buttonsOf(MsgBoxStyles style) {
    return static_cast<MsgBoxStyle>(style.toInt() & 0x07);
}
constexpr MsgBoxStyle iconOf(MsgBoxStyles style) {
    return static_cast<MsgBoxStyle>(style.toInt() & 0x70);
}

// The answer a message box returns: the code of the button chosen.
enum class MsgBoxAnswer : int {
    Ok = 1,
    Yes = 6,
    No = 7,
};

// The title a box shows when it is given none.
inline const std::string kApplicationTitle = "Korvalin Font Creator";

enum class FileDialogKind { Open, Save };

enum class FileDialogFlag : int {
    OverwritePrompt = 2, // ask before replacing a file (the Save dialog)
    HideReadOnly = 4,    // no read-only check box
};
template <>
inline constexpr bool kIsFlag<FileDialogFlag> = true;
using FileDialogFlags = Flags<FileDialogFlag>;

struct FileDialogRequest {
    FileDialogKind kind = FileDialogKind::Open;
    std::string filter; // "Korvalin Fonts|*.8xfont"
    FileDialogFlags flags;
    std::filesystem::path fileName; // offered as the initial choice
};

// Told once how a started process ended.
using ProcessEnded = std::function<void(const ProcessOutcome&)>;

// What the editor asks of the desktop beyond its own window. The real program gets a
// toolkit's, tests a scripted one, so every handler runs headless. Text is UTF-8.
class Platform {
public:
    virtual ~Platform() = default;

    // Modal. A Yes/No box is a question that must be answered: it is never cancelled, as
    // neither Escape nor its title bar closes it, and it returns Yes or No. Other boxes
    // return Ok however they close.
    virtual MsgBoxAnswer MsgBox(const std::string& prompt, MsgBoxStyles style,
                                const std::string& title) = 0;
    // The text typed, or an empty text on Cancel; an empty title shows kApplicationTitle.
    virtual std::string InputBox(const std::string& prompt, const std::string& title) = 0;
    // The chosen path, or nothing when the user cancels.
    virtual std::optional<std::filesystem::path>
    ShowFileDialog(const FileDialogRequest& request) = 0;
    // Starts a process and returns at once; `onEnd` runs from the event loop once it has
    // ended. Throws LaunchError when it could not be started.
    virtual void StartProcess(const LaunchRequest& request, ProcessEnded onEnd) = 0;
    // A message that leaves the editor usable while it shows.
    virtual void ShowNotice(const std::string& text, const std::string& title) = 0;
    // The folder that holds the program's executable file, in the file system's own
    // encoding. Throws when it cannot be determined.
    virtual std::filesystem::path ProgramDirectory() = 0;
};

} // namespace korvalin
