// DejaVu Sans (about 6000 glyphs) converted to a Type 42 and to a Type 3
// program in memory, as an EPS export with "Include fonts" does.
#include "fonts/Type3Converter.h"
#include "fonts/Type42Converter.h"
#include "platform/FontSystem.h"
#include "platform/OutputStream.h"
#include "platform/Reporter.h"

#include <benchmark/benchmark.h>

#include <fstream>
#include <iterator>
#include <vector>

using namespace zavora;

namespace {

std::vector<std::uint8_t> dejaVuSans()
{
    for (const FontFileInfo& f : systemFontSystem().enumerate())
        if (f.family == "DejaVu Sans" && f.style == "Book" && f.format == FontFileInfo::Format::TrueType) {
            std::ifstream in(f.path, std::ios::binary);
            return { std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>() };
        }
    return {};
}

template <class Converter> void convertDejaVuSans(benchmark::State& state)
{
    static const std::vector<std::uint8_t> font = dejaVuSans();
    if (font.empty()) {
        state.SkipWithError("DejaVu Sans is not installed");
        return;
    }
    RecordingReporter messages;
    std::size_t written = 0;
    for (auto _ : state) {
        MemoryOutputStream out;
        if (!Converter("DejaVuSans").convert(font, out)) {
            state.SkipWithError("the conversion failed");
            return;
        }
        written = out.data().size();
    }
    state.counters["bytes"] = double(written);
}

void Type42DejaVuSans(benchmark::State& state)
{
    convertDejaVuSans<Type42Converter>(state);
}
void Type3DejaVuSans(benchmark::State& state)
{
    convertDejaVuSans<Type3Converter>(state);
}

} // namespace

BENCHMARK(Type42DejaVuSans)->Unit(benchmark::kMillisecond);
BENCHMARK(Type3DejaVuSans)->Unit(benchmark::kMillisecond);
