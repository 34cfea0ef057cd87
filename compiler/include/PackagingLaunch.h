#pragma once

#include "Launch.h"

#include <filesystem>
#include <string_view>

namespace korvalin {

// The packaging script written into the program folder and ready to start there. On POSIX
// the shell reads the script through a descriptor opened on what this Compile wrote, so it
// runs this script even when another editor has replaced the file since.
class PackagingLaunch {
public:
    // Writes `text` to `script`. Throws FileError.
    PackagingLaunch(const std::filesystem::path& script, std::string_view text,
                    const std::filesystem::path& folder);
    PackagingLaunch(const PackagingLaunch&) = delete;
    PackagingLaunch& operator=(const PackagingLaunch&) = delete;
    ~PackagingLaunch();

    // Valid for as long as this lives.
    [[nodiscard]] const LaunchRequest& request() const { return request_; }

private:
    LaunchRequest request_;
};

} // namespace korvalin
