// Font catalogue load (first start and with the settings cache) and string
// width throughput on the fonts of this machine.
#include "fonts/FontCatalogue.h"
#include "platform/FontSystem.h"
#include "platform/Profile.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <string>

using namespace zavora;

namespace {

std::filesystem::path scratchFolder()
{
    static std::filesystem::path folder = [] {
        std::string tmpl = (std::filesystem::temp_directory_path() / "zavora-bench-fonts-XXXXXX").string();
        if (!::mkdtemp(tmpl.data()))
            std::abort();
        return std::filesystem::path(tmpl);
    }();
    return folder;
}

void CatalogueLoadCold(benchmark::State& state)
{
    std::filesystem::path file = scratchFolder() / "cold.ini";
    std::size_t fonts = 0;
    for (auto _ : state) {
        state.PauseTiming();
        std::filesystem::remove(file);
        Profile settings(file);
        FontCatalogue catalogue(systemFontSystem(), settings, scratchFolder() / "atm.ini");
        state.ResumeTiming();
        catalogue.load();
        fonts = catalogue.entries().size();
    }
    state.counters["fonts"] = double(fonts);
}
BENCHMARK(CatalogueLoadCold)->Unit(benchmark::kMillisecond);

void CatalogueLoadCached(benchmark::State& state)
{
    std::filesystem::path file = scratchFolder() / "cached.ini";
    {
        Profile settings(file);
        FontCatalogue warm(systemFontSystem(), settings, scratchFolder() / "atm.ini");
        warm.load();
    }
    Profile settings(file);
    std::size_t fonts = 0;
    for (auto _ : state) {
        FontCatalogue catalogue(systemFontSystem(), settings, scratchFolder() / "atm.ini");
        catalogue.load();
        fonts = catalogue.entries().size();
    }
    state.counters["fonts"] = double(fonts);
}
BENCHMARK(CatalogueLoadCached)->Unit(benchmark::kMillisecond);

void StringWidth(benchmark::State& state)
{
    Profile settings(scratchFolder() / "width.ini");
    FontCatalogue catalogue(systemFontSystem(), settings, scratchFolder() / "atm.ini");
    catalogue.type1().loadCatalogue();
    const FontEntry* font = catalogue.defaultTextFont();
    if (!font) {
        state.SkipWithError("no fonts");
        return;
    }
    std::string text;
    for (int i = 0; i < 1000; ++i)
        text += static_cast<char>(32 + (i * 7) % 95);
    font->metrics();
    double sum = 0;
    for (auto _ : state) {
        sum += font->stringWidth(text, 12);
        benchmark::DoNotOptimize(sum);
    }
    state.SetBytesProcessed(state.iterations() * int64_t(text.size()));
}
BENCHMARK(StringWidth);

void CharWidths(benchmark::State& state)
{
    Profile settings(scratchFolder() / "width.ini");
    FontCatalogue catalogue(systemFontSystem(), settings, scratchFolder() / "atm.ini");
    catalogue.type1().loadCatalogue();
    const FontEntry* font = catalogue.defaultTextFont();
    if (!font) {
        state.SkipWithError("no fonts");
        return;
    }
    std::string text(1000, 'e');
    std::vector<int> widths;
    for (auto _ : state)
        benchmark::DoNotOptimize(font->charWidths(text, 11.5, widths));
    state.SetBytesProcessed(state.iterations() * int64_t(text.size()));
}
BENCHMARK(CharWidths);

} // namespace
