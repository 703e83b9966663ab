// Pointer moves while the selection tool drags 1 000 selected objects over a
// 10 000-object drawing: the time to handle one move event (the feedback of
// every selected outline over the saved picture). Offscreen platform, the
// real drawing window, QTest mouse events.
#include "app/DrawingWindow.h"
#include "app/MainFrame.h"
#include "app/Shell.h"
#include "bench/BenchDrawing.h"
#include "model/ShapeObjects.h"
#include "platform/Reporter.h"

#include <QApplication>
#include <QEventLoop>
#include <QMouseEvent>
#include <QTest>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <unistd.h>

namespace {

using namespace zavora;
namespace fs = std::filesystem;

QApplication& application()
{
    static int argc = 1;
    static char name[] = "bench_tools";
    static char* argv[] = { name, nullptr };
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    static QApplication app(argc, argv);
    return app;
}

void runUntilIdle(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

void BM_DragSelection1000Of10000(benchmark::State& state)
{
    application();
    char name[] = "/tmp/zavora-bench-tools-XXXXXX";
    const fs::path dir = mkdtemp(name);
    setenv("XDG_CONFIG_HOME", dir.c_str(), 1);
    RecordingReporter quiet;
    Shell::Options options;
    options.executablePath = "/usr/bin/zavora";
    options.showSplash = false;
    options.installReporter = false;
    options.loadFonts = false;
    Shell shell(std::move(options));
    if (!shell.start()) {
        state.SkipWithError("start-up failed");
        return;
    }
    Drawing& drawing = shell.drawing();
    bench::appendScatteredShapes(drawing, 10000, 11);
    // The grabbed square stands in the margin left of the page, away from
    // the handles of the 999 other selected objects.
    DrawObject* grabbed = drawing.append(std::make_unique<RectangleObject>(-50, 380, -10, 420));
    ObjectRefs selection;
    for (std::size_t i = 0; i < 999; ++i)
        selection.push_back(drawing.objectAt(i * 10));
    selection.push_back(grabbed);
    drawing.setSelection(selection);

    MainFrame* frame = shell.frame();
    frame->resize(1280, 800);
    frame->show();
    if (!QTest::qWaitForWindowExposed(frame)) {
        state.SkipWithError("window not exposed");
        return;
    }
    DrawingWindow* window = frame->drawingWindow();
    window->fitInWindow();
    runUntilIdle(200);
    auto px = [&](float x, float y) {
        const Point p = window->view().toWindow(x, y);
        return QPoint(int(std::lround(p.x)), int(std::lround(p.y)));
    };
    const QPoint start = px(-50, 400);
    QTest::mousePress(window, Qt::LeftButton, {}, start);
    int step = 0;
    long moves = 0;
    if (drawing.selection().size() != 1000) {
        state.SkipWithError("the press did not keep the selection");
        return;
    }
    for (auto _ : state) {
        // Back and forth over 40 pixels, never within the 2-pixel dead zone.
        step = (step + 1) % 40;
        // Sent straight to the window, as the platform delivers a move
        // while the button is held.
        const QPointF at = start + QPoint(5 + step, 3 + step / 2);
        QMouseEvent move(QEvent::MouseMove, at, window->mapToGlobal(at), Qt::NoButton, Qt::LeftButton, {});
        QApplication::sendEvent(window, &move);
        ++moves;
    }
    QTest::mouseRelease(window, Qt::LeftButton, {}, start + QPoint(5 + step, 3 + step / 2));
    runUntilIdle(50);
    // One recorded move for the whole drag, and the objects really moved.
    state.counters["recorded"] = double(drawing.history().undoCount());
    state.counters["grabbedLeft"] = grabbed->boundingBox().left;
    frame->hide();
    drawing.history().clear();
    drawing.setModified(false);
    fs::remove_all(dir);
}
BENCHMARK(BM_DragSelection1000Of10000)->Unit(benchmark::kMillisecond)->MinTime(2.0);

} // namespace

BENCHMARK_MAIN();
