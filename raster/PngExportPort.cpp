#include "raster/PngExportPort.h"

#include "platform/OutputStream.h"
#include "platform/Reporter.h"

namespace zavora {

PngExportPort::PngExportPort(
    OutputStream& stream, SurfaceFactory& surfaces, PngEncoder& encoder, const PageRenderSettings& settings)
    : PageImagePort(surfaces, settings)
    , m_stream(stream)
    , m_encoder(encoder)
{ }

void PngExportPort::finishImage(RgbImage image)
{
    std::vector<uint8_t> bytes;
    if (!m_encoder.encode(image.view(), bytes)) {
        errorBox("Not enough memory");
        setFailed();
        return;
    }
    // A failed write is the stream's to report when it closes.
    m_stream.write(bytes.data(), bytes.size());
}

} // namespace zavora
