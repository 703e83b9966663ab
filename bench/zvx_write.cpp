// Writing a generated 100 000-object drawing as a native file: lines,
// rectangles, rounded rectangles, ellipses, arcs, polygons, curves, small
// images and text blocks, varied colours and pens, some grouped, some linked.
// Into memory and into a real file (through the safe-save stream).

#include "BenchDrawing.h"
#include "output/PostScriptPort.h"
#include "output/Traversal.h"
#include "platform/OutputStream.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <unistd.h>

namespace {

using namespace zavora;
using namespace zavora::bench;

void write(const Drawing& drawing, OutputStream& stream)
{
    ZvxFilePort port(stream);
    port.setDocumentFonts(drawing.documentFonts());
    RenderOptions options;
    renderDrawing(drawing, port, options);
}

void BM_WriteZvxToMemory(benchmark::State& state)
{
    const Drawing& drawing = benchDrawing();
    std::size_t bytes = 0;
    for (auto _ : state) {
        MemoryOutputStream stream;
        write(drawing, stream);
        bytes = stream.data().size();
        benchmark::DoNotOptimize(bytes);
    }
    state.SetItemsProcessed(state.iterations() * kObjects);
    state.counters["MB"] = double(bytes) / 1e6;
}
BENCHMARK(BM_WriteZvxToMemory)->Unit(benchmark::kMillisecond);

void BM_WriteZvxToFile(benchmark::State& state)
{
    const Drawing& drawing = benchDrawing();
    const std::string path
        = (std::filesystem::temp_directory_path() / ("zavora-bench-" + std::to_string(getpid()) + ".zvx"))
              .string();
    for (auto _ : state) {
        FileOutputStream stream(path);
        stream.open();
        write(drawing, stream);
        stream.close();
    }
    std::filesystem::remove(path);
    state.SetItemsProcessed(state.iterations() * kObjects);
}
BENCHMARK(BM_WriteZvxToFile)->Unit(benchmark::kMillisecond);

} // namespace
