// Undo history over 10 000 selected objects: a Move command executed and
// pushed, then undone and redone (time per push, undo and redo); a delete of
// every other object undone; and a fill colour change undone.

#include "model/Drawing.h"
#include "model/GraphicsKernel.h"
#include "model/PathObjects.h"
#include "model/ShapeObjects.h"
#include "model/UndoCommand.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <random>

namespace {

using namespace zavora;

constexpr int kObjects = 10000;

void fill(Drawing& d)
{
    std::mt19937 rng(11);
    std::uniform_real_distribution<float> pos(0, 3000), size(5, 80);
    for (int i = 0; i < kObjects; ++i) {
        const float x = pos(rng), y = pos(rng), w = size(rng), h = size(rng);
        if (i % 3 == 0)
            d.append(std::make_unique<RectangleObject>(x, y, x + w, y + h));
        else if (i % 3 == 1)
            d.append(std::make_unique<EllipseObject>(x, y, w, h));
        else
            d.append(
                std::make_unique<PolygonObject>(PointList { { x, y }, { x + w, y }, { x, y + h } }, true));
    }
    d.selectAll();
}

void BM_TransformPushUndoRedo(benchmark::State& state)
{
    kernel().reset();
    Drawing d;
    fill(d);
    for (auto _ : state) {
        d.history().execute(std::make_unique<MoveCommand>(d, d.selection(), 1, 2));
        d.history().undo();
        d.history().redo();
    }
    state.SetItemsProcessed(state.iterations() * kObjects);
}
BENCHMARK(BM_TransformPushUndoRedo)->Unit(benchmark::kMillisecond);

void BM_RotateSelectionThenUndo(benchmark::State& state)
{
    kernel().reset();
    Drawing d;
    fill(d);
    for (auto _ : state) {
        d.rotateSelection(15); // union box, then the recorded rotation
        d.history().undo();
    }
    state.SetItemsProcessed(state.iterations() * kObjects);
}
BENCHMARK(BM_RotateSelectionThenUndo)->Unit(benchmark::kMillisecond);

void BM_DeleteHalfThenUndo(benchmark::State& state)
{
    kernel().reset();
    Drawing d;
    fill(d);
    ObjectRefs half;
    for (std::size_t i = 0; i < d.objectCount(); i += 2)
        half.push_back(d.objectAt(i));
    for (auto _ : state) {
        d.setSelection(half);
        d.deleteSelection();
        d.history().undo();
    }
    state.SetItemsProcessed(state.iterations() * kObjects / 2);
}
BENCHMARK(BM_DeleteHalfThenUndo)->Unit(benchmark::kMillisecond);

void BM_FillColourThenUndo(benchmark::State& state)
{
    kernel().reset();
    Drawing d;
    fill(d);
    const Color red { 100, 0, 0 };
    for (auto _ : state) {
        d.history().execute(std::make_unique<FillColorCommand>(d, d.selection(), red));
        d.history().undo();
    }
    state.SetItemsProcessed(state.iterations() * kObjects);
}
BENCHMARK(BM_FillColourThenUndo)->Unit(benchmark::kMillisecond);

} // namespace
