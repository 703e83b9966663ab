// Reflow of a 10 000-character text in a 300-point frame, and the walks that
// the screen and the text tool run over the same text, in Helvetica.
#include "fonts/FontCatalogue.h"
#include "model/TextObject.h"
#include "model/TextSinks.h"
#include "platform/FontSystem.h"
#include "platform/Profile.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <random>
#include <string>

using namespace zavora;

namespace {

struct Fonts {
    std::filesystem::path folder;
    std::unique_ptr<Profile> settings;
    std::unique_ptr<FontCatalogue> catalogue;
    const FontEntry* helvetica = nullptr;
};

const Fonts& fonts()
{
    static Fonts f = [] {
        Fonts out;
        std::string tmpl = (std::filesystem::temp_directory_path() / "zavora-bench-layout-XXXXXX").string();
        if (!::mkdtemp(tmpl.data()))
            std::abort();
        out.folder = tmpl;
        out.settings = std::make_unique<Profile>(out.folder / "zavora.ini");
        out.catalogue
            = std::make_unique<FontCatalogue>(systemFontSystem(), *out.settings, out.folder / "atm.ini");
        out.catalogue->type1().loadCatalogue();
        out.helvetica = out.catalogue->find("Helvetica");
        return out;
    }();
    return f;
}

// Words of 1 to 12 letters with a paragraph end every 80 words or so.
std::string prose(std::size_t length)
{
    std::mt19937 random(7);
    std::string text;
    std::size_t words = 0;
    while (text.size() < length) {
        const int letters = 1 + static_cast<int>(random() % 12);
        for (int i = 0; i < letters; ++i)
            text += static_cast<char>('a' + random() % 26);
        text += ++words % 80 == 0 ? '\r' : ' ';
    }
    text.resize(length);
    return text;
}

std::unique_ptr<TextObject> sample(TextAlign align)
{
    auto t = std::make_unique<TextObject>(prose(10000), fonts().helvetica, 12, 14, align);
    t->setFrame({ 0, 0 }, { 300, -100 });
    return t;
}

void Reflow10kIn300Points(benchmark::State& state)
{
    if (!fonts().helvetica) {
        state.SkipWithError("Helvetica (fonts-urw-base35) is not installed");
        return;
    }
    auto t = sample(TextAlign::Justified);
    for (auto _ : state) {
        t->reflow();
        benchmark::DoNotOptimize(t->frameRect());
    }
    state.counters["chars"] = 10000;
}
BENCHMARK(Reflow10kIn300Points)->Unit(benchmark::kMicrosecond);

void MeasureWalk10k(benchmark::State& state)
{
    if (!fonts().helvetica) {
        state.SkipWithError("Helvetica (fonts-urw-base35) is not installed");
        return;
    }
    auto t = sample(TextAlign::Justified);
    for (auto _ : state)
        benchmark::DoNotOptimize(TextMetricsSink::instance().measure(*t, { 0, 0 }));
}
BENCHMARK(MeasureWalk10k)->Unit(benchmark::kMicrosecond);

void CaretAtEndOf10k(benchmark::State& state)
{
    if (!fonts().helvetica) {
        state.SkipWithError("Helvetica (fonts-urw-base35) is not installed");
        return;
    }
    auto t = sample(TextAlign::Justified);
    for (auto _ : state) {
        const Point p = PointFromCharSink::instance().pointAt(*t, 9999);
        benchmark::DoNotOptimize(CharFromPointSink::instance().charAt(*t, p));
    }
}
BENCHMARK(CaretAtEndOf10k)->Unit(benchmark::kMicrosecond);

} // namespace
