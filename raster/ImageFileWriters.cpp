#include "raster/ImageFileWriters.h"

#include "model/ImageObject.h"
#include "platform/JpegEncoder.h"
#include "platform/OutputStream.h"
#include "platform/Reporter.h"
#include "raster/GifWriter.h"

namespace zavora {

namespace {

RgbImageView pixelsOf(const ImageObject& image)
{
    if (!image.hasPixels())
        return {};
    return { image.pixels().data(), image.width(), image.height(), image.width() * 3 };
}

bool writeWhole(const std::string& path, const std::vector<uint8_t>& bytes)
{
    FileOutputStream stream;
    stream.deferSync();
    if (!stream.openPath(path))
        return false;
    if (!stream.write(bytes.data(), bytes.size())) {
        stream.abandon();
        return false;
    }
    return stream.close();
}

} // namespace

bool writeImageAsJpeg(const std::string& path, const ImageObject& image, JpegEncoder& encoder, int quality)
{
    const RgbImageView view = pixelsOf(image);
    if (!view.isValid())
        return false;
    std::vector<uint8_t> bytes;
    std::string error;
    if (!encoder.encode(view, quality, bytes, error)) {
        errorBox("Could not write the JPEG image %s:\n%s", path.c_str(), error.c_str());
        return false;
    }
    return writeWhole(path, bytes);
}

bool writeImageAsGif(const std::string& path, const ImageObject& image)
{
    const RgbImageView view = pixelsOf(image);
    if (!view.isValid())
        return false;
    const std::optional<std::vector<uint8_t>> bytes = encodeGif(view, {}, nullptr);
    if (!bytes) {
        errorBox("The image is too large for a GIF file:\n%s", path.c_str());
        return false;
    }
    return writeWhole(path, *bytes);
}

} // namespace zavora
