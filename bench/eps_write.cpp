// The 100 000-object bench drawing as EPS through the export routine, into a
// real file: without a preview, and with the TIFF preview, which adds the
// page render at 72 dpi. The preview's render alone is measured too, so the
// EPS writing left in the preview case can be told apart.

#include "BenchDrawing.h"
#include "export/Export.h"
#include "platform/OutputStream.h"
#include "raster/PageRenderer.h"

#include "platform/qt/QtRasterSurface.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <unistd.h>

namespace {

using namespace zavora;
using namespace zavora::bench;

std::string scratchPath(const char* extension)
{
    return (std::filesystem::temp_directory_path() / ("zavora-bench-" + std::to_string(getpid()) + extension))
        .string();
}

void exportEps(benchmark::State& state, bool preview)
{
    const Drawing& drawing = benchDrawing();
    QtSurfaceFactory surfaces;
    ExportOptions options;
    options.preview = preview;
    options.surfaces = &surfaces;
    const std::string path = scratchPath(".eps");
    for (auto _ : state) {
        if (!exportToFile(drawing, ExportKind::Eps, path, options, nullptr))
            state.SkipWithError("the export failed");
    }
    state.counters["MB"] = double(std::filesystem::file_size(path)) / 1e6;
    std::filesystem::remove(path);
    state.SetItemsProcessed(state.iterations() * kObjects);
}

void BM_EpsToFile(benchmark::State& state)
{
    exportEps(state, false);
}
BENCHMARK(BM_EpsToFile)->Unit(benchmark::kMillisecond);

void BM_EpsWithPreviewToFile(benchmark::State& state)
{
    exportEps(state, true);
}
BENCHMARK(BM_EpsWithPreviewToFile)->Unit(benchmark::kMillisecond);

void BM_PreviewRenderOnly(benchmark::State& state)
{
    const Drawing& drawing = benchDrawing();
    QtSurfaceFactory surfaces;
    RenderOptions render;
    for (auto _ : state) {
        PageImagePort port(surfaces, PageRenderSettings {});
        renderDrawing(drawing, port, render);
        benchmark::DoNotOptimize(port.takeImage());
    }
    state.SetItemsProcessed(state.iterations() * kObjects);
}
BENCHMARK(BM_PreviewRenderOnly)->Unit(benchmark::kMillisecond);

} // namespace
