#pragma once
// A screen canvas over real Qt surfaces for the screen tests, with pixel
// probes on its window and buffers.

// Model and raster headers before any Qt header: Qt defines `emit` as a macro.
#include "raster/ScreenCanvas.h"

#include "platform/qt/QtRasterSurface.h"

#include <gtest/gtest.h>

namespace zavora::test {

constexpr uint32_t kWhitePixel = 0xffffff;
constexpr uint32_t kBlackPixel = 0x000000;

class CanvasFixture : public ::testing::Test {
protected:
    // A canvas of w x h pixels; drawing coordinates at `zoom` pixels per
    // point, y up, the drawing origin at the bottom-left corner.
    void makeCanvas(int32_t w, int32_t h, double zoom = 1)
    {
        canvas = std::make_unique<ScreenCanvas>(factory);
        ASSERT_TRUE(canvas->createBuffers(w, h));
        canvas->setViewMatrix(KMatrix(zoom, 0, 0, -zoom, 0, h));
    }

    QtRasterSurface& surface(ScreenBuffer which)
    {
        return static_cast<QtRasterSurface&>(*canvas->buffer(which));
    }
    QtRasterSurface& window() { return static_cast<QtRasterSurface&>(*canvas->window()); }
    uint32_t view(int32_t x, int32_t y) { return surface(ScreenBuffer::View).rasterDc().pixel(x, y); }
    uint32_t win(int32_t x, int32_t y) { return window().rasterDc().pixel(x, y); }
    QImage viewImage() { return surface(ScreenBuffer::View).image().copy(); }
    QImage windowImage() { return window().image().copy(); }

    template <class Predicate> int countView(Predicate predicate)
    {
        int count = 0;
        for (int y = 0; y < canvas->height(); ++y)
            for (int x = 0; x < canvas->width(); ++x)
                count += predicate(x, y, view(x, y)) ? 1 : 0;
        return count;
    }
    int viewInk()
    {
        return countView([](int, int, uint32_t p) { return p != kWhitePixel; });
    }

    QtSurfaceFactory factory;
    std::unique_ptr<ScreenCanvas> canvas;
};

} // namespace zavora::test
