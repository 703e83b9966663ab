#pragma once
// The drawing window the redraw benchmarks repaint: a 1600 x 1200 view
// buffer showing a letter page at the fit-in-window zoom.

#include "model/Drawing.h"
#include "raster/ScreenCanvas.h"

#include "platform/qt/QtRasterSurface.h"

#include <benchmark/benchmark.h>

#include <algorithm>

namespace zavora::bench {

constexpr int kWindowWidth = 1600;
constexpr int kWindowHeight = 1200;
constexpr float kLetterWidth = 612;
constexpr float kLetterHeight = 792;

// The page centred at the fit-in-window zoom.
inline KMatrix fitInWindow()
{
    const double zoom
        = std::min(kWindowWidth / (kLetterWidth + 72.0), kWindowHeight / (kLetterHeight + 72.0));
    const double cx = (kWindowWidth - kLetterWidth * zoom) / 2, cy = (kWindowHeight + kLetterHeight * zoom) / 2;
    return { zoom, 0, 0, -zoom, cx, cy };
}

struct RedrawSettings {
    int mode = kDrawFinal;
    bool smoothed = false; // every edge, as the filled view of small drawings
    bool smoothedText = false; // the filled view's text
};

// Times full redraws of the drawing into the view buffer, as the window repaints.
inline void timeFullRedraw(benchmark::State& state, const Drawing& drawing, RedrawSettings settings)
{
    QtSurfaceFactory factory;
    ScreenCanvas canvas(factory);
    if (!canvas.createBuffers(kWindowWidth, kWindowHeight)) {
        state.SkipWithError("no buffers");
        return;
    }
    canvas.setViewMatrix(fitInWindow());
    canvas.setAntialiasing(settings.smoothed);
    canvas.setTextSmoothing(settings.smoothedText);
    for (auto _ : state) {
        canvas.clear();
        canvas.redraw(drawing, settings.mode);
        // The painter writes lazily: take the pixels as the paint event would.
        benchmark::DoNotOptimize(
            static_cast<QtRasterSurface*>(canvas.buffer(ScreenBuffer::View))->image().bits());
    }
    state.SetItemsProcessed(state.iterations() * int64_t(drawing.objectCount()));
}

} // namespace zavora::bench
