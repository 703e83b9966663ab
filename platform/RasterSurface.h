#pragma once
// RasterSurface: a device context that owns its pixels (the screen buffers,
// the window's contents, a rendered page), and the factory the raster layer
// asks for new ones, so that it never names the toolkit that keeps them.

#include "platform/DeviceContext.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace zavora {

class RasterSurface {
public:
    virtual ~RasterSurface() = default;

    virtual DeviceContext& dc() = 0;
    virtual int32_t width() const = 0;
    virtual int32_t height() const = 0;
    // Smoothed edges for the filled view; inverted drawing is never smoothed.
    virtual void setAntialiasing(bool on) = 0;
};

class SurfaceFactory {
public:
    virtual ~SurfaceFactory() = default;
    // A white surface of the given size; nullptr when the size is not
    // positive or the memory cannot be had.
    virtual std::unique_ptr<RasterSurface> createSurface(int32_t width, int32_t height) = 0;
};

// PNG is not one of the formats the program encodes itself: the platform's
// encoder writes it.
class PngEncoder {
public:
    virtual ~PngEncoder() = default;
    // The whole file in `bytes`; false when the image cannot be encoded.
    virtual bool encode(const RgbImageView& image, std::vector<uint8_t>& bytes) = 0;
};

// Decoded pixels of an image file: red, green, blue per pixel, rows from the top.
struct DecodedImage {
    int32_t width = 0;
    int32_t height = 0;
    std::vector<uint8_t> rgb;
};

// Reading BMP, JPEG, GIF and PNG files (and pasted or dropped image data) is
// the platform's: the program places the pixels, it does not decode them.
class ImageDecoder {
public:
    virtual ~ImageDecoder() = default;
    // Nothing when the data is not an image the platform reads.
    virtual std::optional<DecodedImage> decodeFile(const std::string& path) = 0;
    virtual std::optional<DecodedImage> decodeBytes(const std::vector<uint8_t>& bytes) = 0;
};

} // namespace zavora
