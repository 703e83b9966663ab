// Reading a generated 100 000-object native file: lines, rectangles, rounded
// rectangles, ellipses, arcs, polygons, curves, small images and text blocks
// in varied colours and pens, some grouped, some linked. The file is written
// once by the native writer; each iteration reads it from memory or from disk
// into a fresh object list. peak_MB is the process's peak resident size.

#include "BenchDrawing.h"
#include "output/PostScriptPort.h"
#include "output/Traversal.h"
#include "output/ZvxReader.h"
#include "platform/OutputStream.h"
#include "platform/Reporter.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
#include <sys/resource.h>
#include <unistd.h>

namespace {

using namespace zavora;
using namespace zavora::bench;

// The native file of the generated drawing, written once.
const std::string& benchFile()
{
    static std::string bytes;
    if (bytes.empty()) {
        const Drawing& drawing = benchDrawing();
        MemoryOutputStream stream;
        stream.open();
        ZvxFilePort port(stream);
        port.setDocumentFonts(drawing.documentFonts());
        RenderOptions options;
        renderDrawing(drawing, port, options);
        bytes = stream.data();
    }
    return bytes;
}

double peakMegabytes()
{
    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_maxrss) / 1024.0;
}

void BM_ReadZvxFromMemory(benchmark::State& state)
{
    benchFont();
    const std::string& bytes = benchFile();
    RecordingReporter quiet;
    std::size_t count = 0;
    for (auto _ : state) {
        OwnedObjects objects;
        DocumentInfo info;
        std::vector<std::string> missing;
        ZvxReader reader(objects, &info, &missing);
        if (reader.readBytes(bytes, "bench.zvx") != ZvxReadResult::Read)
            state.SkipWithError("the generated file did not read");
        count = deepCount(objects) - objects.size()
            + std::count_if(
                objects.begin(), objects.end(), [](const auto& o) { return o->type() != ObjectType::Group; });
        benchmark::DoNotOptimize(objects.data());
    }
    state.SetItemsProcessed(state.iterations() * kObjects);
    state.counters["painted_objects"] = double(count);
    state.counters["file_MB"] = double(bytes.size()) / 1e6;
    state.counters["peak_MB"] = peakMegabytes();
}
BENCHMARK(BM_ReadZvxFromMemory)->Unit(benchmark::kMillisecond);

void BM_OpenZvxFile(benchmark::State& state)
{
    benchFont();
    const std::string path = (std::filesystem::temp_directory_path()
        / ("zavora-bench-read-" + std::to_string(getpid()) + ".zvx"))
                                 .string();
    {
        std::ofstream out(path, std::ios::binary);
        out << benchFile();
    }
    RecordingReporter quiet;
    for (auto _ : state) {
        OwnedObjects objects;
        DocumentInfo info;
        if (openNativeFile(path, objects, info) != ZvxReadResult::Read)
            state.SkipWithError("the generated file did not open");
        benchmark::DoNotOptimize(objects.data());
    }
    std::filesystem::remove(path);
    state.SetItemsProcessed(state.iterations() * kObjects);
    state.counters["peak_MB"] = peakMegabytes();
}
BENCHMARK(BM_OpenZvxFile)->Unit(benchmark::kMillisecond);

} // namespace
