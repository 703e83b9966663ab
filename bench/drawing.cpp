// Whole-drawing queries and commands over 100k objects: the pick search and
// topmost-at-point (time per query) and Select All followed by Bring to front.

#include "model/Drawing.h"
#include "model/GraphicsKernel.h"
#include "model/PathObjects.h"
#include "model/ShapeObjects.h"
#include "platform/Reporter.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <random>

namespace {

using namespace zavora;

constexpr int kObjects = 100000;
constexpr float kPage = 5000;

class QuietReporter : public Reporter {
public:
    void error(const std::string&) override { }
    void warning(const std::string&) override { }
    void info(const std::string&) override { }
    void status(const std::string&) override { }
};

void fill(Drawing& d)
{
    std::mt19937 rng(7);
    std::uniform_real_distribution<float> pos(0, kPage), size(5, 80);
    for (int i = 0; i < kObjects; ++i) {
        const float x = pos(rng), y = pos(rng), w = size(rng), h = size(rng);
        std::unique_ptr<DrawObject> o;
        switch (i % 4) {
        case 0:
            o = std::make_unique<RectangleObject>(x, y, x + w, y + h);
            break;
        case 1:
            o = std::make_unique<EllipseObject>(x, y, w, h);
            break;
        case 2:
            o = std::make_unique<PolygonObject>(
                PointList { { x, y }, { x + w, y }, { x + w / 2, y + h } }, true);
            break;
        default:
            o = std::make_unique<LineObject>(x, y, x + w, y + h);
        }
        if (i % 2 == 0)
            o->setFillColor(Color::white());
        o->boundingBox(); // as after loading: boxes cached
        d.append(std::move(o));
    }
}

Drawing& sharedDrawing()
{
    static Drawing* d = [] {
        auto* drawing = new Drawing;
        fill(*drawing);
        return drawing;
    }();
    return *d;
}

void BM_PickSearch(benchmark::State& state)
{
    kernel().reset();
    Drawing& d = sharedDrawing();
    std::mt19937 rng(1);
    std::uniform_real_distribution<float> pos(0, kPage);
    PickOptions options;
    options.interior = state.range(0) != 0;
    options.includeLocked = true;
    for (auto _ : state) {
        const float x = pos(rng), y = pos(rng);
        auto hits = d.pick({ x - 2, y - 2, x + 2, y + 2 }, options);
        benchmark::DoNotOptimize(hits.data());
    }
}
BENCHMARK(BM_PickSearch)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

void BM_PickFirstOnly(benchmark::State& state)
{
    kernel().reset();
    Drawing& d = sharedDrawing();
    std::mt19937 rng(2);
    std::uniform_real_distribution<float> pos(0, kPage);
    PickOptions options;
    options.firstOnly = true;
    for (auto _ : state) {
        const float x = pos(rng), y = pos(rng);
        auto hits = d.pick({ x - 2, y - 2, x + 2, y + 2 }, options);
        benchmark::DoNotOptimize(hits.data());
    }
}
BENCHMARK(BM_PickFirstOnly)->Unit(benchmark::kMicrosecond);

void BM_TopmostAtPoint(benchmark::State& state)
{
    kernel().reset();
    Drawing& d = sharedDrawing();
    std::mt19937 rng(3);
    std::uniform_real_distribution<float> pos(0, kPage);
    for (auto _ : state) {
        DrawObject* hit = d.topmostAt(pos(rng), pos(rng));
        benchmark::DoNotOptimize(hit);
    }
}
BENCHMARK(BM_TopmostAtPoint)->Unit(benchmark::kMicrosecond);

void BM_SelectAllBringToFront(benchmark::State& state)
{
    QuietReporter quiet;
    setReporter(&quiet);
    Drawing d;
    fill(d);
    for (auto _ : state) {
        d.selectAll();
        d.bringToFront();
    }
    setReporter(nullptr);
}
BENCHMARK(BM_SelectAllBringToFront)->Unit(benchmark::kMillisecond);

} // namespace
