#pragma once
// JPEG is not one of the formats the program encodes itself: a JPEG library
// behind this interface does it (the raster layer never names the library).

#include "platform/DeviceContext.h"

#include <string>
#include <vector>

namespace zavora {

class JpegEncoder {
public:
    virtual ~JpegEncoder() = default;
    // Baseline YCbCr with 2 x 2 chroma subsampling at `quality` (1 to 100).
    // The whole file in `bytes`; false with the library's reason in `error`.
    virtual bool encode(const RgbImageView& image, int quality, std::vector<uint8_t>& bytes, std::string& error) = 0;
};

} // namespace zavora
