#include "FileError.h"
#include "FontSetFile.h"
#include "SaveLoopProcess.h"
#include "SaveLoopSets.h"
#include "TempDir.h"
#include "TinyTmpfs.h"
#include "ToolProcess.h"

#include <chrono>
#include <cstdlib>
#include <fnmatch.h>
#include <gtest/gtest.h>
#include <iostream>
#include <random>
#include <string>
#include <sys/statvfs.h>
#include <thread>
#include <vector>

namespace korvalin {
namespace {

namespace fs = std::filesystem;
using test::readFile;
using test::TempDir;

constexpr int kTrials = 200;
constexpr int kMaxSleepMicroseconds = 20000;

// Fixed so that a failing run can be repeated; KORVALIN_CRASH_SEED tries other moments.
std::mt19937::result_type crashSeed() {
    if (const char* seed = std::getenv("KORVALIN_CRASH_SEED"))
        return static_cast<std::mt19937::result_type>(std::strtoul(seed, nullptr, 10));
    return 20240611;
}

std::vector<std::string> otherEntries(const fs::path& folder, const fs::path& target) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) {
        if (entry.path().filename() != target.filename())
            names.push_back(entry.path().filename().string());
    }
    return names;
}

// Where two texts first differ, to describe a mixed file in one line.
std::size_t firstDifference(const std::string& a, const std::string& b) {
    std::size_t i = 0;
    while (i < a.size() && i < b.size() && a[i] == b[i])
        ++i;
    return i;
}

TEST(CrashSafeSave, KillAtRandomMomentsLeavesOldOrNewFile) {
    const std::string textA = FontSetText(test::saveLoopSetA());
    const std::string textB = FontSetText(test::saveLoopSetB());
    ASSERT_LT(textA.size(), textB.size());

    const TempDir dir;
    const fs::path target = dir / "kill.8xfont";
    const auto seed = crashSeed();
    std::cout << "seed " << seed << ", " << kTrials << " trials\n";
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> sleepMicroseconds(0, kMaxSleepMicroseconds);

    int endedOnA = 0;
    int endedOnB = 0;
    const auto start = std::chrono::steady_clock::now();
    for (int trial = 0; trial < kTrials; ++trial) {
        const int pause = sleepMicroseconds(random);
        test::SaveLoopProcess child(SAVE_LOOP_PATH, target);
        ASSERT_TRUE(child.waitUntilReady(std::chrono::seconds(10)))
            << "trial " << trial << ": save_loop ended or hung before its first save";
        std::this_thread::sleep_for(std::chrono::microseconds(pause));
        const int status = child.killAndReap();
        ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL)
            << "trial " << trial << ": save_loop stopped by itself before the kill, status "
            << status;

        const std::string text = readFile(target);
        if (text == textA) {
            ++endedOnA;
        } else if (text == textB) {
            ++endedOnB;
        } else {
            FAIL() << "trial " << trial << " (kill after " << pause << " us) left " << text.size()
                   << " bytes, neither A (" << textA.size() << ") nor B (" << textB.size()
                   << "); first difference from A at " << firstDifference(text, textA)
                   << ", from B at " << firstDifference(text, textB);
        }
    }
    const auto elapsed = std::chrono::duration<double>(std::chrono::steady_clock::now() - start);

    const std::vector<std::string> leftovers = otherEntries(dir.path(), target);
    std::cout << "ended on A " << endedOnA << ", on B " << endedOnB << ", leftover temporary files "
              << leftovers.size() << ", " << elapsed.count() << " s\n";
    // Kills that only ever land on one set would prove nothing about the moments in between.
    EXPECT_GT(endedOnA, 0);
    EXPECT_GT(endedOnB, 0);

    // Each save removes what the killed ones before it left, so only the last kill's
    // temporary file can remain: hidden, and skipped by the Open dialog's filter.
    EXPECT_LE(leftovers.size(), 1u);
    const std::string leftoverPrefix = "." + target.filename().string() + ".saving-";
    for (const std::string& name : leftovers) {
        EXPECT_TRUE(name.starts_with(leftoverPrefix)) << name;
        EXPECT_EQ(::fnmatch("*.8xfont", name.c_str(), 0), FNM_NOMATCH) << name;
    }

    // The next save removes the leftover of the ended process, and opening still works.
    FontSet mixed = test::saveLoopSetB();
    mixed.setCell(65, 17, 7);
    ASSERT_NO_THROW(WriteFontSetFile(target, mixed));
    FontSet loaded;
    ASSERT_NO_THROW(ReadFontSetFile(target, loaded));
    EXPECT_EQ(loaded, mixed);
    EXPECT_TRUE(otherEntries(dir.path(), target).empty());
}

