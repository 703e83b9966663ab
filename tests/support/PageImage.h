#pragma once
// A drawing's page as an image, drawn by the port every page-image export
// uses, for tests that look at the pixels themselves.

#include "model/Drawing.h"
#include "output/Traversal.h"
#include "raster/PageRenderer.h"

#include <optional>

namespace zavora::pageimage {

// Nothing when the page cannot be made (reported as the exports report it).
inline std::optional<RgbImage> renderPage(const Drawing& drawing, SurfaceFactory& factory,
    const PageRenderSettings& settings, const RenderOptions& options)
{
    PageImagePort port(factory, settings);
    if (renderDrawing(drawing, port, options) != RenderResult::Completed)
        return std::nullopt;
    return port.takeImage();
}

} // namespace zavora::pageimage
