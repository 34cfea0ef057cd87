// The preview command: the candidates the import's judge weighed, side by side.
#include "CommandSupport.h"
#include "Commands.h"
#include "ImportSupport.h"
#include "PngCodec.h"
#include "Preview.h"
#include "StandardStreams.h"

#include <algorithm>
#include <cstdio>

namespace korvalin {
namespace {

constexpr int kDefaultCount = 12;
constexpr int kMostCount = 100;
constexpr int kDefaultScale = 2;
constexpr int kMostScale = 8;

int numberOr(Invocation& call, const char* name, int fallback, int most) {
    if (!call.options.isSet(name))
        return fallback;
    const std::optional<int> value = WholeNumber(call.options.value(name));
    if (!value || *value < 1 || *value > most)
        throw UsageError(std::string("--") + name + " takes a whole number from 1 to " +
                         std::to_string(most));
    return *value;
}

std::vector<std::string> candidateLines(const Candidate& candidate, int lettersAndDigits) {
    char penalty[32];
    std::snprintf(penalty, sizeof penalty, "%.1f", candidate.penalty);
    return {candidate.sizeText, "baseline row " + std::to_string(candidate.baseline),
            "penalty " + std::string(penalty) + ", " + std::to_string(candidate.legible) + " of " +
                std::to_string(lettersAndDigits) + " legible"};
}

} // namespace

int RunPreview(Invocation& call) {
    return Guarded(call, [&] {
        const ImportOptions options = ImportOptionsGiven(call);
        const int count = numberOr(call, "count", kDefaultCount, kMostCount);
        const int scale = numberOr(call, "scale", kDefaultScale, kMostScale);
        const std::string& source = call.positional[0];
        const std::string target = RequiredOutput(call);
        const FontSet baseSet = ReadSetArgument(call, call.options.value("base"));
        const std::filesystem::path name = ArgumentName(source);
        OpenedSource opened =
            OpenSource(ReadArgument(call, source, kMaxFontFileSize), name, options);
        std::vector<PreviewTile> tiles;
        std::string heading;
        if (opened.set) {
            tiles.push_back({ImportFromSet(opened, baseSet, options).table,
                             {"as drawn: no font to judge"},
                             true});
            heading = "the set as drawn";
        } else {
            GlyphSource& font = *opened.font;
            Judgement judgement;
            (void)ImportFromFont(font, baseSet, name, options, &judgement);
            // The best baseline of each rendering, best first.
            std::vector<Rendering> shown;
            for (const Candidate& candidate : judgement.candidates) {
                if (static_cast<int>(tiles.size()) == count ||
                    std::ranges::find(shown, candidate.rendering) != shown.end())
                    continue;
                shown.push_back(candidate.rendering);
                font.useRendering(candidate.rendering);
                ImportOptions placed = options;
                placed.baseline = candidate.baseline;
                tiles.push_back({PlaceGlyphs(font, baseSet, name, placed).table,
                                 candidateLines(candidate, judgement.lettersAndDigits),
                                 tiles.empty()});
            }
            heading = std::to_string(tiles.size()) + " of " +
                      std::to_string(judgement.candidates.size()) +
                      " candidates, the most legible first";
        }
        const std::string sample =
            call.options.isSet("text") ? call.options.value("text") : std::string(kPreviewSample);
        WriteOutput(call, target, EncodePng(RenderPreview(tiles, heading, baseSet, sample), scale));
    });
}

} // namespace korvalin