TEST(CrashSafeSave, FullDiskFailsCleanlyAndKeepsTheOldFile) {
    const TempDir dir;
    // 80 KiB holds A (62,720 bytes) but not A and the temporary copy of B beside it.
    const test::TinyTmpfs disk(dir / "tiny", "80k");
    if (!disk.mounted())
        GTEST_SKIP() << "needs root to mount a tmpfs: " << disk.reason();

    const fs::path target = dir / "tiny" / "full.8xfont";
    const std::string textA = FontSetText(test::saveLoopSetA());
    ASSERT_NO_THROW(WriteFontSetFile(target, test::saveLoopSetA()));
    ASSERT_EQ(readFile(target), textA);

    struct statvfs before {};
    ASSERT_EQ(::statvfs(target.parent_path().c_str(), &before), 0);
    const auto freeBytes = static_cast<unsigned long long>(before.f_bavail) * before.f_frsize;
    ASSERT_LT(freeBytes, FontSetText(test::saveLoopSetB()).size()) << "B would fit";

    try {
        WriteFontSetFile(target, test::saveLoopSetB());
        FAIL() << "a save larger than the free space succeeded";
    } catch (const FileError& error) {
        EXPECT_EQ(error.path(), target);
        EXPECT_NE(error.cause().find("the disk is full"), std::string::npos) << error.what();
    }
    EXPECT_EQ(readFile(target), textA);
    EXPECT_TRUE(otherEntries(target.parent_path(), target).empty())
        << "a temporary file was left behind";

    // The partial temporary file's space is given back, not held by an open descriptor.
    struct statvfs after {};
    ASSERT_EQ(::statvfs(target.parent_path().c_str(), &after), 0);
    EXPECT_EQ(after.f_bavail, before.f_bavail);
}

TEST(CrashSafeSave, AWriteOfNothingFailsInsteadOfSpinning) {
    const TempDir dir;
    const fs::path target = dir / "zero.8xfont";
    ASSERT_NO_THROW(WriteFontSetFile(target, test::saveLoopSetA()));
    // The sanitizers' runtime wants to come first; the shim only replaces write(). A save
    // that spins spends its processor time, whatever else the machine is doing.
    const test::ProcessRun run =
        test::run({.program = SAVE_LOOP_PATH,
                   .arguments = {target.string(), "once"},
                   .err = {test::Stdout::File, dir / "errors.txt"},
                   .environment = test::environmentWith({"LD_PRELOAD=" WRITE_ZERO_SHIM_PATH,
                                                         "KORVALIN_WRITE_ZERO=zero.8xfont",
                                                         "ASAN_OPTIONS=verify_asan_link_order=0"}),
                   .limits = {{RLIMIT_CPU, 10, 11}, {RLIMIT_CORE, 0, 0}}});
    ASSERT_EQ(run.signal, 0) << "the save was still looping after 10 s of processor time";
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("zero.8xfont: cannot be written: "), std::string::npos) << run.err;
    EXPECT_EQ(readFile(target), FontSetText(test::saveLoopSetA()));
    EXPECT_EQ(otherEntries(dir.path(), target), std::vector<std::string>{"errors.txt"});
}

} // namespace
} // namespace korvalin
