#pragma once
// PNG export: the page image at the export's resolution, encoded by the
// platform's PNG encoder into the port's stream.

#include "raster/PageRenderer.h"

namespace zavora {

class OutputStream;

class PngExportPort : public PageImagePort {
public:
    PngExportPort(OutputStream& stream, SurfaceFactory& surfaces, PngEncoder& encoder,
        const PageRenderSettings& settings);

protected:
    void finishImage(RgbImage image) override;

private:
    OutputStream& m_stream;
    PngEncoder& m_encoder;
};

} // namespace zavora
