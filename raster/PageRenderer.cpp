#include "raster/PageRenderer.h"

#include "platform/DebugLog.h"
#include "platform/Reporter.h"
#include "raster/GdiPort.h"

#include <cmath>
#include <limits>

namespace zavora {

namespace {

// A page image beyond this many pixels is refused rather than attempted.
constexpr int64_t kMaxPixels = int64_t(1) << 28;

// Each operator pre-multiplies the CTM: the last one named acts first on a point.
KMatrix then(const KMatrix& ctm, const KMatrix& op)
{
    return multiply(op, ctm);
}

KMatrix translation(double tx, double ty)
{
    return { 1, 0, 0, 1, tx, ty };
}

} // namespace

PageMapping pageMapping(const DocumentInfo& info, float pixelsPerPoint)
{
    const double f = pixelsPerPoint;
    double w = double(info.x1) - info.x0, h = double(info.y1) - info.y0;
    if (info.landscape)
        std::swap(w, h);
    PageMapping mapping;
    const double W = std::trunc(w * f), H = std::trunc(h * f);
    const double limit = std::numeric_limits<int32_t>::max();
    mapping.width = W > 0 && W <= limit ? int32_t(W) : 0;
    mapping.height = H > 0 && H <= limit ? int32_t(H) : 0;

    KMatrix ctm;
    if (info.landscape) {
        ctm = then(ctm, { 0, 1, -1, 0, 0, 0 }); // rotate(90)
        ctm = then(ctm, translation(0, -H));
    }
    ctm = then(ctm, { 1, 0, 0, -1, 0, 0 });
    ctm = then(ctm, translation(-info.x0, -info.y0));
    ctm = then(ctm, translation(0, -H));
    if (f != 1) {
        ctm = then(ctm, translation(info.x0, info.y0));
        ctm = then(ctm, { f, 0, 0, f, 0, 0 });
        ctm = then(ctm, translation(-info.x0, -info.y0));
    }
    mapping.pageToPixels = ctm;
    return mapping;
}

PageImagePort::PageImagePort(SurfaceFactory& factory, const PageRenderSettings& settings)
    : m_factory(factory)
    , m_settings(settings)
{ }

bool PageImagePort::beginPage(const DocumentInfo& info, bool downloadFonts, ProgressMonitor* monitor)
{
    const float f = m_settings.pixelsPerPoint;
    if (!(f > 0) || !std::isfinite(f)) {
        debugLog("PageImagePort: resolution %g", double(f));
        return false;
    }
    const PageMapping mapping = pageMapping(info, f);
    if (mapping.width <= 0 || mapping.height <= 0 || int64_t(mapping.width) * mapping.height > kMaxPixels) {
        errorBox("%s", kPageMemoryMessage);
        return false;
    }
    m_surface = m_factory.createSurface(mapping.width, mapping.height);
    if (!m_surface) {
        errorBox("%s", kPageMemoryMessage);
        return false;
    }
    m_surface->setAntialiasing(m_settings.antialias);
    bind(m_surface->dc(), mapping.pageToPixels.toMatrix());
    setScale(f);
    return GdiPort::beginPage(info, downloadFonts, monitor);
}

void PageImagePort::endPage(ProgressMonitor* monitor)
{
    GdiPort::endPage(monitor);
    const int32_t width = m_surface->width(), height = m_surface->height();
    std::vector<uint32_t> pixels;
    const bool read = m_surface->dc().readPixels(0, 0, width, height, pixels);
    m_surface.reset();
    if (!read) {
        errorBox("%s", kPageMemoryMessage);
        setFailed();
        return;
    }
    RgbImage image;
    image.width = width;
    image.height = height;
    image.pixels.resize(pixels.size() * 3);
    for (size_t i = 0; i < pixels.size(); ++i) {
        image.pixels[i * 3] = uint8_t(pixels[i] >> 16);
        image.pixels[i * 3 + 1] = uint8_t(pixels[i] >> 8);
        image.pixels[i * 3 + 2] = uint8_t(pixels[i]);
    }
    finishImage(std::move(image), monitor);
}

} // namespace zavora
