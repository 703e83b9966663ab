#include "platform/qt/QtRasterSurface.h"

#include <new>

namespace zavora {

QtRasterSurface::QtRasterSurface(int32_t width, int32_t height)
    : m_dc(width, height)
{ }

std::unique_ptr<RasterSurface> QtSurfaceFactory::createSurface(int32_t width, int32_t height)
{
    if (width <= 0 || height <= 0)
        return nullptr;
    // QImage answers a failed allocation with a null image, not an exception.
    auto surface = std::unique_ptr<QtRasterSurface>(new (std::nothrow) QtRasterSurface(width, height));
    if (!surface || !surface->isValid())
        return nullptr;
    return surface;
}

} // namespace zavora
