// Start-up, and what becomes of a failure that no handler caught.
#include "Editor.h"
#include "FontSetFile.h"
#include "PathText.h"
#include "ProgramFolder.h"

#include <algorithm>
#include <cctype>

namespace korvalin {

namespace {

bool startsWith(std::string_view name, std::string_view prefix) {
    return name.size() >= prefix.size() &&
           std::equal(prefix.begin(), prefix.end(), name.begin(), [](char a, char b) {
               return std::tolower(static_cast<unsigned char>(a)) ==
                      std::tolower(static_cast<unsigned char>(b));
           });
}

bool endsWith(std::string_view name, std::string_view suffix) {
    return name.size() >= suffix.size() &&
           startsWith(name.substr(name.size() - suffix.size()), suffix);
}

// A program opened from inside a ZIP file runs from a folder that the archive program made
// for it alone, and finds nothing of the rest of the ZIP beside it: Explorer's
// "Temp1_NAME.zip", 7-Zip's "7zO..." and WinRAR's "Rar$EX...".
bool runsFromInsideAnArchive(const std::filesystem::path& folder) {
    return std::ranges::any_of(folder, [](const std::filesystem::path& part) {
        const std::string name = PathText(part);
        return endsWith(name, ".zip") || startsWith(name, "7zO") || startsWith(name, "Rar$EX");
    });
}

} // namespace

void Editor::Form_Load() {
    const BusyPointer busy(view_);
    // Kept in the file system's own bytes: a folder name that is no valid text in any
    // encoding still names the folder.
    NativeString directory = AppDirOf(platform_.ProgramDirectory());

    // Read first: a default file that cannot be read leaves the editor as it was.
    FontSet defaultSet;
    ReadFontSetFile(std::filesystem::path(directory) += "default.8xfont", defaultSet);

    setCurrentFile(currentFileName, false);
    appDir = std::move(directory);
    fontSet = defaultSet;
    currentChar = 0;
    ShowCharacter();
}

bool Editor::Start() {
    return runGuarded([this] { Form_Load(); },
                      [this](const std::string& cause) { return startFailure(cause); });
}

std::string Editor::startFailure(const std::string& cause) {
    std::string text = "The Korvalin Font Set Creator cannot start.\n\n" + cause;
    std::filesystem::path folder;
    try {
        folder = platform_.ProgramDirectory();
    } catch (const std::exception&) {
        return text; // the cause says so already
    }
    if (runsFromInsideAnArchive(folder))
        text += "\n\nIt seems to have been started from inside a ZIP file, where it cannot find "
                "the files that come with it. Extract the whole folder first (in Explorer: "
                "right-click the ZIP file, Extract All...), then start the editor from the "
                "extracted folder.";
    return text;
}

void Editor::Run(const std::function<void()>& handler) {
    runGuarded(handler, [](const std::string& cause) { return cause; });
}

bool Editor::runGuarded(const std::function<void()>& handler,
                        const std::function<std::string(const std::string&)>& message) {
    if (ended_)
        return false;
    std::string cause;
    try {
        handler();
        return true;
    } catch (const std::exception& error) {
        cause = error.what();
    } catch (...) {
        cause = "An unexpected failure ended the program.";
    }
    try {
        platform_.MsgBox(message(cause), MsgBoxStyle::OkOnly | MsgBoxStyle::Critical,
                         std::string());
    } catch (...) {
        // The program ends all the same.
    }
    end(1);
    return false;
}

void Editor::end(int exitStatus) {
    ended_ = true;
    view_.End(exitStatus);
}

} // namespace korvalin
