#pragma once
// BMP of our own: the page image is 24-bit, so 24-bit files without a colour
// table, rows bottom-up padded to 4 bytes.

#include "platform/DeviceContext.h"

namespace zavora {

class OutputStream;

// False when the image is empty, too large for the file's 32-bit sizes, or a
// write failed.
bool writeBmp(OutputStream& stream, const RgbImageView& image);

} // namespace zavora
