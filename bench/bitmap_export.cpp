// Bitmap export of a 100 000-object letter page in every bitmap format, plain
// and 4x smoothed (PNG is the yardstick: the others should stay within 1.5
// times its plain time), and the GIF writer alone on a photo-like
// 1600 x 1200 picture: palette, mapping and encoding.

#include "BenchDrawing.h"

#include "export/Export.h"
#include "model/Drawing.h"
#include "platform/OutputStream.h"
#include "platform/jpeg/TurboJpegEncoder.h"
#include "raster/GifWriter.h"

#include "platform/qt/QtPngEncoder.h"
#include "platform/qt/QtRasterSurface.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <random>

namespace {

using namespace zavora;

constexpr ExportKind kKinds[] = { ExportKind::Png, ExportKind::Bmp, ExportKind::Tiff, ExportKind::Gif,
    ExportKind::Jpeg };

void BM_BitmapExport(benchmark::State& state)
{
    const ExportKind kind = kKinds[state.range(0)];
    const Drawing& drawing
        = bench::drawingOnce(100000, [](Drawing& d, int n) { bench::appendScatteredShapes(d, n, 11); });
    QtSurfaceFactory surfaces;
    QtPngEncoder png;
    TurboJpegEncoder jpeg;
    ExportOptions options;
    options.surfaces = &surfaces;
    options.pngEncoder = &png;
    options.jpegEncoder = &jpeg;
    options.smoothing = Smoothing(state.range(1));
    static const char* const names[] = { "png", "bmp", "tif", "gif", "jpg" };
    state.SetLabel(std::string(names[state.range(0)]) + " smoothing " + std::to_string(state.range(1)));
    for (auto _ : state) {
        MemoryOutputStream stream;
        if (exportDrawing(drawing, kind, stream, options, nullptr) != ExportResult::Written) {
            state.SkipWithError("export failed");
            break;
        }
        benchmark::DoNotOptimize(stream.data().size());
    }
}

// Smooth colour fields with grain: far more than 256 colours, as a scan has.
RgbImage photoLikeImage()
{
    RgbImage image;
    image.width = 1600;
    image.height = 1200;
    image.pixels.resize(size_t(image.width) * image.height * 3);
    std::mt19937 random(3);
    uint8_t* p = image.pixels.data();
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x) {
            const double u = x / 1600.0, v = y / 1200.0;
            const double base[3] = { 128 + 110 * std::sin(6 * u + 2 * v), 128 + 100 * std::cos(4 * v - 3 * u),
                128 + 90 * std::sin(9 * u * v + 1) };
            for (double c : base)
                *p++ = uint8_t(std::clamp(c + int(random() % 9) - 4, 0.0, 255.0));
        }
    return image;
}

void BM_GifPhoto(benchmark::State& state)
{
    static const RgbImage image = photoLikeImage();
    for (auto _ : state) {
        const auto bytes = encodeGif(image.view(), {}, nullptr);
        if (!bytes) {
            state.SkipWithError("encoding failed");
            break;
        }
        benchmark::DoNotOptimize(bytes->size());
    }
}

} // namespace

// Arguments: the kind (png, bmp, tif, gif, jpg) and the smoothing factor.
BENCHMARK(BM_BitmapExport)
    ->ArgsProduct({ { 0, 1, 2, 3, 4 }, { 1, 4 } })
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(BM_GifPhoto)->Unit(benchmark::kMillisecond)->UseRealTime();
