// Drawings with text, as users make them: 10 000 and 100 000 objects of
// every kind on a letter page, one in ten a text block in a standard font at
// 5 to 40 points, one in four turned.
//
// BM_ConvertToPng does what zavora-convert does with the native file (read
// it, render the page at 72 dpi, write the PNG) once the fonts are loaded;
// BM_GhostscriptToPng renders the same file to PNG at the same resolution
// and box, its own start-up included (the 0-object case shows that alone).
// BM_RedrawWithText repaints the drawing window at fit-in-window zoom, with
// the filled view's smoothed text and without.

#include "BenchDrawing.h"
#include "BenchGhostscript.h"
#include "BenchWindow.h"

#include "fonts/FontCatalogue.h"
#include "model/Drawing.h"
#include "export/Export.h"
#include "platform/Profile.h"
#include "platform/freetype/FreeTypeFontSystem.h"
#include "raster/PageRenderer.h"

#include "platform/qt/QtPngEncoder.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>
#include <random>
#include <string>

namespace {

using namespace zavora;
namespace fs = std::filesystem;

constexpr float kPageWidth = bench::kLetterWidth;
constexpr float kPageHeight = bench::kLetterHeight;

// The machine's fonts, loaded once, with settings in a scratch folder.
FontCatalogue& fonts()
{
    struct Fonts {
        fs::path folder = fs::temp_directory_path() / "zavora-bench-fonts";
        Profile settings { folder / "zavora.ini" };
        FreeTypeFontSystem system;
        FontCatalogue catalogue { system, settings, {} };
        Fonts()
        {
            fs::create_directories(folder);
            catalogue.load();
        }
    };
    static Fonts loaded;
    return loaded.catalogue;
}

std::unique_ptr<DrawObject> textBlock(std::mt19937& random, float x, float y)
{
    static const char* const names[] = { "Times-Roman", "Times-Italic", "Times-Bold", "Helvetica",
        "Helvetica-Oblique", "Helvetica-Bold", "Courier", "Courier-Bold" };
    static const char* const words[]
        = { "cupidatat", "non", "proident,", "sunt", "in", "culpa", "qui", "officia", "deserunt", "mollit" };
    std::uniform_real_distribution<float> unit(0, 1);
    const FontEntry* font = fonts().find(names[random() % 8]);
    // Whole points, as the size menu and dialog give them; small ones most often.
    const float size = std::round(5 + 35 * unit(random) * unit(random));
    std::string text;
    for (int w = 0, count = 2 + int(random() % 6); w < count; ++w)
        text += std::string(w ? " " : "") + words[random() % 10];
    auto t = std::make_unique<TextObject>(text, font, size, size * 1.2f, static_cast<TextAlign>(random() % 4));
    t->setFrame({ 0, 0 }, { size * (4 + 8 * unit(random)), -size });
    t->setMatrix(Matrix { 1, 0, 0, 1, x, y });
    return t;
}

std::unique_ptr<DrawObject> anyObject(int i, std::mt19937& random)
{
    std::uniform_real_distribution<float> px(0, kPageWidth), py(0, kPageHeight), extent(4, 60), unit(0, 1);
    const float x = px(random), y = py(random), w = extent(random), h = extent(random);
    std::unique_ptr<DrawObject> o;
    switch (i % 10) {
    case 0:
        o = textBlock(random, x, y);
        break;
    case 6: {
        NodeList nodes;
        for (int k = 0; k < 4; ++k)
            nodes.push_back(makeNode(x + w * unit(random), y + h * unit(random)));
        smoothNodes(nodes, false);
        o = std::make_unique<CurveObject>(nodes, false);
        break;
    }
    case 7:
        o = bench::makeSmallImage(x, y);
        break;
    case 8: {
        auto compound = std::make_unique<CompoundPathObject>();
        compound->appendChild(bench::makeBasicShape(1, x, y, w, h));
        compound->appendChild(bench::makeBasicShape(3, x + w / 4, y + h / 4, w / 2, h / 2));
        o = std::move(compound);
        break;
    }
    case 9: {
        auto group = std::make_unique<GroupObject>();
        group->appendChild(bench::makeBasicShape(int(random() % bench::kBasicShapes), x, y, w, h));
        group->appendChild(bench::makeBasicShape(int(random() % bench::kBasicShapes), x + w, y, w, h));
        o = std::move(group);
        break;
    }
    default:
        o = bench::makeBasicShape(i % 10 - 1, x, y, w, h);
    }
    PaintStyle style = o->style();
    style.setLineWidth(float(random() % 5) * 0.5f);
    style.setLineColor({ 100 * unit(random), 100 * unit(random), 100 * unit(random) });
    if (i % 3 == 0)
        style.setFillColor({ 100 * unit(random), 100 * unit(random), 100 * unit(random) });
    else if (i % 17 == 0)
        style.setFillPattern(int(random() % kPatternCount));
    if (i % 11 == 0)
        style.setDash(int(random() % kDashCount));
    if (i % 10 != 0)
        o->setStyle(style);
    if (i % 4 == 1)
        o->rotate(x, y, float(random() % 360));
    return o;
}

const Drawing& drawing(int count)
{
    return bench::drawingOnce(count, [](Drawing& d, int n) {
        std::mt19937 random { unsigned(n) };
        for (int i = 0; i < n; ++i)
            d.append(anyObject(i, random));
    });
}

// The drawing's native file, written once per size.
const fs::path& nativeFile(int count)
{
    static std::map<int, fs::path> files;
    fs::path& file = files[count];
    if (file.empty()) {
        file = fs::temp_directory_path() / ("zavora-bench-page-" + std::to_string(count) + ".zvx");
        if (!exportToFile(drawing(count), ExportKind::Native, file.string(), {}, nullptr))
            file.clear();
    }
    return file;
}

void BM_ConvertToPng(benchmark::State& state)
{
    const int count = int(state.range(0));
    const fs::path& file = nativeFile(count);
    if (file.empty()) {
        state.SkipWithError("cannot write the native file");
        return;
    }
    const std::string png = (fs::temp_directory_path() / "zavora-bench-page.png").string();
    QtSurfaceFactory surfaces;
    QtPngEncoder encoder;
    ExportOptions options;
    options.surfaces = &surfaces;
    options.pngEncoder = &encoder;
    for (auto _ : state) {
        Drawing read;
        if (openDrawing(read, file.string()) != ZvxReadResult::Read
            || !exportToFile(read, ExportKind::Png, png, options, nullptr)) {
            state.SkipWithError("conversion failed");
            break;
        }
    }
    fs::remove(png);
}

void BM_GhostscriptToPng(benchmark::State& state)
{
    const int count = int(state.range(0));
    static const Drawing empty;
    bench::timeGhostscript(state, count > 0 ? drawing(count) : empty,
        fs::temp_directory_path() / ("zavora-bench-gs-" + std::to_string(count) + ".zvx"),
        "-dEPSCrop -sDEVICE=png16m -r72 -o '" + (fs::temp_directory_path() / "zavora-bench-gs.png").string() + "'");
}

void BM_RedrawWithText(benchmark::State& state)
{
    bench::RedrawSettings settings;
    settings.smoothedText = state.range(1) != 0;
    bench::timeFullRedraw(state, drawing(int(state.range(0))), settings);
}

BENCHMARK(BM_ConvertToPng)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_GhostscriptToPng)->Arg(0)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond)->UseRealTime();
// Second argument: the filled view's smoothed text.
BENCHMARK(BM_RedrawWithText)->Args({ 10000, 0 })->Args({ 10000, 1 })->Unit(benchmark::kMillisecond);

} // namespace
