// The editor window: showing a character and clicking a cell, with and without painting.
#include "CountedLoop.h"
#include "FontSetFile.h"
#include "Form1.h"
#include "ScriptedPlatform.h"
#include "TestSets.h"

#include <QApplication>
#include <QEvent>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <poll.h>
#include <unistd.h>

namespace korvalin {
namespace {

namespace fs = std::filesystem;

// Neighbouring characters differ in every cell, so showing the next repaints all 70
// cells: the worst case of ShowCharacter.
using test::alternatingSet;

// The desktop as a benchmark sees it: the tests' scripted platform over a program folder
// holding the default set, whose launches run to their end so that a Compile is timed up to
// its program file.
class BenchPlatform : public test::ScriptedPlatform {
public:
    BenchPlatform() {
        programDirectory =
            fs::temp_directory_path() / ("korvalin-uibench-" + std::to_string(::getpid()));
        fs::create_directories(programDirectory);
        WriteFontSetFile(programDirectory / "default.8xfont", alternatingSet());
    }
    BenchPlatform(const BenchPlatform&) = delete;
    BenchPlatform& operator=(const BenchPlatform&) = delete;
    ~BenchPlatform() override {
        std::error_code ignored;
        fs::remove_all(programDirectory, ignored);
    }

    // Unrecorded, so that a long run does not time a growing list of launches; it ends
    // before the call returns, so the end is told at once.
    void StartProcess(const LaunchRequest& request, ProcessEnded onEnd) override {
        auto process = Launch(request);
        pollfd ended{static_cast<int>(process->notifier()), POLLIN, 0};
        std::optional<ProcessOutcome> outcome;
        while (!(outcome = process->poll()))
            ::poll(&ended, 1, -1);
        onEnd(*outcome);
    }

    [[nodiscard]] const fs::path& folder() const { return programDirectory; }
};

// Counts the paint events the cells get, to show that a variant really paints them.
class PaintCounter : public QObject {
public:
    PaintCounter() { qApp->installEventFilter(this); }
    PaintCounter(const PaintCounter&) = delete;
    PaintCounter& operator=(const PaintCounter&) = delete;
    ~PaintCounter() override { qApp->removeEventFilter(this); }

    int cellPaints = 0;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && qobject_cast<CellGrid*>(watched) != nullptr)
            ++cellPaints;
        return false;
    }
};

// How a variant brings the change to the screen: not at all (the handler alone, which only
// marks the cells dirty), at once as repaint() does, or through the event loop as in the
// running editor.
constexpr int kNoPaint = 0;
constexpr int kRepaint = 1;
constexpr int kEventLoop = 2;

const char* paintLabel(int paint) {
    switch (paint) {
    case kRepaint:
        return "set colours + repaint";
    case kEventLoop:
        return "set colours + event loop paint";
    default:
        return "set colours";
    }
}

// A shown editor window with its default set loaded.
struct ShownEditor {
    BenchPlatform platform;
    Form1 form{platform};

    ShownEditor() {
        form.editor().Form_Load();
        form.show();
        QCoreApplication::processEvents();
    }
};

// Makes `change` and brings it to the screen as the benchmark's argument says; one counted
// step outside the timing says what a step paints.
template <typename Change>
void measurePaintedChange(benchmark::State& state, const char* name, Change change) {
    const int paint = static_cast<int>(state.range(0));
    ShownEditor editor;
    Form1& form = editor.form;
    auto* const pixelGrid = form.findChild<CellGrid*>(QStringLiteral("pixel"));
    auto* const previewGrid = form.findChild<CellGrid*>(QStringLiteral("preview"));
    if (pixelGrid == nullptr || previewGrid == nullptr) {
        state.SkipWithError("the window has no grids named pixel and preview");
        return;
    }
    const auto step = [&] {
        change(form);
        if (paint == kRepaint) {
            pixelGrid->repaint();
            previewGrid->repaint();
        } else if (paint == kEventLoop) {
            QCoreApplication::processEvents();
        }
    };

    int cellPaints = 0;
    {
        QCoreApplication::processEvents();
        const PaintCounter counter;
        step();
        cellPaints = counter.cellPaints;
    }

    for (auto _ : CountedLoop(state, name + ("/" + std::to_string(paint))))
        step();
    QCoreApplication::processEvents();
    state.counters["grid_paints"] = cellPaints;
    state.SetLabel(paintLabel(paint));
}

void BM_ShowCharacter(benchmark::State& state) {
    measurePaintedChange(state, "BM_ShowCharacter", [](Form1& form) {
        // Sets the code and calls ShowCharacter, nothing more.
        form.editor().cmdNextChar_Click();
    });
}
BENCHMARK(BM_ShowCharacter)->Arg(kNoPaint)->Arg(kRepaint)->Arg(kEventLoop);

void BM_PixelClick(benchmark::State& state) {
    measurePaintedChange(state, "BM_PixelClick",
                         [](Form1& form) { form.editor().pixel_Click(17); });
}
BENCHMARK(BM_PixelClick)->Arg(kNoPaint)->Arg(kRepaint)->Arg(kEventLoop);

// Compile from the name prompt to the program file on disk: image, script, the script's
// shell, the packer and the removal of the image.
void BM_CompileEndToEnd(benchmark::State& state) {
    ShownEditor editor;
    fs::copy_file(PRGFORGE_PATH, editor.platform.folder() / "prgforge");
    const fs::path program = editor.platform.folder() / "FONT1.8xp";
    editor.platform.inputReplies.emplace_back("FONT1");
    for (auto _ : CountedLoop(state, "BM_CompileEndToEnd")) {
        editor.form.editor().mnuCompile_Click();
        state.PauseTiming();
        editor.platform.inputReplies.emplace_back("FONT1");
        if (!fs::exists(program) || fs::exists(editor.platform.folder() / "FONT1.bin"))
            state.SkipWithError("the packaging script did not make FONT1.8xp");
        fs::remove(program);
        if (!editor.platform.notices.empty() || !editor.platform.messages.empty())
            state.SkipWithError("Compile told the user of a failure");
        state.ResumeTiming();
    }
}
BENCHMARK(BM_CompileEndToEnd)->Unit(benchmark::kMillisecond)->UseRealTime();

// The offscreen platform warns about every fixed-size window; that says nothing about the
// editor and would bury the figures.
QtMessageHandler previousHandler = nullptr;

void quietMessages(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (message.contains(QLatin1String("does not support propagateSizeHints")))
        return;
    if (previousHandler != nullptr)
        previousHandler(type, context, message);
    else
        std::fprintf(stderr, "%s\n", qPrintable(message));
}

} // namespace
} // namespace korvalin

// The window needs an application object; it runs headless unless told otherwise.
int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    korvalin::previousHandler = qInstallMessageHandler(korvalin::quietMessages);
    benchmark::Initialize(&argc, argv);
    QApplication app(argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
