#pragma once
// PNG files for the converter (PNG is not one of the program's own formats,
// so Qt's encoder writes it). The file is replaced only once it is complete.

#include "platform/DeviceContext.h"

#include <string>

namespace zavora {

// Writes the image to `path`; on failure returns false, leaves any earlier
// file as it was and puts the reason in `errorText`.
bool writePng(const std::string& path, const RgbImageView& image, std::string& errorText);

} // namespace zavora
