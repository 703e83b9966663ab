#pragma once
// The bitmap export ports: the page drawn into a raster surface (curves as
// curves), optionally at 2 or 4 times the size and box-averaged down, then
// encoded into the port's stream when the page ends. BMP is the base; TIFF,
// GIF, JPEG and PNG differ only in their encoder.

#include "raster/GifWriter.h"
#include "raster/PageRenderer.h"

namespace zavora {

class JpegEncoder;
class OutputStream;

// 1, 2 or 4 rendered pixels each way to one exported pixel.
enum class Smoothing : int { None = 1, Double = 2, Quadruple = 4 };

// The box average of f x f blocks (integer division per channel); blocks are
// counted from the bottom-left corner, so rows left over by an odd height
// are dropped at the top. Nothing when the monitor cancelled or memory ran out.
std::optional<RgbImage> downsampleImage(const RgbImage& image, int f, ProgressMonitor* monitor);

class BitmapExportPort : public PageImagePort {
public:
    // `pixelsPerPoint` of the exported image; the page is drawn `smoothing` times larger.
    BitmapExportPort(OutputStream& stream, SurfaceFactory& surfaces, float pixelsPerPoint, Smoothing smoothing);

    void curvePath(const PaintStyle& style, const Matrix& matrix, const NodeList& nodes, bool closed,
        int arrow1, int arrow2) override;
    void flushCompoundPath() override;

protected:
    void finishImage(RgbImage image, ProgressMonitor* monitor) override;
    // Encodes the finished page into the stream; false when it could not
    // (reported by the port or the stream, or cancelled).
    virtual bool writeImage(const RgbImage& image, ProgressMonitor* monitor);
    OutputStream& stream() { return m_stream; }

private:
    OutputStream& m_stream;
    int m_smoothing;
};

class TiffExportPort : public BitmapExportPort {
public:
    TiffExportPort(OutputStream& stream, SurfaceFactory& surfaces, float pixelsPerPoint);

protected:
    bool writeImage(const RgbImage& image, ProgressMonitor* monitor) override;
};

class GifExportPort : public BitmapExportPort {
public:
    GifExportPort(OutputStream& stream, SurfaceFactory& surfaces, float pixelsPerPoint, Smoothing smoothing,
        const GifOptions& options);

protected:
    bool writeImage(const RgbImage& image, ProgressMonitor* monitor) override;

private:
    GifOptions m_options;
};

class JpegExportPort : public BitmapExportPort {
public:
    JpegExportPort(OutputStream& stream, SurfaceFactory& surfaces, float pixelsPerPoint, Smoothing smoothing,
        JpegEncoder& encoder, int quality);

protected:
    bool writeImage(const RgbImage& image, ProgressMonitor* monitor) override;

private:
    JpegEncoder& m_encoder;
    int m_quality;
};

} // namespace zavora
