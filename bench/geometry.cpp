// Outline building and hit testing through the geometry kernel, the work a
// click or a marquee does per object. Each hit test consumes the path, so the
// hit-test figures include rebuilding the outline; compare with the Build*
// figures to see the test alone.

#include "model/GraphicsKernel.h"

#include <benchmark/benchmark.h>

#include <cmath>

using namespace zavora;

namespace {

void buildEllipse()
{
    kernel().ellipticArc(200, 150, 120, 80, 0, 360);
}

void buildArc()
{
    kernel().arc(200, 150, 100, 30, 300);
}

// A closed wavy outline of `pieces` curves around a 400 x 300 box.
void buildCurvePath(int pieces)
{
    kernel().moveto(0, 0);
    for (int i = 0; i < pieces; ++i) {
        const float x0 = 400.0f * i / pieces;
        const float x1 = 400.0f * (i + 1) / pieces;
        kernel().curveto(x0 + (x1 - x0) / 3, 40, x0 + 2 * (x1 - x0) / 3, -40, x1, 0);
    }
    kernel().lineto(400, 300);
    kernel().lineto(0, 300);
    kernel().closepath();
}

// Probe points spread over and around the shapes.
Point probe(int i)
{
    return Point { static_cast<float>(40 + (i * 37) % 360), static_cast<float>(20 + (i * 53) % 280) };
}

class KernelFixture : public benchmark::Fixture {
public:
    void SetUp(const benchmark::State&) override
    {
        kernel().reset();
        kernel().flip();
        kernel().translate(0, -600);
    }
    void TearDown(const benchmark::State&) override { kernel().reset(); }
};

} // namespace

BENCHMARK_F(KernelFixture, BuildEllipse)(benchmark::State& state)
{
    for (auto _ : state) {
        buildEllipse();
        benchmark::DoNotOptimize(kernel().path().data());
        kernel().newpath();
    }
}

BENCHMARK_F(KernelFixture, BuildArc)(benchmark::State& state)
{
    for (auto _ : state) {
        buildArc();
        benchmark::DoNotOptimize(kernel().path().data());
        kernel().newpath();
    }
}

BENCHMARK_F(KernelFixture, BuildCurvePath16)(benchmark::State& state)
{
    for (auto _ : state) {
        buildCurvePath(16);
        benchmark::DoNotOptimize(kernel().path().data());
        kernel().newpath();
    }
}

BENCHMARK_F(KernelFixture, PointInEllipse)(benchmark::State& state)
{
    int i = 0;
    for (auto _ : state) {
        buildEllipse();
        const Point p = probe(i++);
        benchmark::DoNotOptimize(kernel().pointInPath(p.x, p.y));
    }
}

BENCHMARK_F(KernelFixture, PointInCurvePath16)(benchmark::State& state)
{
    int i = 0;
    for (auto _ : state) {
        buildCurvePath(16);
        const Point p = probe(i++);
        benchmark::DoNotOptimize(kernel().pointInPath(p.x, p.y));
    }
}

BENCHMARK_F(KernelFixture, RectOverlapsEllipse)(benchmark::State& state)
{
    int i = 0;
    for (auto _ : state) {
        buildEllipse();
        const Point p = probe(i++);
        benchmark::DoNotOptimize(kernel().rectOverlapsPath(p.x, p.y, p.x + 30, p.y + 20));
    }
}

BENCHMARK_F(KernelFixture, NearestOnEllipse)(benchmark::State& state)
{
    int i = 0;
    float d2 = 0;
    for (auto _ : state) {
        buildEllipse();
        // Probes on and around the outline, in device space.
        const double a = (i++ % 360) * 3.14159265358979 / 180;
        const float wobble = static_cast<float>(i % 7) - 3;
        Point p = kernel().transform(Point { static_cast<float>(200 + (120 + wobble) * std::cos(a)),
            static_cast<float>(150 + (80 + wobble) * std::sin(a)) });
        benchmark::DoNotOptimize(kernel().nearestPointOnPath(p, 4, d2));
    }
}

BENCHMARK_F(KernelFixture, NearestOnArcWithSplit)(benchmark::State& state)
{
    int i = 0;
    float d2 = 0;
    CurveSplit split;
    for (auto _ : state) {
        buildArc();
        const double a = (30 + (i++ % 270)) * 3.14159265358979 / 180;
        Point p = kernel().transform(Point {
            static_cast<float>(200 + 101 * std::cos(a)), static_cast<float>(150 + 101 * std::sin(a)) });
        benchmark::DoNotOptimize(kernel().nearestPointOnPath(p, 4, d2, &split));
    }
}

BENCHMARK_F(KernelFixture, NearestOnCurvePath16)(benchmark::State& state)
{
    int i = 0;
    float d2 = 0;
    for (auto _ : state) {
        buildCurvePath(16);
        Point p = kernel().transform(Point { static_cast<float>((i++ * 7) % 400), 2 });
        benchmark::DoNotOptimize(kernel().nearestPointOnPath(p, 4, d2));
    }
}

// A miss far from the outline: the cost a click pays for each object it passes.
BENCHMARK_F(KernelFixture, NearestMissOnCurvePath16)(benchmark::State& state)
{
    float d2 = 0;
    for (auto _ : state) {
        buildCurvePath(16);
        Point p = kernel().transform(Point { 200, 150 });
        benchmark::DoNotOptimize(kernel().nearestPointOnPath(p, 4, d2));
    }
}
