#pragma once
// Image files and image data decoded through Qt's image readers.

#include "platform/RasterSurface.h"

class QImage;

namespace zavora {

class QtImageDecoder : public ImageDecoder {
public:
    std::optional<DecodedImage> decodeFile(const std::string& path) override;
    std::optional<DecodedImage> decodeBytes(const std::vector<uint8_t>& bytes) override;
    // Pixels of an image Qt already holds (a pasted or dropped picture).
    static std::optional<DecodedImage> fromImage(const QImage& image);
};

} // namespace zavora
