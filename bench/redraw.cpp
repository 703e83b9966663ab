// Full redraw of generated drawings (10 000 and 100 000 objects of every
// shape kind, filled, stroked, hatched and dashed) into the 1600 x 1200 view
// buffer at fit-in-window zoom, as the drawing window repaints.
//
// For comparison, Ghostscript rendering the same drawings from our native
// file at the same size and scale (100 dpi is the fit-in-window zoom of 1200 /
// 864 pixels per point): wall time per run, its own start-up included (the
// 0-object case shows that alone), and the child's CPU time as a counter.

#include "BenchDrawing.h"
#include "BenchGhostscript.h"
#include "BenchWindow.h"

#include "model/Drawing.h"
#include "model/PathObjects.h"
#include "model/ShapeObjects.h"
#include "export/Export.h"


#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>
#include <random>
#include <string>

namespace {

using namespace zavora;

constexpr int kWidth = bench::kWindowWidth;
constexpr int kHeight = bench::kWindowHeight;
constexpr float kPageWidth = bench::kLetterWidth;
constexpr float kPageHeight = bench::kLetterHeight;

std::unique_ptr<DrawObject> randomObject(std::mt19937& random)
{
    std::uniform_real_distribution<float> x(0, kPageWidth), y(0, kPageHeight), size(4, 60), unit(0, 1);
    const float x0 = x(random), y0 = y(random), w = size(random), h = size(random);
    std::unique_ptr<DrawObject> object;
    const float kind = unit(random);
    if (kind < 0.30f) {
        object = std::make_unique<RectangleObject>(x0, y0, x0 + w, y0 + h);
    } else if (kind < 0.55f) {
        object = std::make_unique<EllipseObject>(x0, y0, w / 2, h / 2);
    } else if (kind < 0.70f) {
        object = std::make_unique<LineObject>(x0, y0, x0 + w, y0 + h);
        object->setArrows(kArrowNone, unit(random) < 0.3f ? 1 : kArrowNone);
    } else if (kind < 0.85f) {
        PointList points;
        for (int i = 0; i < 5; ++i)
            points.push_back({ x0 + w * unit(random), y0 + h * unit(random) });
        object = std::make_unique<PolygonObject>(points, unit(random) < 0.5f);
    } else if (kind < 0.95f) {
        NodeList nodes;
        for (int i = 0; i < 4; ++i)
            nodes.push_back(makeNode(x0 + w * unit(random), y0 + h * unit(random)));
        smoothNodes(nodes, false);
        object = std::make_unique<CurveObject>(nodes, false);
    } else {
        object = std::make_unique<RoundRectObject>(x0, y0, x0 + w, y0 + h, 6, 6);
    }
    PaintStyle style;
    style.setLineWidth(std::uniform_int_distribution<int>(0, 4)(random) * 0.5f);
    style.setLineColor({ 100 * unit(random), 100 * unit(random), 100 * unit(random) });
    const float paint = unit(random);
    if (paint < 0.5f)
        style.setFillColor({ 100 * unit(random), 100 * unit(random), 100 * unit(random) });
    else if (paint < 0.6f)
        style.setFillPattern(std::uniform_int_distribution<int>(0, kPatternCount - 1)(random));
    if (unit(random) < 0.1f)
        style.setDash(std::uniform_int_distribution<int>(0, kDashCount - 1)(random));
    object->setStyle(style);
    return object;
}

const Drawing& drawing(int count)
{
    return bench::drawingOnce(count, [](Drawing& d, int n) {
        std::mt19937 random { unsigned(n) };
        for (int i = 0; i < n; ++i)
            d.append(randomObject(random));
    });
}

void fullRedraw(benchmark::State& state, int mode, bool smoothed = false)
{
    bench::timeFullRedraw(state, drawing(int(state.range(0))), { mode, smoothed, false });
}

void BM_FullRedraw(benchmark::State& state)
{
    fullRedraw(state, kDrawFinal);
}
void BM_FullRedrawOutlines(benchmark::State& state)
{
    fullRedraw(state, kDrawOutline);
}
// The filled view with smoothing on, as the drawing window shows it.
void BM_FullRedrawSmoothed(benchmark::State& state)
{
    fullRedraw(state, kDrawFinal, true);
}

void BM_GhostscriptRender(benchmark::State& state)
{
    const int count = int(state.range(0));
    static const Drawing empty;
    bench::timeGhostscript(state, count > 0 ? drawing(count) : empty,
        std::filesystem::temp_directory_path() / ("zavora-bench-redraw-" + std::to_string(count) + ".zvx"),
        "-sDEVICE=png16m -g" + std::to_string(kWidth) + "x" + std::to_string(kHeight) + " -r100 -o /dev/null");
}

BENCHMARK(BM_FullRedraw)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FullRedrawOutlines)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FullRedrawSmoothed)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GhostscriptRender)
    ->Arg(0)
    ->Arg(10000)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

} // namespace
