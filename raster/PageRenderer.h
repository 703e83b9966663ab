#pragma once
// Renders a page into an RGB image through GdiPort, as the bitmap exports
// do: the page box the traversal hands to beginPage (drawing box plus
// margin), `pixelsPerPoint` device pixels to a point, a landscape page turned
// a quarter so that the page's width runs down the image.

#include "model/Geometry.h"
#include "model/OutputPort.h"
#include "platform/DeviceContext.h"
#include "platform/RasterSurface.h"
#include "raster/GdiPort.h"

#include <cstdint>
#include <optional>
#include <vector>

namespace zavora {

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

// What the user is told when a page image does not fit in memory.
inline constexpr const char* kPageMemoryMessage
    = "Not enough memory\n\nTurn off smoothing or reduce size of drawing";

// The port behind every page image: beginPage makes the surface of the page
// box's size, the primitives draw into it, and endPage reads the pixels back
// and hands them to finishImage. A size beyond what memory allows refuses the
// page with "Not enough memory\n\nTurn off smoothing or reduce size of drawing".
class PageImagePort : public GdiPort {
public:
    PageImagePort(SurfaceFactory& factory, const PageRenderSettings& settings);

    bool beginPage(const DocumentInfo& info, bool downloadFonts, ProgressMonitor* monitor) override;
    void endPage(ProgressMonitor* monitor) override;

    bool failed() const override { return m_failed; }
    // The page once endPage has read it; nothing before, or when reading failed.
    std::optional<RgbImage> takeImage() { return std::move(m_image); }

protected:
    // Called by endPage with the finished page; the default keeps it for takeImage.
    virtual void finishImage(RgbImage image, ProgressMonitor* /*monitor*/) { m_image = std::move(image); }
    void setFailed() { m_failed = true; }

private:
    SurfaceFactory& m_factory;
    PageRenderSettings m_settings;
    std::unique_ptr<RasterSurface> m_surface;
    std::optional<RgbImage> m_image;
    bool m_failed = false;
};

} // namespace zavora
