#include "model/ImageObject.h"

#include "model/GraphicsKernel.h"
#include "model/OutputPort.h"
#include "model/ScreenPainter.h"

#include <limits>
#include <new>

namespace zavora {

namespace {
const Point kUnitSquare[] = { { 0, 0 }, { 1, 0 }, { 1, 1 }, { 0, 1 } };
}

void ImageObject::buildOutline() const
{
    GraphicsKernel& k = kernel();
    StateSaver saver;
    k.concat(matrix());
    k.moveto(0, 0);
    k.lineto(1, 0);
    k.lineto(1, 1);
    k.lineto(0, 1);
    k.closepath();
}

void ImageObject::drawOnScreen(ScreenPainter& painter, int mode) const
{
    if (mode == kDrawFinal)
        painter.image(*this);
    else
        paintOutline(painter, *this, mode);
}

std::vector<Point> ImageObject::handlePoints() const
{
    std::vector<Point> out;
    for (Point p : kUnitSquare)
        appendMapped(out, p);
    return out;
}

void ImageObject::emit(OutputPort& port) const
{
    port.image(matrix(), *this);
}

std::unique_ptr<DrawObject> ImageObject::clone() const
{
    return std::make_unique<ImageObject>(*this);
}

bool ImageObject::containsPoint(float x, float y) const
{
    const Rect box = boundingBox();
    if (x < box.left || x > box.right || y < box.bottom || y > box.top)
        return false;
    GraphicsKernel& k = kernel();
    PathScope scope;
    buildOutline();
    return k.pointInPath(x, y);
}

bool ImageObject::nearestOutlinePoint(Point&, float, float&) const
{
    return false;
}

bool ImageObject::allocatePixels(int32_t width, int32_t height)
{
    if (width <= 0 || height <= 0)
        return false;
    const std::size_t w = std::size_t(width), h = std::size_t(height);
    if (w > std::numeric_limits<std::size_t>::max() / 3 / h)
        return false;
    try {
        std::vector<uint8_t> block(w * h * 3, 0);
        m_pixels = std::move(block);
    } catch (const std::bad_alloc&) {
        return false;
    } catch (const std::length_error&) {
        return false;
    }
    m_width = width;
    m_height = height;
    return true;
}

std::optional<std::array<uint8_t, 3>> ImageObject::pixel(int32_t x, int32_t y) const
{
    if (x < 0 || y < 0 || x >= m_width || y >= m_height || m_pixels.empty())
        return std::nullopt;
    const std::size_t at = (std::size_t(y) * std::size_t(m_width) + std::size_t(x)) * 3;
    return std::array<uint8_t, 3> { m_pixels[at], m_pixels[at + 1], m_pixels[at + 2] };
}

bool ImageObject::setPixel(int32_t x, int32_t y, std::array<uint8_t, 3> rgb)
{
    if (x < 0 || y < 0 || x >= m_width || y >= m_height || m_pixels.empty())
        return false;
    const std::size_t at = (std::size_t(y) * std::size_t(m_width) + std::size_t(x)) * 3;
    m_pixels[at] = rgb[0];
    m_pixels[at + 1] = rgb[1];
    m_pixels[at + 2] = rgb[2];
    return true;
}

void ImageObject::placeAt(float x, float y)
{
    setMatrix(Matrix { float(m_width), 0, 0, float(m_height), x, y });
}

Rect ImageObject::computeBox() const
{
    return boxOfPoints(kUnitSquare, 4);
}

} // namespace zavora
