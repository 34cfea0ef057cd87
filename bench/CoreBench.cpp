// Font set files, the program image and the packer's conversion.
#include "AtomicFile.h"
#include "CountedLoop.h"
#include "FontSetFile.h"
#include "ProgramImage.h"
#include "ProgramVariable.h"
#include "TestSets.h"

#include <algorithm>
#include <benchmark/benchmark.h>
#include <charconv>
#include <fcntl.h>
#include <filesystem>
#include <sstream>
#include <string_view>
#include <unistd.h>

namespace korvalin {
namespace {

namespace fs = std::filesystem;

using test::paperSet;

// tmpfs where there is one, so the figures are the program's and not the disk's.
fs::path benchFolder(bool onDisk) {
    const fs::path base =
        !onDisk && fs::is_directory("/dev/shm") ? fs::path("/dev/shm") : fs::temp_directory_path();
    const fs::path folder = base / ("korvalin-bench-" + std::to_string(::getpid()));
    fs::create_directories(folder);
    return folder;
}

void BM_ReadFontSetFile(benchmark::State& state) {
    const fs::path path = benchFolder(false) / "clear.8xfont";
    WriteFontSetFile(path, paperSet());
    FontSet table;
    for (auto _ : CountedLoop(state, "BM_ReadFontSetFile")) {
        ReadFontSetFile(path, table);
        benchmark::DoNotOptimize(table);
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(fs::file_size(path)));
    fs::remove_all(path.parent_path());
}
BENCHMARK(BM_ReadFontSetFile);

void BM_ReadFontSetText(benchmark::State& state) {
    const std::string text = FontSetText(paperSet());
    FontSet table;
    for (auto _ : CountedLoop(state, "BM_ReadFontSetText")) {
        std::istringstream in(text);
        ReadFontSet(in, "memory", table);
        benchmark::DoNotOptimize(table);
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(text.size()));
}
BENCHMARK(BM_ReadFontSetText);

// The floors' reading: a bare std::from_chars loop, with no checks of the separators, the
// range or the count.
void readBare(std::string_view text, FontSet& table) {
    const char* at = text.data();
    const char* const end = at + text.size();
    for (CellValue& cell : table.cells()) {
        while (at != end && (*at == ' ' || *at == '\r' || *at == '\n'))
            ++at;
        at = std::from_chars(at, end, cell).ptr;
    }
}

// The floor for the reader: the bare loop over the same text.
void BM_FromCharsFloor(benchmark::State& state) {
    const std::string text = FontSetText(paperSet());
    FontSet table;
    for (auto _ : CountedLoop(state, "BM_FromCharsFloor")) {
        readBare(text, table);
        benchmark::DoNotOptimize(table);
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(text.size()));
}
BENCHMARK(BM_FromCharsFloor);

// The floor for reading the file: open, one read of the whole file, close, and the bare
// loop, with no checks of what the path names.
void BM_ReadFileFloor(benchmark::State& state) {
    const fs::path path = benchFolder(false) / "clear.8xfont";
    WriteFontSetFile(path, paperSet());
    std::string text(fs::file_size(path), '\0');
    FontSet table;
    for (auto _ : CountedLoop(state, "BM_ReadFileFloor")) {
        const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
        const ssize_t got = ::read(fd, text.data(), text.size());
        ::close(fd);
        readBare(std::string_view(text).substr(0, got > 0 ? static_cast<std::size_t>(got) : 0),
                 table);
        benchmark::DoNotOptimize(table);
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(text.size()));
    fs::remove_all(path.parent_path());
}
BENCHMARK(BM_ReadFileFloor);

void BM_FontSetText(benchmark::State& state) {
    const FontSet table = paperSet();
    for (auto _ : CountedLoop(state, "BM_FontSetText"))
        benchmark::DoNotOptimize(FontSetText(table));
    state.SetBytesProcessed(state.iterations() * 62720);
}
BENCHMARK(BM_FontSetText);

// The floor for the writer: one buffer of the text's size and a bare std::to_chars loop
// into it, with the line ends but no signs.
void BM_ToCharsFloor(benchmark::State& state) {
    const FontSet table = paperSet();
    for (auto _ : CountedLoop(state, "BM_ToCharsFloor")) {
        std::string text(62720, '\0');
        char* out = text.data();
        char* const end = out + text.size();
        for (const CellValue value : table.cells()) {
            *out++ = ' ';
            out = std::to_chars(out, end, value).ptr;
            out = std::copy_n(" \r\n", 3, out);
        }
        benchmark::DoNotOptimize(text);
    }
    state.SetBytesProcessed(state.iterations() * 62720);
}
BENCHMARK(BM_ToCharsFloor);

// The whole crash-safe save over an existing set: text, temporary file, fsync, rename.
void BM_WriteFontSetFile(benchmark::State& state) {
    const bool onDisk = state.range(0) != 0;
    const fs::path path = benchFolder(onDisk) / "clear.8xfont";
    const FontSet table = paperSet();
    WriteFontSetFile(path, table);
    for (auto _ : CountedLoop(state, "BM_WriteFontSetFile/" + std::to_string(onDisk)))
        WriteFontSetFile(path, table);
    state.SetBytesProcessed(state.iterations() * 62720);
    state.SetLabel(onDisk ? "disk, with fsync" : "tmpfs");
    fs::remove_all(path.parent_path());
}
BENCHMARK(BM_WriteFontSetFile)->Arg(0)->Arg(1);

// The floor for the save: the same text and the eight calls that make a replacement
// durable (the file's fsync before the rename, the folder's after it), with no checks.
void BM_SaveFloor(benchmark::State& state) {
    const bool onDisk = state.range(0) != 0;
    const fs::path folder = benchFolder(onDisk);
    const FontSet table = paperSet();
    for (auto _ : CountedLoop(state, "BM_SaveFloor/" + std::to_string(onDisk))) {
        const std::string text = FontSetText(table);
        const int folderFd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        const int fd = ::openat(folderFd, ".clear.8xfont.saving",
                                O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        benchmark::DoNotOptimize(::write(fd, text.data(), text.size()));
        ::fsync(fd);
        ::close(fd);
        ::renameat(folderFd, ".clear.8xfont.saving", folderFd, "clear.8xfont");
        ::fsync(folderFd);
        ::close(folderFd);
    }
    state.SetBytesProcessed(state.iterations() * 62720);
    state.SetLabel(onDisk ? "disk, with fsync" : "tmpfs");
    fs::remove_all(folder);
}
BENCHMARK(BM_SaveFloor)->Arg(0)->Arg(1);

void BM_BuildProgramImage(benchmark::State& state) {
    const FontSet table = paperSet();
    for (auto _ : CountedLoop(state, "BM_BuildProgramImage"))
        benchmark::DoNotOptimize(BuildProgramImage(table));
}
BENCHMARK(BM_BuildProgramImage);

void BM_PackProgramVariable(benchmark::State& state) {
    const ProgramImage image = BuildProgramImage(paperSet());
    for (auto _ : CountedLoop(state, "BM_PackProgramVariable"))
        benchmark::DoNotOptimize(PackProgramVariable("FONT1", image, "Korvalin font set"));
}
BENCHMARK(BM_PackProgramVariable);

} // namespace
} // namespace korvalin
