#include "raster/BitmapExportPort.h"

#include "model/ProgressMonitor.h"
#include "platform/JpegEncoder.h"
#include "platform/OutputStream.h"
#include "platform/Reporter.h"
#include "raster/BmpWriter.h"
#include "raster/TiffWriter.h"

#include <new>

namespace zavora {

namespace {

PageRenderSettings renderSettings(float pixelsPerPoint, Smoothing smoothing)
{
    PageRenderSettings settings;
    settings.pixelsPerPoint = pixelsPerPoint * float(smoothing);
    return settings;
}

} // namespace

std::optional<RgbImage> downsampleImage(const RgbImage& image, int f, ProgressMonitor* monitor)
{
    if (monitor)
        monitor->setMessage("Allocating memory...");
    if (monitor && monitor->cancelled())
        return std::nullopt;
    RgbImage small;
    small.width = image.width / f;
    small.height = image.height / f;
    try {
        small.pixels.resize(size_t(small.width) * size_t(small.height) * 3);
    } catch (const std::bad_alloc&) {
        return std::nullopt;
    }
    if (monitor) {
        monitor->setMessage("Exporting...");
        monitor->start(small.height);
    }
    const size_t rowBytes = size_t(image.width) * 3;
    const int32_t top = image.height - small.height * f; // rows left over, dropped
    const uint32_t area = uint32_t(f * f);
    for (int32_t y = 0; y < small.height; ++y) {
        if (monitor) {
            if (monitor->cancelled())
                return std::nullopt;
            monitor->step();
        }
        const uint8_t* block = image.pixels.data() + size_t(top + y * f) * rowBytes;
        uint8_t* out = small.pixels.data() + size_t(y) * size_t(small.width) * 3;
        for (int32_t x = 0; x < small.width; ++x) {
            uint32_t sum[3] = { 0, 0, 0 };
            for (int j = 0; j < f; ++j) {
                const uint8_t* p = block + size_t(j) * rowBytes + size_t(x) * size_t(f) * 3;
                for (int i = 0; i < f; ++i, p += 3) {
                    sum[0] += p[0];
                    sum[1] += p[1];
                    sum[2] += p[2];
                }
            }
            for (int c = 0; c < 3; ++c)
                *out++ = uint8_t(sum[c] / area);
        }
    }
    return small;
}

BitmapExportPort::BitmapExportPort(
    OutputStream& stream, SurfaceFactory& surfaces, float pixelsPerPoint, Smoothing smoothing)
    : PageImagePort(surfaces, renderSettings(pixelsPerPoint, smoothing))
    , m_stream(stream)
    , m_smoothing(int(smoothing))
{ }

void BitmapExportPort::curvePath(
    const PaintStyle& style, const Matrix& matrix, const NodeList& nodes, bool closed, int arrow1, int arrow2)
{
    drawCurveAsPath(style, matrix, nodes, closed, arrow1, arrow2);
}

void BitmapExportPort::flushCompoundPath()
{
    const std::vector<PathElement> elements = takePendingPath();
    if (!elements.empty())
        drawPath(elements, pendingStyle());
}

void BitmapExportPort::finishImage(RgbImage image, ProgressMonitor* monitor)
{
    if (m_smoothing != 1) {
        std::optional<RgbImage> small = downsampleImage(image, m_smoothing, monitor);
        image = RgbImage();
        if (!small) {
            // A cancel writes nothing; so does memory running out.
            setFailed();
            return;
        }
        image = std::move(*small);
    }
    bool written = false;
    try {
        written = writeImage(image, monitor);
    } catch (const std::bad_alloc&) {
        // The encoders' tables grow with the picture; a huge one may not fit.
        errorBox("%s", kPageMemoryMessage);
    }
    if (!written)
        setFailed();
}

bool BitmapExportPort::writeImage(const RgbImage& image, ProgressMonitor*)
{
    // A failed write is reported by the stream.
    return writeBmp(m_stream, image.view());
}

TiffExportPort::TiffExportPort(OutputStream& stream, SurfaceFactory& surfaces, float pixelsPerPoint)
    : BitmapExportPort(stream, surfaces, pixelsPerPoint, Smoothing::None)
{ }

bool TiffExportPort::writeImage(const RgbImage& image, ProgressMonitor*)
{
    return writeTiff(stream(), image.view());
}

GifExportPort::GifExportPort(OutputStream& stream, SurfaceFactory& surfaces, float pixelsPerPoint,
    Smoothing smoothing, const GifOptions& options)
    : BitmapExportPort(stream, surfaces, pixelsPerPoint, smoothing)
    , m_options(options)
{ }

bool GifExportPort::writeImage(const RgbImage& image, ProgressMonitor* monitor)
{
    if (image.width > kGifMaxSide || image.height > kGifMaxSide) {
        errorBox("The image is too large for a GIF file\n\nA GIF is at most %d pixels wide and high", kGifMaxSide);
        return false;
    }
    const std::optional<std::vector<uint8_t>> bytes = encodeGif(image.view(), m_options, monitor);
    if (!bytes)
        return false; // cancelled
    return stream().write(bytes->data(), bytes->size());
}

JpegExportPort::JpegExportPort(OutputStream& stream, SurfaceFactory& surfaces, float pixelsPerPoint,
    Smoothing smoothing, JpegEncoder& encoder, int quality)
    : BitmapExportPort(stream, surfaces, pixelsPerPoint, smoothing)
    , m_encoder(encoder)
    , m_quality(quality)
{ }

bool JpegExportPort::writeImage(const RgbImage& image, ProgressMonitor*)
{
    std::vector<uint8_t> bytes;
    std::string error;
    if (!m_encoder.encode(image.view(), m_quality, bytes, error)) {
        errorBox("Could not write the JPEG image:\n%s", error.c_str());
        return false;
    }
    return stream().write(bytes.data(), bytes.size());
}

} // namespace zavora
