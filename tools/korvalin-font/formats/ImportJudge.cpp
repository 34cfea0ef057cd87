// The import's judge: which size, hinting and baseline give the most legible set.
//
// Each candidate is scored by a penalty over the letters and digits (weight 1) and the
// common punctuation (weight 1/4), as the glyphs would come out in the cells; a glyph
// counts its worst fault:
//   blank (a letter or digit under 3 cells, other glyphs no ink)          10
//   the same cells as another judged glyph (0 O, 1 l I, g q, v y aside)   6
//   ink cut at the cell's edges: 2, plus 6 times the share of ink cut
//   strokes or counters lost against a 32 px drawing                       3 each, 6 at most
// The lowest penalty wins; ties go to the larger size, then to the font's own hinting
// before the auto-hinter and none, then to the baseline nearest row 5. Tuned on DejaVu
// Sans, DejaVu Sans Mono, Terminus TTF and misc-fixed 6x10; tried on Noto Mono, Liberation
// Mono, FreeMono, Hack, Go Mono and misc-fixed 5x8, 6x9, 6x12 and 6x13.
#include "ImportJudge.h"

#include "Charmap.h"
#include "Legibility.h"
#include "Placement.h"

#include <algorithm>
#include <bit>
#include <map>

namespace korvalin {
namespace {

constexpr double kBlank = 10;
constexpr double kSameAsAnother = 6;
constexpr double kCut = 2;
constexpr double kCutShare = 6;
constexpr double kLostFeature = 3;
constexpr int kMostLostFeatures = 2;
constexpr double kPunctuationWeight = 0.25;

// The symbol of the judged glyph `index`, in the order of JudgedGlyphs().
char judgedSymbol(std::size_t index) {
    return index < kLettersAndDigits.size() ? kLettersAndDigits[index]
                                            : kCommonPunctuation[index - kLettersAndDigits.size()];
}

int hintingRank(Hinting hinting) {
    return hinting == Hinting::Font ? 0 : hinting == Hinting::Auto ? 1 : 2;
}

bool better(const Candidate& a, const Candidate& b) {
    if (a.penalty != b.penalty)
        return a.penalty < b.penalty;
    if (a.rendering.size != b.rendering.size)
        return a.rendering.size > b.rendering.size;
    if (a.rendering.hinting != b.rendering.hinting)
        return hintingRank(a.rendering.hinting) < hintingRank(b.rendering.hinting);
    return std::abs(a.baseline - kDefaultBaseline) < std::abs(b.baseline - kDefaultBaseline);
}

// In the reference drawing, pieces smaller than a 2 x 2 square are specks of its joins.
constexpr int kReferenceSpeck = 4;

std::vector<InkShape> shapes(std::span<const std::optional<SourceGlyph>> glyphs, int smallest) {
    std::vector<InkShape> out;
    out.reserve(glyphs.size());
    for (const auto& glyph : glyphs)
        out.push_back(glyph ? ShapeOf(*glyph, smallest) : InkShape{});
    return out;
}

// The reference shapes of the judged glyphs, where the font has a reference rendering.
std::vector<InkShape> referenceShapes(GlyphSource& font) {
    const std::optional<Rendering> reference = font.referenceRendering();
    if (!reference)
        return {};
    const Rendering current = font.rendering();
    font.useRendering(*reference);
    std::vector<InkShape> out = shapes(JudgedGlyphs(font), kReferenceSpeck);
    font.useRendering(current);
    return out;
}

// The renderings to weigh, in runs of one hinting each from the smallest size up.
std::map<int, std::vector<Rendering>> renderingsToWeigh(const GlyphSource& font,
                                                        const ImportOptions& options) {
    const Rendering current = font.rendering();
    std::map<int, std::vector<Rendering>> runs;
    for (const Rendering& rendering : font.renderings()) {
        if (options.hinting && rendering.hinting != *options.hinting)
            continue;
        Rendering wanted = rendering;
        if (options.size)
            wanted.size = current.size; // the size asked for, in each hinting offered
        auto& run = runs[hintingRank(wanted.hinting)];
        if (std::ranges::find(run, wanted) == run.end())
            run.push_back(wanted);
    }
    if (runs.empty())
        runs[0].push_back(current);
    for (auto& [rank, run] : runs)
        std::ranges::sort(run, {}, &Rendering::size);
    return runs;
}

// Whether capitals come out under four rows tall, too few to tell them apart; a quick
// look at H saves drawing every glyph at sizes that cannot win.
bool tooSmall(GlyphSource& font) {
    const std::optional<SourceGlyph> probe = font.glyph(U'H');
    if (!probe)
        return false;
    int rows = 0;
    for (int y = 0; y < probe->height; ++y) {
        bool inked = false;
        for (int x = 0; x < probe->width && !inked; ++x)
            inked = probe->at(x, y);
        rows += inked ? 1 : 0;
    }
    return rows < 4;
}

struct Verdict {
    Candidate candidate;
    int lettersAndDigitsCut = 0;
};

Verdict weigh(const GlyphSource& font, std::span<const std::optional<SourceGlyph>> glyphs,
              std::span<const int> lostFeatures, std::optional<int> baseline,
              const ImportOptions& options) {
    const Layout layout = FontLayout(font, glyphs, baseline, options);
    std::vector<JudgedGlyph> placed;
    std::vector<std::size_t> index;
    std::vector<double> cutShare;
    for (std::size_t i = 0; i < glyphs.size(); ++i) {
        if (!glyphs[i])
            continue;
        Glyph cells;
        cells.fill(FontSet::kClear);
        const Placed where = PlaceGlyph(*glyphs[i], layout, cells);
        const auto ink = std::ranges::count(glyphs[i]->ink, std::uint8_t{1});
        placed.push_back({judgedSymbol(i), BitsOf(cells)});
        index.push_back(i);
        cutShare.push_back(ink == 0 ? 0.0
                                    : static_cast<double>(where.cut) / static_cast<double>(ink));
    }
    const std::vector<bool> unreadable = Unreadable(placed);
    Verdict verdict;
    verdict.candidate.baseline = layout.baseline;
    for (std::size_t k = 0; k < placed.size(); ++k) {
        const std::size_t i = index[k];
        const bool letterOrDigit = i < kLettersAndDigits.size();
        // A glyph counts its worst fault: one that reads as nothing is lost however it got so.
        double penalty = 0;
        if (unreadable[k])
            penalty = std::popcount(placed[k].bits) < (letterOrDigit ? kLeastLegibleInk : 1)
                          ? kBlank
                          : kSameAsAnother;
        if (cutShare[k] > 0)
            penalty = std::max(penalty, kCut + kCutShare * cutShare[k]);
        const int lost = lostFeatures.empty() ? 0 : lostFeatures[i];
        penalty = std::max(penalty, kLostFeature * std::min(lost, kMostLostFeatures));
        verdict.candidate.penalty += letterOrDigit ? penalty : kPunctuationWeight * penalty;
        if (letterOrDigit) {
            verdict.candidate.legible += penalty == 0 ? 1 : 0;
            verdict.lettersAndDigitsCut += cutShare[k] > 0 ? 1 : 0;
        }
    }
    return verdict;
}

} // namespace

Judgement JudgeImport(GlyphSource& font, const ImportOptions& options) {
    Judgement judgement;
    const std::vector<InkShape> reference = referenceShapes(font);
    // The features each rendering lost, by the index of its first candidate.
    std::map<std::size_t, std::vector<int>> lostFeatures;
    // Weighs the rendering the font is set to on each baseline; returns how few letters
    // and digits any of them cut.
    const auto weighRendering = [&](const Rendering& rendering) {
        const std::vector<std::optional<SourceGlyph>> glyphs = JudgedGlyphs(font);
        std::vector<int>& lost = lostFeatures[judgement.candidates.size()];
        if (!reference.empty()) {
            const std::vector<InkShape> drawn = shapes(glyphs, 1);
            for (std::size_t i = 0; i < drawn.size(); ++i)
                lost.push_back(LostFeatures(reference[i], drawn[i]));
        }
        judgement.lettersAndDigits = static_cast<int>(
            std::count_if(glyphs.begin(), glyphs.begin() + kLettersAndDigits.size(),
                          [](const auto& glyph) { return glyph.has_value(); }));
        std::vector<std::optional<int>> baselines{options.baseline};
        if (!options.baseline && font.ascent() + font.descent() > FontSet::kRows) {
            baselines.clear();
            for (int row = 0; row < FontSet::kRows; ++row)
                baselines.emplace_back(row);
        }
        int fewestCut = judgement.lettersAndDigits;
        for (const std::optional<int>& baseline : baselines) {
            Verdict verdict = weigh(font, glyphs, lost, baseline, options);
            verdict.candidate.rendering = rendering;
            verdict.candidate.sizeText = font.sizeText();
            fewestCut = std::min(fewestCut, verdict.lettersAndDigitsCut);
            judgement.candidates.push_back(std::move(verdict.candidate));
        }
        return fewestCut;
    };
    std::vector<Rendering> small;
    for (const auto& [rank, run] : renderingsToWeigh(font, options)) {
        for (const Rendering& rendering : run) {
            font.useRendering(rendering);
            if (tooSmall(font)) {
                small.push_back(rendering);
                continue;
            }
            // Larger sizes only cut more once most letters and digits are cut.
            if (weighRendering(rendering) * 2 > judgement.lettersAndDigits)
                break;
        }
    }
    // A font whose H is small at every size is weighed at each all the same.
    for (const Rendering& rendering :
         judgement.candidates.empty() ? small : std::vector<Rendering>{}) {
        font.useRendering(rendering);
        (void)weighRendering(rendering);
    }
    const auto chosen = std::ranges::min_element(judgement.candidates, better);
    const auto first =
        std::ranges::find(judgement.candidates, chosen->rendering, &Candidate::rendering);
    const std::vector<int>& lost =
        lostFeatures[static_cast<std::size_t>(first - judgement.candidates.begin())];
    for (std::size_t i = 0; i < lost.size(); ++i) {
        const std::optional<int> code = CodeForSymbol(std::string(1, judgedSymbol(i)));
        if (lost[i] > 0 && code)
            judgement.lostStrokes.push_back(*code);
    }
    std::ranges::sort(judgement.lostStrokes);
    std::ranges::stable_sort(judgement.candidates, better);
    font.useRendering(judgement.candidates.front().rendering);
    return judgement;
}

} // namespace korvalin
