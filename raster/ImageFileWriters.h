#pragma once
// One image object's pixels as a file of their own (the pictures an SVG
// export puts beside its file). The files are not flushed to disk one by
// one: the caller calls syncFileSystemOf once after the last.

#include <string>

namespace zavora {

class ImageObject;
class JpegEncoder;

// At the JPEG quality given (1 to 100). False when the image has no pixels
// or the file could not be written (reported).
bool writeImageAsJpeg(const std::string& path, const ImageObject& image, JpegEncoder& encoder, int quality);

// Up to 256 colours exactly, more mapped to the 256 most frequent.
bool writeImageAsGif(const std::string& path, const ImageObject& image);

} // namespace zavora
