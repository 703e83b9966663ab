#pragma once
// A raster image placed by its matrix: object space is the unit square, which
// the matrix maps onto the page. Pixels are three bytes, red, green, blue,
// row after row without padding; (x, y) starts at byte (y * width + x) * 3.

#include "model/DrawObject.h"

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

namespace zavora {

class ImageObject : public DrawObject {
public:
    ImageObject() = default;
    ImageObject(const ImageObject& other) = default;

    ObjectType type() const override { return ObjectType::Image; }
    // The unit square, so an image can be picked and outlined like a shape.
    void buildOutline() const override;
    void drawOnScreen(ScreenPainter& painter, int mode) const override;
    // The unit square's four corners.
    std::vector<Point> handlePoints() const override;
    void emit(OutputPort& port) const override;
    std::unique_ptr<DrawObject> clone() const override;
    EditToolId editTool() const override { return EditToolId::ImageEdit; }

    // An image is opaque whatever its fill flag says.
    bool containsPoint(float x, float y) const override;
    // Images are not snap targets.
    bool nearestOutlinePoint(Point& point, float tolerance, float& distanceSquared) const override;

    // A zero-filled block of width * height pixels; false (leaving the image
    // as it was) for a non-positive or overflowing size or when memory runs out.
    bool allocatePixels(int32_t width, int32_t height);
    int32_t width() const { return m_width; }
    int32_t height() const { return m_height; }
    bool hasPixels() const { return !m_pixels.empty(); }
    const std::vector<uint8_t>& pixels() const { return m_pixels; }
    uint8_t* pixelData() { return m_pixels.data(); }
    // Red, green, blue at (x, y); nothing outside the image.
    std::optional<std::array<uint8_t, 3>> pixel(int32_t x, int32_t y) const;
    // False outside the image.
    bool setPixel(int32_t x, int32_t y, std::array<uint8_t, 3> rgb);
    // Scales the unit square to width x height points at (x, y): one pixel, one point.
    void placeAt(float x, float y);

protected:
    Rect computeBox() const override;

private:
    int32_t m_width = 0;
    int32_t m_height = 0;
    std::vector<uint8_t> m_pixels;
};

} // namespace zavora
