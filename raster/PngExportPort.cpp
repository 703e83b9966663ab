#include "raster/PngExportPort.h"

#include "platform/OutputStream.h"
#include "platform/Reporter.h"

namespace zavora {

PngExportPort::PngExportPort(
    OutputStream& stream, SurfaceFactory& surfaces, PngEncoder& encoder, float pixelsPerPoint, Smoothing smoothing)
    : BitmapExportPort(stream, surfaces, pixelsPerPoint, smoothing)
    , m_encoder(encoder)
{ }

bool PngExportPort::writeImage(const RgbImage& image, ProgressMonitor*)
{
    std::vector<uint8_t> bytes;
    if (!m_encoder.encode(image.view(), bytes)) {
        errorBox("Not enough memory");
        return false;
    }
    return stream().write(bytes.data(), bytes.size());
}

} // namespace zavora
