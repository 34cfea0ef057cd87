#pragma once

#include "Launch.h"
#include "TempDir.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <optional>
#include <sstream>
#include <string>
#include <vector>
#include <windows.h>

namespace korvalin::test {

// A folder name with blanks and letters beyond ASCII, as a user's program folder may have.
inline const std::filesystem::path kUnusualName = L"Korvalin Gr\u00FC\u00DFe \u65E5\u672C";

// Waits on the handle the editor's event loop would watch, then asks for the outcome.
inline std::optional<ProcessOutcome> waitFor(LaunchedProcess& process) {
    const auto handle = reinterpret_cast<HANDLE>(process.notifier());
    EXPECT_EQ(WaitForSingleObject(handle, 120000), WAIT_OBJECT_0);
    return process.poll();
}

// Puts the probe program into `folder` and returns its path there.
inline std::filesystem::path copyProbe(const std::filesystem::path& folder) {
    std::filesystem::create_directories(folder);
    const std::filesystem::path probe = folder / "folder_probe.exe";
    std::filesystem::copy_file(FOLDER_PROBE_PATH, probe);
    return probe;
}

// The lines the probe wrote into its own folder.
inline std::vector<std::string> probeReport(const std::filesystem::path& folder) {
    std::istringstream in(readFile(folder / "probe.txt"));
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

} // namespace korvalin::test
