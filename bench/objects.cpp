// Bounding box, contains-point and nearest-outline-point over 100k mixed
// objects (lines, rectangles, rounded rectangles, ellipses, arcs, polygons,
// curves), each rotated a little. Items processed = objects, so the report's
// rate gives the time per object per operation.

#include "BenchDrawing.h"
#include "model/GraphicsKernel.h"
#include "model/PathObjects.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <random>
#include <vector>

namespace {

using namespace zavora;

constexpr int kObjects = 100000;

std::vector<std::unique_ptr<DrawObject>> makeObjects()
{
    std::mt19937 rng(42);
    std::uniform_real_distribution<float> pos(0, 5000), size(5, 80);
    std::vector<std::unique_ptr<DrawObject>> objects;
    objects.reserve(kObjects);
    for (int i = 0; i < kObjects; ++i) {
        const float x = pos(rng), y = pos(rng), w = size(rng), h = size(rng);
        std::unique_ptr<DrawObject> o;
        if (i % 7 < bench::kBasicShapes) {
            o = bench::makeBasicShape(i % 7, x, y, w, h);
        } else {
            NodeList nodes { makeNode(x, y), makeNode(x + w, y), makeNode(x + w, y + h), makeNode(x, y + h) };
            smoothNodes(nodes, true);
            o = std::make_unique<CurveObject>(nodes, true);
        }
        o->setFillColor(Color::white());
        o->rotate(x, y, float(i % 90));
        objects.push_back(std::move(o));
    }
    return objects;
}

const std::vector<std::unique_ptr<DrawObject>>& objects()
{
    static const auto all = makeObjects();
    return all;
}

// Probe near the centre of each object's box, so the outline work really runs.
Point probeFor(const DrawObject& o)
{
    const Rect b = o.boundingBox();
    return { (b.left + b.right) / 2, b.bottom + 1 };
}

void BM_BoundingBoxUncached(benchmark::State& state)
{
    kernel().reset();
    const auto& all = objects();
    for (auto _ : state) {
        for (const auto& o : all) {
            o->invalidateBox();
            benchmark::DoNotOptimize(o->boundingBox());
        }
    }
    state.SetItemsProcessed(state.iterations() * int64_t(all.size()));
}
BENCHMARK(BM_BoundingBoxUncached)->Unit(benchmark::kMillisecond);

void BM_BoundingBoxCached(benchmark::State& state)
{
    kernel().reset();
    const auto& all = objects();
    for (auto _ : state) {
        for (const auto& o : all)
            benchmark::DoNotOptimize(o->boundingBox(true));
    }
    state.SetItemsProcessed(state.iterations() * int64_t(all.size()));
}
BENCHMARK(BM_BoundingBoxCached)->Unit(benchmark::kMillisecond);

void BM_ContainsPoint(benchmark::State& state)
{
    kernel().reset();
    const auto& all = objects();
    std::vector<Point> probes;
    for (const auto& o : all)
        probes.push_back(probeFor(*o));
    for (auto _ : state) {
        for (std::size_t i = 0; i < all.size(); ++i)
            benchmark::DoNotOptimize(all[i]->containsPoint(probes[i].x, probes[i].y));
    }
    state.SetItemsProcessed(state.iterations() * int64_t(all.size()));
}
BENCHMARK(BM_ContainsPoint)->Unit(benchmark::kMillisecond);

void BM_NearestOutlinePoint(benchmark::State& state)
{
    kernel().reset();
    const auto& all = objects();
    std::vector<Point> probes;
    for (const auto& o : all)
        probes.push_back(probeFor(*o));
    for (auto _ : state) {
        for (std::size_t i = 0; i < all.size(); ++i) {
            Point p = probes[i];
            float d = 0;
            benchmark::DoNotOptimize(all[i]->nearestOutlinePoint(p, 3, d));
        }
    }
    state.SetItemsProcessed(state.iterations() * int64_t(all.size()));
}
BENCHMARK(BM_NearestOutlinePoint)->Unit(benchmark::kMillisecond);

} // namespace
