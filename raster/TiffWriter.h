#pragma once
// Baseline TIFF: little-endian, uncompressed RGB in strips of about 8 KB, one
// image. Also the preview image of EPS files, hence written at the stream's
// current position with offsets counted from there.

#include "platform/DeviceContext.h"

namespace zavora {

class OutputStream;

// False when the image is empty, too large for 32-bit offsets, or a write or
// seek failed.
bool writeTiff(OutputStream& stream, const RgbImageView& image);

} // namespace zavora
