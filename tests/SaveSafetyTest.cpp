// Saves that keep what the replaced file had and cope with odd names, folders and leftovers.
#include "FileError.h"
#include "FontSetFile.h"
#include "TempDir.h"

#include <cerrno>
#include <cstring>
#include <gtest/gtest.h>
#include <iostream>
#include <optional>
#include <sstream>
#include <sys/stat.h>
#include <sys/wait.h>
#include <sys/xattr.h>
#include <unistd.h>
#include <vector>

namespace korvalin {
namespace {

namespace fs = std::filesystem;
using test::readFile;
using test::TempDir;
using test::writeFile;

FontSet allInk() {
    FontSet table;
    std::ranges::fill(table.cells(), FontSet::kSet);
    return table;
}

std::size_t entriesIn(const fs::path& folder) {
    return static_cast<std::size_t>(
        std::distance(fs::directory_iterator(folder), fs::directory_iterator()));
}

TEST(SaveSafety, ADanglingLinkGetsTheFileItNames) {
    const TempDir dir;
    fs::create_symlink("named.8xfont", dir / "link.8xfont");
    WriteFontSetFile(dir / "link.8xfont", allInk());
    EXPECT_TRUE(fs::is_symlink(dir / "link.8xfont"));
    EXPECT_EQ(readFile(dir / "named.8xfont"), FontSetText(allInk()));
}

std::optional<std::string> attribute(const fs::path& path, const char* name) {
    std::string value(256, '\0');
    const ssize_t size = ::getxattr(path.c_str(), name, value.data(), value.size());
    if (size < 0)
        return std::nullopt;
    value.resize(static_cast<std::size_t>(size));
    return value;
}

// An access list in the kernel's form: the owner and user 4242 may write, the group and
// others only read, so a lost list would let the group write (through the mask's bits).
std::string aclGrantingUser4242() {
    struct Entry {
        std::uint16_t tag, perm;
        std::uint32_t id;
    };
    const std::uint32_t version = 2;
    const Entry entries[] = {
        {0x01, 6, ~0u}, {0x02, 6, 4242}, {0x04, 4, ~0u}, {0x10, 6, ~0u}, {0x20, 4, ~0u}};
    std::string bytes(reinterpret_cast<const char*>(&version), sizeof version);
    bytes.append(reinterpret_cast<const char*>(entries), sizeof entries);
    return bytes;
}

TEST(SaveSafety, KeepsTheAccessListAndAttributesWithoutWideningAccess) {
    constexpr const char* kAcl = "system.posix_acl_access";
    for (const fs::path& base : {fs::temp_directory_path(), fs::path("/dev/shm")}) {
        const fs::path dir = base / ("korvalin-acl-" + std::to_string(::getpid()));
        fs::create_directories(dir);
        const fs::path target = dir / "set.8xfont";
        WriteFontSetFile(target, FontSet());
        const std::string acl = aclGrantingUser4242();
        const bool ready = ::setxattr(target.c_str(), kAcl, acl.data(), acl.size(), 0) == 0 &&
                           ::setxattr(target.c_str(), "user.origin", "art", 3, 0) == 0;
        if (!ready) {
            std::cout << base
                      << " refuses access lists or user attributes: " << std::strerror(errno)
                      << "\n";
            fs::remove_all(dir);
            continue;
        }
        const auto modeBefore = fs::status(target).permissions();
        const auto aclBefore = attribute(target, kAcl);
        WriteFontSetFile(target, allInk());
        EXPECT_EQ(readFile(target), FontSetText(allInk()));
        EXPECT_EQ(attribute(target, kAcl), aclBefore);
        EXPECT_EQ(attribute(target, "user.origin"), std::optional<std::string>("art"));
        EXPECT_EQ(fs::status(target).permissions(), modeBefore);
        fs::remove_all(dir);
        return;
    }
    GTEST_SKIP() << "no temporary file system here takes access lists and user attributes";
}

// A path of exactly `length` bytes in `dir`, its folders made.
fs::path pathOfLength(const fs::path& dir, std::size_t length) {
    fs::path folder = dir;
    while (length - folder.string().size() > 255 + 1)
        folder /=
            std::string(std::min<std::size_t>(200, length - folder.string().size() - 257), 'd');
    fs::create_directories(folder);
    return folder / std::string(length - folder.string().size() - 1, 'n');
}

class LongNames : public testing::TestWithParam<std::size_t> {};

TEST_P(LongNames, SaveAndLeaveNothingBehind) {
    const TempDir dir;
    const fs::path target = GetParam() <= 255 ? dir / std::string(GetParam(), 'n')
                                              : pathOfLength(dir.path(), GetParam());
    // Up to 255 the parameter is the name's length, beyond it the whole path's.
    ASSERT_EQ(GetParam() <= 255 ? target.filename().string().size() : target.string().size(),
              GetParam());
    WriteFontSetFile(target, allInk());
    WriteFontSetFile(target, FontSet());
    EXPECT_EQ(fs::file_size(target), FontSetText(FontSet()).size());
    EXPECT_EQ(entriesIn(target.parent_path()), 1u);
}

INSTANTIATE_TEST_SUITE_P(NearTheLimits, LongNames,
                         testing::Values(240, 250, 255, PATH_MAX - 200, PATH_MAX - 1));

TEST(SaveSafety, AWritableFileInAFolderThatIsNotNamesTheFolder) {
    const TempDir dir;
    const fs::path target = dir / "set.8xfont";
    WriteFontSetFile(target, FontSet());
    const uid_t nobody = 65534;
    if (::geteuid() == 0) {
        ASSERT_EQ(::chown(target.c_str(), nobody, nobody), 0);
    } else {
        fs::permissions(dir.path(), fs::perms::owner_read | fs::perms::owner_exec);
    }
    // Root writes anywhere, so the save runs as nobody in a child that reports its failure.
    int channel[2];
    ASSERT_EQ(::pipe(channel), 0);
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(channel[0]);
        std::string message = "saved";
        if (::geteuid() == 0 && (::setgid(nobody) != 0 || ::setuid(nobody) != 0))
            message = "cannot become nobody";
        else
            try {
                WriteFontSetFile(target, allInk());
            } catch (const FileError& error) {
                message = error.cause();
            }
        [[maybe_unused]] const auto written = ::write(channel[1], message.data(), message.size());
        ::_exit(0);
    }
    ::close(channel[1]);
    std::string message;
    char buffer[512];
    for (ssize_t count; (count = ::read(channel[0], buffer, sizeof buffer)) > 0;)
        message.append(buffer, static_cast<std::size_t>(count));
    ::close(channel[0]);
    ::waitpid(child, nullptr, 0);
    if (message == "cannot become nobody")
        GTEST_SKIP() << message;
    EXPECT_NE(message.find("the folder \"" + dir.path().string() + "\""), std::string::npos)
        << message;
    EXPECT_EQ(readFile(target), FontSetText(FontSet()));
}

std::string host() {
    char name[256] = {};
    ::gethostname(name, sizeof name - 1);
    return name;
}

// A process id that no process holds now: a child that has ended and been reaped.
pid_t endedProcess() {
    const pid_t child = ::fork();
    if (child == 0)
        ::_exit(0);
    ::waitpid(child, nullptr, 0);
    return child;
}

TEST(SaveSafety, RemovesOnlyLeftoversOfEndedSavesOnThisHost) {
    const TempDir dir;
    const std::string ended = std::to_string(endedProcess());
    const std::string running = std::to_string(::getpid());
    const std::vector<std::string> kept = {
        ".set.8xfont.saving-" + host() + "-" + running + "-0",  // a save still running
        ".set.8xfont.saving-elsewhere.example-" + ended + "-0", // another computer's
        ".other.8xfont.saving-" + host() + "-" + ended + "-0",  // another file's
    };
    const std::string removed = ".set.8xfont.saving-" + host() + "-" + ended + "-3";
    for (const std::string& name : kept)
        writeFile(dir / name, "partial");
    writeFile(dir / removed, "partial");

    WriteFontSetFile(dir / "set.8xfont", allInk());
    EXPECT_FALSE(fs::exists(dir / removed));
    for (const std::string& name : kept)
        EXPECT_TRUE(fs::exists(dir / name)) << name;
}

} // namespace
} // namespace korvalin
