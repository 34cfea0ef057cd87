// The import of a BDF font, once its file is read, against a floor that does the same
// reading: the goal is in instructions per byte of the file.
#include "CountedLoop.h"
#include "FontImport.h"
#include "TestSets.h"

#include <benchmark/benchmark.h>
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>

namespace korvalin {
namespace {

// A BDF of 8192 glyphs of 8 x 16 pixels, 1.1 MB, laid out as bdftopcf and FontForge write
// them; the rows are noise from a fixed seed, so every run reads the same bytes.
std::string benchBdf() {
    constexpr int kGlyphs = 8192;
    std::string bdf = "STARTFONT 2.1\nFONT -bench-fixed-medium-r-normal--16-160-75-75-c-80-"
                      "iso10646-1\nSIZE 16 75 75\nFONTBOUNDINGBOX 8 16 0 -2\nSTARTPROPERTIES 4\n"
                      "CHARSET_REGISTRY \"ISO10646\"\nCHARSET_ENCODING \"1\"\nFONT_ASCENT 14\n"
                      "FONT_DESCENT 2\nENDPROPERTIES\nCHARS 8192\n";
    unsigned seed = 1;
    char line[64];
    for (int code = 0; code < kGlyphs; ++code) {
        std::snprintf(line, sizeof line, "STARTCHAR uni%04X\nENCODING %d\n", code, code);
        bdf += line;
        bdf += "SWIDTH 500 0\nDWIDTH 8 0\nBBX 8 16 0 -2\nBITMAP\n";
        for (int row = 0; row < 16; ++row) {
            seed = seed * 1103515245 + 12345;
            std::snprintf(line, sizeof line, "%02X\n", seed >> 24);
            bdf += line;
        }
        bdf += "ENDCHAR\n";
    }
    return bdf + "ENDFONT\n";
}

void BM_ImportBdf(benchmark::State& state) {
    const std::string bdf = benchBdf();
    const FontSet base = test::paperSet();
    for (auto _ : CountedLoop(state, "BM_ImportBdf"))
        benchmark::DoNotOptimize(ImportFontBytes(bdf, "bench.bdf", base));
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(bdf.size()));
}
BENCHMARK(BM_ImportBdf)->Unit(benchmark::kMillisecond);

int hexValue(char c) {
    return c <= '9' ? c - '0' : (c | 0x20) - 'a' + 10;
}

// The floor: the bytes copied as the import takes them, every line found with memchr and
// every bitmap row's digits turned into bytes, with no other keyword, no check and nothing
// kept.
void BM_BdfReadFloor(benchmark::State& state) {
    const std::string bdf = benchBdf();
    for (auto _ : CountedLoop(state, "BM_BdfReadFloor")) {
        const std::string bytes = bdf;
        unsigned ink = 0;
        bool inBitmap = false;
        const char* at = bytes.data();
        const char* const end = at + bytes.size();
        while (at != end) {
            const auto* found =
                static_cast<const char*>(std::memchr(at, '\n', static_cast<std::size_t>(end - at)));
            const char* const stop = found ? found : end;
            const std::string_view line(at, static_cast<std::size_t>(stop - at));
            if (!inBitmap)
                inBitmap = line == "BITMAP";
            else if (line == "ENDCHAR")
                inBitmap = false;
            else
                for (std::size_t i = 0; i + 1 < line.size(); i += 2)
                    ink += static_cast<unsigned>(hexValue(line[i]) << 4 | hexValue(line[i + 1]));
            at = found ? found + 1 : end;
        }
        benchmark::DoNotOptimize(ink);
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(bdf.size()));
}
BENCHMARK(BM_BdfReadFloor)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace korvalin
