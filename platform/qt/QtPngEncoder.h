#pragma once
// PNG encoding through Qt's image writer.

#include "platform/RasterSurface.h"

namespace zavora {

class QtPngEncoder : public PngEncoder {
public:
    bool encode(const RgbImageView& image, std::vector<uint8_t>& bytes) override;
};

} // namespace zavora
