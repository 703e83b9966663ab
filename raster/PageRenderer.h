#pragma once
// Renders a drawing's page box into an RGB image through GdiPort, as the
// bitmap export does: the page box of the traversal (drawing box plus
// margin), `pixelsPerPoint` device pixels to a point, a landscape page turned
// a quarter so that the page's width runs down the image. The converter
// writes the result as PNG.

#include "model/Geometry.h"
#include "model/OutputPort.h"
#include "platform/DeviceContext.h"
#include "platform/RasterSurface.h"

#include <cstdint>
#include <optional>
#include <vector>

namespace zavora {

class Drawing;
struct RenderOptions;

// Three bytes per pixel, red, green, blue, rows top to bottom without padding.
struct RgbImage {
    int32_t width = 0;
    int32_t height = 0;
    std::vector<uint8_t> pixels;
    RgbImageView view() const { return { pixels.data(), width, height, width * 3 }; }
};

struct PageRenderSettings {
    float pixelsPerPoint = 1; // 1 is 72 dots per inch
    bool antialias = false;
};

// Page points to image pixels: portrait (px, py) -> (f (px - x0), f (y1 - py)),
// landscape (px, py) -> (f (py - y0), f (px - x0)), and the image's size.
struct PageMapping {
    KMatrix pageToPixels;
    int32_t width = 0;
    int32_t height = 0;
};
PageMapping pageMapping(const DocumentInfo& info, float pixelsPerPoint);

// Nothing when the image cannot be made: a size beyond what memory allows
// reports "Not enough memory\n\nTurn off smoothing or reduce size of drawing".
std::optional<RgbImage> renderPage(const Drawing& drawing, SurfaceFactory& factory,
    const PageRenderSettings& settings, const RenderOptions& options);

} // namespace zavora
