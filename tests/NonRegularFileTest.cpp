// Readers and writers take regular files only: nothing else is read, blocks or is replaced.
#include "AtomicFile.h"
#include "FileError.h"
#include "FontSetFile.h"
#include "InputFile.h"
#include "Packer.h"
#include "ProgramImage.h"
#include "TempDir.h"

#include <functional>
#include <gtest/gtest.h>
#include <sstream>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <unistd.h>

namespace korvalin {
namespace {

namespace fs = std::filesystem;
using test::TempDir;

enum class Node { Fifo, Socket, Device, LinkToFifo, LinkToDevZero, LinkLoop };

struct NodeCase {
    const char* name;
    Node node;
    const char* cause;
    bool safeToWrite; // false: a fault could replace a node outside the test's folder
};

// Makes the node at `path`; returns why it cannot be made here, or an empty string.
std::string makeNode(Node node, const fs::path& path) {
    switch (node) {
    case Node::Fifo:
        return ::mkfifo(path.c_str(), 0666) == 0 ? "" : "mkfifo failed";
    case Node::Socket: {
        const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        path.string().copy(address.sun_path, sizeof address.sun_path - 1);
        const bool bound =
            ::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
        ::close(fd);
        return bound ? "" : "cannot bind a socket";
    }
    case Node::Device:
        return ::mknod(path.c_str(), S_IFCHR | 0666, makedev(1, 3)) == 0
                   ? ""
                   : "needs the right to make a device node";
    case Node::LinkToFifo: {
        const fs::path fifo = path.string() + ".fifo";
        ::mkfifo(fifo.c_str(), 0666);
        fs::create_symlink(fifo, path);
        return "";
    }
    case Node::LinkToDevZero:
        fs::create_symlink("/dev/zero", path);
        return "";
    case Node::LinkLoop:
        fs::create_symlink(path.filename().string() + ".other", path);
        fs::create_symlink(path.filename(), path.string() + ".other");
        return "";
    }
    return "unknown node";
}

class NonRegularFiles : public testing::TestWithParam<NodeCase> {
protected:
    void SetUp() override {
        if (const std::string why = makeNode(GetParam().node, dir / "FONT1.bin"); !why.empty())
            GTEST_SKIP() << GetParam().name << ": " << why;
        before = fs::symlink_status(dir / "FONT1.bin").type();
    }
    void expectRefused(const std::string& message) const {
        EXPECT_NE(message.find(GetParam().cause), std::string::npos) << message;
        EXPECT_EQ(fs::symlink_status(dir / "FONT1.bin").type(), before) << "the node was replaced";
    }
    [[nodiscard]] std::string failureOf(const std::function<void()>& call) const {
        try {
            call();
        } catch (const FileError& error) {
            return error.what();
        }
        return "(no failure)";
    }

    TempDir dir;
    fs::file_type before{};
};

TEST_P(NonRegularFiles, AreRefusedByEveryReader) {
    const fs::path path = dir / "FONT1.bin";
    FontSet table;
    expectRefused(failureOf([&] { ReadFontSetFile(path, table); }));
    expectRefused(failureOf([&] { (void)ReadWholeFile(path, 1000); }));
    std::ostringstream output;
    std::ostringstream errors;
    const std::string_view arguments[] = {"prgforge", "FONT1"};
    EXPECT_EQ(RunPacker(arguments, dir.path(), output, errors), 1);
    expectRefused(errors.str());
}

TEST_P(NonRegularFiles, AreNeverReplacedByAWriter) {
    if (!GetParam().safeToWrite)
        GTEST_SKIP() << "the node lies outside the test's folder";
    const fs::path path = dir / "FONT1.bin";
    expectRefused(failureOf([&] { WriteFontSetFile(path, FontSet()); }));
    expectRefused(failureOf([&] { WriteFileAtomically(path, "x", Durability::Transient); }));
    // The program folder's work files: a link in their place is replaced, what it names is not.
    const bool link = before == fs::file_type::symlink;
    const auto expectWorkFileWritten = [&](const fs::path& written, const std::string& failure) {
        if (!link) {
            EXPECT_NE(failure.find(GetParam().cause), std::string::npos) << failure;
            EXPECT_EQ(fs::symlink_status(written).type(), before) << "the node was replaced";
            return;
        }
        EXPECT_EQ(failure, "") << "a link in a work file's place is replaced";
        EXPECT_EQ(fs::symlink_status(written).type(), fs::file_type::regular);
        for (const auto& entry : fs::directory_iterator(dir.path())) {
            if (entry.path() != path && entry.path() != written) {
                EXPECT_NE(entry.symlink_status().type(), fs::file_type::regular)
                    << entry.path() << ": what the link named was replaced";
            }
        }
    };
    std::string failure = failureOf([&] { WriteProgramImage(path, FontSet()); });
    expectWorkFileWritten(path, failure == "(no failure)" ? "" : failure);
    // The packer's output: FONT1.bin is a regular image here and FONT1.8xp the node.
    ASSERT_EQ(makeNode(GetParam().node, dir / "FONT1.8xp"), "");
    fs::remove(path);
    test::writeFile(path, "\xC9");
    std::ostringstream output;
    std::ostringstream errors;
    const std::string_view arguments[] = {"prgforge", "FONT1"};
    EXPECT_EQ(RunPacker(arguments, dir.path(), output, errors), link ? 0 : 1);
    expectWorkFileWritten(dir / "FONT1.8xp", errors.str());
}

INSTANTIATE_TEST_SUITE_P(
    Nodes, NonRegularFiles,
    testing::Values(
        NodeCase{"fifo", Node::Fifo, "is not a regular file", true},
        NodeCase{"socket", Node::Socket, "is not a regular file", true},
        NodeCase{"device", Node::Device, "is not a regular file", true},
        NodeCase{"link_to_fifo", Node::LinkToFifo, "is not a regular file", true},
        NodeCase{"link_to_dev_zero", Node::LinkToDevZero, "is not a regular file", false},
        NodeCase{"link_loop", Node::LinkLoop, "oo many levels of symbolic links", true}),
    [](const auto& param) { return std::string(param.param.name); });

TEST(InputFile, RefusesAFileLargerThanItsLimitAfterOneByteMore) {
    const TempDir dir;
    test::writeFile(dir / "art.txt", "12345");
    EXPECT_EQ(ReadWholeFile(dir / "art.txt", 5), "12345");
    try {
        (void)ReadWholeFile(dir / "art.txt", 4);
        FAIL() << "a file beyond the limit was read";
    } catch (const FileError& error) {
        EXPECT_EQ(error.cause(), "is larger than 4 bytes");
    }
}

// Larger than the reader's first buffer, so that the file comes in several reads.
TEST(InputFile, ReadsAFileOfManyBuffersWholeAndStillRefusesOneByteTooMany) {
    const TempDir dir;
    std::string art(300'000, '.');
    for (std::size_t i = 0; i < art.size(); i += 997)
        art[i] = static_cast<char>('a' + i % 26);
    test::writeFile(dir / "art.txt", art);
    EXPECT_EQ(ReadWholeFile(dir / "art.txt", 64u << 20), art);
    EXPECT_EQ(ReadWholeFile(dir / "art.txt", art.size()), art);
    EXPECT_THROW((void)ReadWholeFile(dir / "art.txt", art.size() - 1), FileError);
}

} // namespace
} // namespace korvalin
