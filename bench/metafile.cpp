// Windows metafiles: exporting 10 000 objects of every kind (the generated
// drawing's mix, on a 5000-point square) into memory, and importing the
// largest metafile of the test data. bytes_per_second of the export counts
// the metafile written; of the import, the file read.

#include "BenchDrawing.h"

#include "export/Export.h"
#include "platform/OutputStream.h"
#include "raster/MetafileImport.h"

#include <benchmark/benchmark.h>

#include <fstream>
#include <iterator>
#include <random>
#include <vector>

namespace {

using namespace zavora;

const Drawing& drawingOf(int count)
{
    return bench::drawingOnce(count, [](Drawing& d, int n) {
        std::mt19937 rng(1234);
        for (int i = 0; i < n; ++i)
            d.append(bench::makeObject(i, rng));
    });
}

void BM_ExportMetafile(benchmark::State& state)
{
    const Drawing& drawing = drawingOf(int(state.range(0)));
    std::size_t written = 0;
    for (auto _ : state) {
        MemoryOutputStream stream;
        stream.open();
        if (exportDrawing(drawing, ExportKind::Metafile, stream, {}, nullptr) != ExportResult::Written) {
            state.SkipWithError("export failed");
            return;
        }
        written = stream.data().size();
        benchmark::DoNotOptimize(written);
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(written));
    state.counters["metafile_bytes"] = double(written);
}

void BM_ImportLargestTestMetafile(benchmark::State& state)
{
    std::ifstream file(ZAVORA_TEST_DATA_DIR "/wmf/test_libuemf_ref.wmf", std::ios::binary);
    const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    if (bytes.empty()) {
        state.SkipWithError("test metafile missing");
        return;
    }
    (void)bench::benchFont();
    std::size_t objects = 0;
    for (auto _ : state) {
        OwnedObjects read;
        importMetafileBytes(bytes, read, PaperSize {});
        objects = read.size();
        benchmark::DoNotOptimize(objects);
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(bytes.size()));
    state.counters["objects"] = double(objects);
}

} // namespace

BENCHMARK(BM_ExportMetafile)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ImportLargestTestMetafile)->Unit(benchmark::kMicrosecond);
