// Raster device context throughput: 10k random polygons filled and 10k random
// polylines stroked into a 1600 x 1200 RGB32 buffer, per pass of 10k.

#include "platform/qt/RasterDeviceContext.h"

#include <benchmark/benchmark.h>

#include <random>
#include <vector>

namespace {

using zavora::DcPoint;

constexpr int kWidth = 1600;
constexpr int kHeight = 1200;
constexpr int kFigures = 10000;

// kFigures runs of 3..12 points, each within a box of up to 200 pixels.
struct Figures {
    std::vector<DcPoint> points;
    std::vector<int32_t> counts;
    std::vector<zavora::ColorRef> colors;
};

const Figures& figures()
{
    static const Figures data = [] {
        Figures f;
        std::mt19937 random(42);
        std::uniform_int_distribution<int> size(3, 12), x(0, kWidth - 1), y(0, kHeight - 1), d(-100, 100);
        for (int i = 0; i < kFigures; ++i) {
            const int n = size(random);
            const int cx = x(random), cy = y(random);
            for (int k = 0; k < n; ++k)
                f.points.push_back({ cx + d(random), cy + d(random) });
            f.counts.push_back(n);
            f.colors.push_back(zavora::ColorRef(random()) & 0xffffff);
        }
        return f;
    }();
    return data;
}

template <typename Draw> void runFigures(benchmark::State& state, Draw draw)
{
    const Figures& f = figures();
    zavora::RasterDeviceContext dc(kWidth, kHeight);
    for (auto _ : state) {
        size_t start = 0;
        for (int i = 0; i < kFigures; ++i) {
            const std::span<const DcPoint> run(f.points.data() + start, size_t(f.counts[i]));
            start += size_t(f.counts[i]);
            draw(dc, run, f.colors[i]);
        }
        benchmark::DoNotOptimize(dc.pixel(0, 0));
    }
    state.SetItemsProcessed(state.iterations() * kFigures);
}

void BM_FillPolygons(benchmark::State& state)
{
    runFigures(
        state, [](zavora::RasterDeviceContext& dc, std::span<const DcPoint> run, zavora::ColorRef color) {
            dc.selectPen(zavora::DcPen::null());
            dc.selectBrush(zavora::DcBrush::solid(color));
            dc.polygon(run);
        });
}

void BM_FillHatchedPolygons(benchmark::State& state)
{
    runFigures(
        state, [](zavora::RasterDeviceContext& dc, std::span<const DcPoint> run, zavora::ColorRef color) {
            dc.selectPen(zavora::DcPen::null());
            dc.selectBrush(zavora::DcBrush::patterned({ 0x08, 0x08, 0x14, 0xe3, 0x80, 0x80, 0x41, 0x3e }));
            dc.setBkColor(color);
            dc.polygon(run);
        });
}

void BM_StrokePolylines(benchmark::State& state)
{
    const int width = int(state.range(0));
    runFigures(state,
        [width](zavora::RasterDeviceContext& dc, std::span<const DcPoint> run, zavora::ColorRef color) {
            dc.selectPen(zavora::DcPen::solid(color, width));
            dc.polyline(run);
        });
}

void BM_StrokeDashedPolylines(benchmark::State& state)
{
    runFigures(
        state, [](zavora::RasterDeviceContext& dc, std::span<const DcPoint> run, zavora::ColorRef color) {
            dc.selectPen(zavora::DcPen::cosmetic(zavora::PenStyle::DashDot, color));
            dc.polyline(run);
        });
}

void BM_XorPolylines(benchmark::State& state)
{
    runFigures(
        state, [](zavora::RasterDeviceContext& dc, std::span<const DcPoint> run, zavora::ColorRef color) {
            dc.setRop2(zavora::Rop2::XorPen);
            dc.selectPen(zavora::DcPen::solid(color, 1));
            dc.polyline(run);
        });
}

} // namespace

BENCHMARK(BM_FillPolygons)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FillHatchedPolygons)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StrokePolylines)->Arg(1)->Arg(4)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StrokeDashedPolylines)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_XorPolylines)->Unit(benchmark::kMillisecond);
