#include "platform/qt/QtImageDecoder.h"

#include <QImage>
#include <QImageReader>
#include <QPainter>

#include <cstring>
#include <limits>

namespace zavora {

namespace {

// A picture larger than this many pixels is refused rather than decoded:
// its pixels would not fit the memory a drawing may take.
constexpr qint64 kMostPixels = 20000LL * 20000LL;

} // namespace

std::optional<DecodedImage> QtImageDecoder::fromImage(const QImage& image)
{
    if (image.isNull() || qint64(image.width()) * image.height() > kMostPixels)
        return std::nullopt;
    // Transparent pixels show the white page they are drawn on.
    QImage rgb(image.size(), QImage::Format_RGB888);
    rgb.fill(Qt::white);
    QPainter painter(&rgb);
    painter.drawImage(0, 0, image);
    painter.end();
    DecodedImage out;
    out.width = rgb.width();
    out.height = rgb.height();
    const std::size_t row = std::size_t(out.width) * 3;
    out.rgb.resize(row * std::size_t(out.height));
    for (int y = 0; y < out.height; ++y)
        std::memcpy(out.rgb.data() + row * std::size_t(y), rgb.constScanLine(y), row);
    return out;
}

std::optional<DecodedImage> QtImageDecoder::decodeFile(const std::string& path)
{
    QImageReader reader(QString::fromStdString(path));
    reader.setAutoTransform(true);
    const QSize size = reader.size();
    if (size.isValid() && qint64(size.width()) * size.height() > kMostPixels)
        return std::nullopt;
    return fromImage(reader.read());
}

std::optional<DecodedImage> QtImageDecoder::decodeBytes(const std::vector<uint8_t>& bytes)
{
    if (bytes.empty() || bytes.size() > std::size_t(std::numeric_limits<int>::max()))
        return std::nullopt;
    QImage image;
    if (!image.loadFromData(bytes.data(), int(bytes.size())))
        return std::nullopt;
    return fromImage(image);
}

} // namespace zavora
