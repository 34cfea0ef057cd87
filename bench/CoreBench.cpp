// Font set files, the program image and the packer's conversion.
#include "AtomicFile.h"
#include "FontSetFile.h"
#include "ProgramImage.h"
#include "ProgramVariable.h"
#include "TestSets.h"

#include <algorithm>
#include <benchmark/benchmark.h>
#include <charconv>
#include <filesystem>
#include <sstream>
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
    for (auto _ : state) {
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
    for (auto _ : state) {
        std::istringstream in(text);
        ReadFontSet(in, "memory", table);
        benchmark::DoNotOptimize(table);
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(text.size()));
}
BENCHMARK(BM_ReadFontSetText);

// The floor for the reader: a bare std::from_chars loop over the same text, with no checks
// of the separators, the range or the count.
void BM_FromCharsFloor(benchmark::State& state) {
    const std::string text = FontSetText(paperSet());
    FontSet table;
    for (auto _ : state) {
        const char* at = text.data();
        const char* const end = at + text.size();
        for (CellValue& cell : table.cells()) {
            while (at != end && (*at == ' ' || *at == '\r' || *at == '\n'))
                ++at;
            at = std::from_chars(at, end, cell).ptr;
        }
        benchmark::DoNotOptimize(table);
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(text.size()));
}
BENCHMARK(BM_FromCharsFloor);

void BM_FontSetText(benchmark::State& state) {
    const FontSet table = paperSet();
    for (auto _ : state)
        benchmark::DoNotOptimize(FontSetText(table));
    state.SetBytesProcessed(state.iterations() * 62720);
}
BENCHMARK(BM_FontSetText);

// The floor for the writer: one buffer of the text's size and a bare std::to_chars loop
// into it, with the line ends but no signs.
void BM_ToCharsFloor(benchmark::State& state) {
    const FontSet table = paperSet();
    for (auto _ : state) {
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

// The whole crash-safe save: text, temporary file, fsync, rename.
void BM_WriteFontSetFile(benchmark::State& state) {
    const bool onDisk = state.range(0) != 0;
    const fs::path path = benchFolder(onDisk) / "clear.8xfont";
    const FontSet table = paperSet();
    for (auto _ : state)
        WriteFontSetFile(path, table);
    state.SetBytesProcessed(state.iterations() * 62720);
    state.SetLabel(onDisk ? "disk, with fsync" : "tmpfs");
    fs::remove_all(path.parent_path());
}
BENCHMARK(BM_WriteFontSetFile)->Arg(0)->Arg(1);

void BM_BuildProgramImage(benchmark::State& state) {
    const FontSet table = paperSet();
    for (auto _ : state)
        benchmark::DoNotOptimize(BuildProgramImage(table));
}
BENCHMARK(BM_BuildProgramImage);

void BM_PackProgramVariable(benchmark::State& state) {
    const ProgramImage image = BuildProgramImage(paperSet());
    for (auto _ : state)
        benchmark::DoNotOptimize(PackProgramVariable("FONT1", image, "Korvalin font set"));
}
BENCHMARK(BM_PackProgramVariable);

} // namespace
} // namespace korvalin
