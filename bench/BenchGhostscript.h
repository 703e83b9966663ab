#pragma once
// Ghostscript as the yardstick: our native file of a generated drawing
// rendered by the interpreter, timed per run with its start-up, and the
// child's CPU time as a counter (the machine may be shared).

#include "model/Drawing.h"
#include "export/Export.h"

#include <benchmark/benchmark.h>

#include <sys/resource.h>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace zavora::bench {

inline double childCpuSeconds()
{
    rusage usage {};
    getrusage(RUSAGE_CHILDREN, &usage);
    return double(usage.ru_utime.tv_sec) + double(usage.ru_stime.tv_sec)
        + (double(usage.ru_utime.tv_usec) + double(usage.ru_stime.tv_usec)) / 1e6;
}

// Writes the drawing as a native file named `file` and runs `gs` with the
// options (device, size, resolution, output) on it once per iteration.
inline void timeGhostscript(
    benchmark::State& state, const Drawing& drawing, const std::filesystem::path& file, const std::string& options)
{
    if (std::system("gs --version > /dev/null 2>&1") != 0) {
        state.SkipWithError("Ghostscript (gs) is not installed");
        return;
    }
    if (!exportToFile(drawing, ExportKind::Native, file.string(), {}, nullptr)) {
        state.SkipWithError("cannot write the native file");
        return;
    }
    const std::string command = "gs -q -dSAFER -dBATCH -dNOPAUSE -dUseFastColor " + options + " '" + file.string()
        + "' > /dev/null 2>&1";
    double cpu = 0;
    for (auto _ : state) {
        const double before = childCpuSeconds();
        if (std::system(command.c_str()) != 0) {
            state.SkipWithError("Ghostscript failed");
            break;
        }
        cpu += childCpuSeconds() - before;
    }
    state.counters["gs_cpu_ms"] = benchmark::Counter(cpu * 1000, benchmark::Counter::kAvgIterations);
    std::filesystem::remove(file);
}

} // namespace zavora::bench
