// Throughput of the locale-free number formatting and of stream printf, with
// the C library's snprintf beside them for scale.
#include "platform/NumberFormat.h"
#include "platform/OutputStream.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <random>
#include <vector>

using namespace zavora;

namespace {

const std::vector<double>& coordinates()
{
    static const std::vector<double> values = [] {
        std::mt19937 rng(7);
        std::uniform_real_distribution<double> page(-50, 850);
        std::vector<double> v(4096);
        for (double& x : v)
            x = static_cast<float>(page(rng));
        return v;
    }();
    return values;
}

void BM_FormatGeneral(benchmark::State& state)
{
    char buf[kNumberBufferSize];
    std::size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(formatGeneral(buf, coordinates()[i++ & 4095]));
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_FormatGeneral);

void BM_SnprintfGeneral(benchmark::State& state)
{
    char buf[64];
    std::size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(std::snprintf(buf, sizeof buf, "%g", coordinates()[i++ & 4095]));
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_SnprintfGeneral);

void BM_FormatMatrixNumber(benchmark::State& state)
{
    char buf[kNumberBufferSize];
    std::size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(formatMatrixNumber(buf, coordinates()[i++ & 4095] / 100));
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_FormatMatrixNumber);

void BM_FormatSvgNumber(benchmark::State& state)
{
    char buf[kNumberBufferSize];
    std::size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(formatSvgNumber(buf, coordinates()[i++ & 4095]));
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_FormatSvgNumber);

// A typical PostScript path line: two coordinates and an operator.
void BM_StreamPrintfLine(benchmark::State& state)
{
    MemoryOutputStream stream;
    std::size_t i = 0;
    for (auto _ : state) {
        if ((i & 4095) == 0)
            stream.open();
        stream.printf("%g %g l\r\n", coordinates()[i & 4095], coordinates()[(i + 1) & 4095]);
        ++i;
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_StreamPrintfLine);

} // namespace
