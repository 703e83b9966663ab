// Time from start-up to the first painted frame of the drawing window, on
// the bundled sample drawing and on a generated 10 000-object drawing. Runs
// on Qt's offscreen platform; the font catalogue is loaded as in the program.
#include "app/DrawingWindow.h"
#include "app/MainFrame.h"
#include "app/Shell.h"
#include "bench/BenchDrawing.h"
#include "export/Export.h"
#include "platform/Reporter.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <unistd.h>

namespace {

using namespace zavora;
namespace fs = std::filesystem;

fs::path workFolder()
{
    static fs::path folder = [] {
        char name[] = "/tmp/zavora-startup-XXXXXX";
        fs::path p = mkdtemp(name);
        setenv("XDG_CONFIG_HOME", p.c_str(), 1);
        return p;
    }();
    return folder;
}

fs::path generated10k()
{
    static fs::path file = [] {
        fs::path path = workFolder() / "many.zvx";
        Drawing drawing;
        bench::appendScatteredShapes(drawing, 10000, 7);
        if (!saveDrawing(drawing, path.string()))
            std::abort();
        return path;
    }();
    return file;
}

QApplication& application()
{
    static int argc = 1;
    static char name[] = "bench_startup";
    static char* argv[] = { name, nullptr };
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    static QApplication app(argc, argv);
    return app;
}

// Start-up, then the event loop until the drawing window has painted the fitted page.
void startToFirstFrame(benchmark::State& state, const std::string& file)
{
    application();
    workFolder();
    RecordingReporter quiet;
    for (auto _ : state) {
        Shell::Options options;
        options.executablePath = "/usr/bin/zavora";
        options.commandLine = file;
        options.showSplash = false;
        options.installReporter = false;
        Shell shell(std::move(options));
        if (!shell.start()) {
            state.SkipWithError("start-up failed");
            break;
        }
        DrawingWindow* window = shell.frame()->drawingWindow();
        QEventLoop loop;
        QObject::connect(window, &DrawingWindow::painted, &loop, [&] {
            if (window->view().zoomMode() == ZoomMode::FitInWindow)
                loop.quit();
        });
        QTimer::singleShot(20000, &loop, &QEventLoop::quit);
        loop.exec();
        state.PauseTiming();
        shell.frame()->close();
        state.ResumeTiming();
    }
}

void BM_StartupSample(benchmark::State& state)
{
    startToFirstFrame(state, ZAVORA_SOURCE_DIR "/examples/sample.zvx");
}
BENCHMARK(BM_StartupSample)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_Startup10kObjects(benchmark::State& state)
{
    startToFirstFrame(state, generated10k().string());
}
BENCHMARK(BM_Startup10kObjects)->Unit(benchmark::kMillisecond)->Iterations(5);

} // namespace

BENCHMARK_MAIN();
