#pragma once

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <string>
#include <sys/mount.h>
#include <unistd.h>

namespace korvalin::test {

// A tmpfs of `size` mounted on `folder` for the object's lifetime. Mounting needs root (and,
// in a container, CAP_SYS_ADMIN); failing that, mounted() is false and reason() says why.
class TinyTmpfs {
public:
    TinyTmpfs(std::filesystem::path folder, const std::string& size) : folder_(std::move(folder)) {
        if (::geteuid() != 0) {
            reason_ = "running as uid " + std::to_string(::geteuid());
            return;
        }
        std::filesystem::create_directories(folder_);
        const std::string options = "size=" + size;
        if (::mount("tmpfs", folder_.c_str(), "tmpfs", MS_NOSUID | MS_NODEV, options.c_str()) != 0)
            reason_ = std::string("mount failed: ") + std::strerror(errno);
        else
            mounted_ = true;
    }
    TinyTmpfs(const TinyTmpfs&) = delete;
    TinyTmpfs& operator=(const TinyTmpfs&) = delete;
    ~TinyTmpfs() {
        // A lazy unmount as the fallback, so an open file cannot keep the mount alive.
        if (mounted_ && ::umount2(folder_.c_str(), 0) != 0)
            ::umount2(folder_.c_str(), MNT_DETACH);
    }

    [[nodiscard]] bool mounted() const { return mounted_; }
    [[nodiscard]] const std::string& reason() const { return reason_; }

private:
    std::filesystem::path folder_;
    bool mounted_ = false;
    std::string reason_;
};

} // namespace korvalin::test
