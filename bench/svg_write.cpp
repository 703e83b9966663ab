// The generated 100 000-object drawing as SVG: the document alone into
// memory, the whole export into a folder (the document and the image files
// beside it, JPEG through the library as the program writes them), and, as
// yardsticks, rsvg-convert and Inkscape rendering that file to PNG (each run
// timed with its start-up; the children's CPU time as a counter).

#include "BenchDrawing.h"
#include "BenchGhostscript.h"
#include "export/Export.h"
#include "output/Traversal.h"
#include "platform/OutputStream.h"
#include "platform/jpeg/TurboJpegEncoder.h"
#include "raster/SvgPort.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <unistd.h>

namespace {

using namespace zavora;
using namespace zavora::bench;
namespace fs = std::filesystem;

const fs::path& benchFolder()
{
    static const fs::path folder = [] {
        fs::path path = fs::temp_directory_path() / ("zavora-bench-svg-" + std::to_string(getpid()));
        fs::create_directories(path);
        return path;
    }();
    return folder;
}

bool exportSvg(const fs::path& file)
{
    TurboJpegEncoder jpeg;
    ExportOptions options;
    options.jpegEncoder = &jpeg;
    return exportToFile(benchDrawing(), ExportKind::Svg, file.string(), options, nullptr);
}

// The document only: the images are counted and named, their files not written.
class DocumentOnlyPort : public SvgPort {
public:
    using SvgPort::SvgPort;
    void image(const Matrix&, const ImageObject&) override { }
};

void BM_WriteSvgToMemory(benchmark::State& state)
{
    const Drawing& drawing = benchDrawing();
    std::size_t bytes = 0;
    for (auto _ : state) {
        MemoryOutputStream stream;
        DocumentOnlyPort port(stream, SvgImageFiles {});
        renderDrawing(drawing, port, RenderOptions {});
        bytes = stream.data().size();
        benchmark::DoNotOptimize(bytes);
    }
    state.SetItemsProcessed(state.iterations() * kObjects);
    state.counters["MB"] = double(bytes) / 1e6;
}
BENCHMARK(BM_WriteSvgToMemory)->Unit(benchmark::kMillisecond);

void BM_ExportSvgWithImageFiles(benchmark::State& state)
{
    for (auto _ : state) {
        if (!exportSvg(benchFolder() / "drawing.svg")) {
            state.SkipWithError("the SVG export failed");
            break;
        }
    }
    state.SetItemsProcessed(state.iterations() * kObjects);
}
BENCHMARK(BM_ExportSvgWithImageFiles)->Unit(benchmark::kMillisecond)->UseRealTime();

// Renders our SVG of the drawing with `command` ({in} and {out} replaced).
void timeRenderer(benchmark::State& state, const char* tool, std::string command)
{
    if (std::system((std::string("command -v ") + tool + " > /dev/null 2>&1").c_str()) != 0) {
        state.SkipWithError("the renderer is not installed");
        return;
    }
    const fs::path svg = benchFolder() / "rendered.svg";
    if (!fs::exists(svg) && !exportSvg(svg)) {
        state.SkipWithError("the SVG export failed");
        return;
    }
    command.replace(command.find("{out}"), 5, (benchFolder() / "rendered.png").string());
    command.replace(command.find("{in}"), 4, svg.string());
    command += " > /dev/null 2>&1";
    double cpu = 0;
    for (auto _ : state) {
        const double before = childCpuSeconds();
        if (std::system(command.c_str()) != 0) {
            state.SkipWithError("the renderer failed");
            break;
        }
        cpu += childCpuSeconds() - before;
    }
    state.counters["cpu_s"] = benchmark::Counter(cpu, benchmark::Counter::kAvgIterations);
}

void BM_RsvgRender(benchmark::State& state)
{
    timeRenderer(state, "rsvg-convert", "rsvg-convert -b white -o '{out}' '{in}'");
}
BENCHMARK(BM_RsvgRender)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

void BM_InkscapeRender(benchmark::State& state)
{
    timeRenderer(state, "inkscape",
        "inkscape --export-type=png --export-background=white --export-background-opacity=1 "
        "--export-filename='{out}' '{in}'");
}
BENCHMARK(BM_InkscapeRender)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

struct RemoveFolder {
    ~RemoveFolder()
    {
        std::error_code ec;
        fs::remove_all(benchFolder(), ec);
    }
} removeFolder;

} // namespace
