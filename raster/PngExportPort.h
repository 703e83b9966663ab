#pragma once
// PNG export: the page image drawn and smoothed like the other bitmaps,
// encoded by the platform's PNG encoder into the port's stream.

#include "raster/BitmapExportPort.h"

namespace zavora {

class OutputStream;

class PngExportPort : public BitmapExportPort {
public:
    PngExportPort(OutputStream& stream, SurfaceFactory& surfaces, PngEncoder& encoder, float pixelsPerPoint,
        Smoothing smoothing);

protected:
    bool writeImage(const RgbImage& image, ProgressMonitor* monitor) override;

private:
    PngEncoder& m_encoder;
};

} // namespace zavora
