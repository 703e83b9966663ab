// The shared outline geometry (Bezier flattening, arc nodes, arrowhead
// outlines) and the traversal of 100k objects into ports that write nothing:
// the "null" port keeps the base behaviours (shapes reduced to polylines and
// Bezier paths, as a port that overrides only the two pure slots sees them),
// the "empty" port overrides every slot with nothing, so the difference is
// the cost of the base conversions. The time_per_object counter is the CPU
// time of one traversal divided by the number of objects visited.

#include "BenchDrawing.h"
#include "model/Drawing.h"
#include "model/GraphicsKernel.h"
#include "model/GroupObject.h"
#include "model/OutlineGeometry.h"
#include "model/PathObjects.h"
#include "model/ShapeObjects.h"
#include "output/Traversal.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <random>

namespace {

using namespace zavora;

// Keeps the base behaviours; counts what reaches the two pure slots.
class NullPort : public OutputPort {
public:
    std::size_t points = 0;

    bool beginPage(const DocumentInfo&, bool, ProgressMonitor*) override { return true; }
    void endPage(ProgressMonitor*) override { }
    void polyline(const PaintStyle&, const Matrix&, const PointList& p, bool, int, int) override
    {
        points += p.size();
    }
    void curvePath(const PaintStyle&, const Matrix&, const NodeList& n, bool, int, int) override
    {
        points += n.size();
    }
};

// Every shape slot overridden with nothing: the walk alone.
class EmptyPort : public NullPort {
public:
    void ellipse(const PaintStyle&, const Matrix&, float, float, float, float) override { }
    void arc(const PaintStyle&, const Matrix&, float, float, float, float, float, float, int, int) override {
    }
    void line(const PaintStyle&, const Matrix&, float, float, float, float, int, int) override { }
    void rectangle(const PaintStyle&, const Matrix&, float, float, float, float) override { }
    void roundRectangle(const PaintStyle&, const Matrix&, float, float, float, float, float, float) override
    { }
};

std::unique_ptr<DrawObject> makeShape(int kind, float x, float y, float w, float h)
{
    kind %= 7;
    if (kind < bench::kBasicShapes) {
        std::unique_ptr<DrawObject> o = bench::makeBasicShape(kind, x, y, w, h);
        if (kind == 0)
            o->setArrows(kArrowSmall, kArrowNone);
        return o;
    }
    NodeList nodes { { x, y, x, y, x + w / 3, y + h, 0 }, { x + w, y, x + w * 2 / 3, y + h, x + w, y, 0 } };
    return std::make_unique<CurveObject>(std::move(nodes), false);
}

// 100k top-level objects: plain shapes, and every 20th a group of four with a link.
const Drawing& drawing100k()
{
    static Drawing* drawing = [] {
        kernel().reset();
        auto* d = new Drawing;
        std::mt19937 rng(7);
        std::uniform_real_distribution<float> pos(0, 5000), size(5, 80);
        for (int i = 0; i < 100000; ++i) {
            const float x = pos(rng), y = pos(rng), w = size(rng), h = size(rng);
            if (i % 20 == 19) {
                auto g = std::make_unique<GroupObject>();
                for (int k = 0; k < 4; ++k)
                    g->appendChild(makeShape(i + k, x + 10 * k, y, w, h));
                g->setUrl(std::string("https://example.org/item"));
                d->append(std::move(g));
            } else {
                d->append(makeShape(i, x, y, w, h));
            }
        }
        return d;
    }();
    return *drawing;
}

template <class Port> void BM_Traverse100k(benchmark::State& state)
{
    const Drawing& d = drawing100k();
    const double visited = double(d.deepCount());
    RenderOptions options;
    for (auto _ : state) {
        Port port;
        benchmark::DoNotOptimize(renderDrawing(d, port, options));
        benchmark::DoNotOptimize(port.points);
    }
    state.SetItemsProcessed(int64_t(state.iterations() * visited));
    // Seconds per object (CPU time), shown with an SI prefix: "73n" is 73 ns.
    state.counters["time_per_object"] = benchmark::Counter(
        visited, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_Traverse100k<NullPort>)->Name("BM_Traverse100k/null_port")->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Traverse100k<EmptyPort>)->Name("BM_Traverse100k/empty_port")->Unit(benchmark::kMillisecond);

// A half-circle-like cubic spanning `size` units.
void BM_FlattenBezier(benchmark::State& state)
{
    const float s = float(state.range(0));
    PointList out;
    for (auto _ : state) {
        out.clear();
        flattenBezier(out, { 0, 0 }, { 0, s }, { s, s }, { s, 0 });
        benchmark::DoNotOptimize(out.data());
    }
    state.counters["points"] = double(out.size());
}
BENCHMARK(BM_FlattenBezier)->Arg(10)->Arg(100)->Arg(1000)->Arg(10000);

void BM_FlattenEllipse(benchmark::State& state)
{
    NodeList ellipse;
    appendArcNodes(ellipse, 300, 300, 200, 120, 0, 360);
    for (auto _ : state)
        benchmark::DoNotOptimize(flattenNodes(ellipse, true));
}
BENCHMARK(BM_FlattenEllipse);

void BM_ArcNodes(benchmark::State& state)
{
    NodeList nodes;
    for (auto _ : state) {
        nodes.clear();
        appendArcNodes(nodes, 0, 0, 50, 30, 30, 300);
        benchmark::DoNotOptimize(nodes.data());
    }
}
BENCHMARK(BM_ArcNodes);

void BM_ArrowheadOutline(benchmark::State& state)
{
    const int code = int(state.range(0));
    for (auto _ : state)
        benchmark::DoNotOptimize(arrowheadOutline(code, { 100, 80 }, { 40, 30 }, 2.5f));
}
BENCHMARK(BM_ArrowheadOutline)->DenseRange(0, 4);

// Both ends of a curve: the end segments flattened, then the two outlines drawn.
void BM_CurveArrowheads(benchmark::State& state)
{
    const NodeList nodes { { 0, 0, 0, 0, 0, 60, 0 }, { 80, 0, 80, 60, 80, 0, 0 } };
    NullPort port;
    PaintStyle style;
    for (auto _ : state) {
        if (auto ends = curveEnds(nodes))
            drawArrowheads(port, style, Matrix(), *ends, kArrowFancy, kArrowBig);
    }
    benchmark::DoNotOptimize(port.points);
}
BENCHMARK(BM_CurveArrowheads);

} // namespace
