#pragma once
// JPEG encoding by libjpeg-turbo, into memory.

#include "platform/JpegEncoder.h"

namespace zavora {

class TurboJpegEncoder : public JpegEncoder {
public:
    bool encode(const RgbImageView& image, int quality, std::vector<uint8_t>& bytes, std::string& error) override;
};

} // namespace zavora
