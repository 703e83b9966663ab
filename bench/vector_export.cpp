// The Illustrator and PDF exports of the generated 100 000-object drawing,
// through the export routine into memory, and Ghostscript's pdfwrite of our
// own PostScript of the same drawing as the yardstick for the PDF writer.

#include "BenchDrawing.h"
#include "BenchGhostscript.h"
#include "export/Export.h"
#include "platform/OutputStream.h"

#include <benchmark/benchmark.h>

#include <unistd.h>

namespace {

using namespace zavora;
using namespace zavora::bench;

void exportToMemory(benchmark::State& state, ExportKind kind)
{
    const Drawing& drawing = benchDrawing();
    std::size_t bytes = 0;
    for (auto _ : state) {
        MemoryOutputStream stream;
        stream.open();
        if (exportDrawing(drawing, kind, stream, {}, nullptr) != ExportResult::Written) {
            state.SkipWithError("the export failed");
            break;
        }
        bytes = stream.data().size();
        benchmark::DoNotOptimize(bytes);
    }
    state.SetItemsProcessed(state.iterations() * kObjects);
    state.counters["MB"] = double(bytes) / 1e6;
}

void BM_ExportIllustrator(benchmark::State& state)
{
    exportToMemory(state, ExportKind::Illustrator);
}
BENCHMARK(BM_ExportIllustrator)->Unit(benchmark::kMillisecond);

void BM_ExportPdf(benchmark::State& state)
{
    exportToMemory(state, ExportKind::Pdf);
}
BENCHMARK(BM_ExportPdf)->Unit(benchmark::kMillisecond);

// The yardstick: Ghostscript turning our native file of the same drawing
// into PDF (its start-up included; gs_cpu_ms is its own CPU time).
void BM_GhostscriptPdfWrite(benchmark::State& state)
{
    const std::filesystem::path dir = std::filesystem::temp_directory_path();
    const std::string stem = "zavora-bench-pdfwrite-" + std::to_string(getpid());
    timeGhostscript(state, benchDrawing(), dir / (stem + ".zvx"),
        "-sDEVICE=pdfwrite -o '" + (dir / (stem + ".pdf")).string() + "'");
    std::filesystem::remove(dir / (stem + ".pdf"));
}
BENCHMARK(BM_GhostscriptPdfWrite)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace
