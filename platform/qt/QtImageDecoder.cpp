#include "platform/qt/QtImageDecoder.h"

#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QPainter>

#include <cstdlib>
#include <cstring>
#include <limits>

namespace zavora {

namespace {

// A picture larger than this many pixels is refused rather than decoded:
// its pixels would not fit the memory a drawing may take.
constexpr qint64 kMostPixels = 20000LL * 20000LL;

uint32_t littleEndian(const QByteArray& bytes, int at, int size)
{
    uint32_t value = 0;
    for (int i = size - 1; i >= 0; --i)
        value = (value << 8) | uint8_t(bytes[at + i]);
    return value;
}

// Whether an uncompressed bitmap file holds every row its headers promise.
// The reader fills the rows a cut-off file lacks with whatever the memory held.
bool bitmapComplete(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return true; // the reader reports it
    const QByteArray head = file.read(34);
    if (head.size() < 26 || !head.startsWith("BM"))
        return true; // not ours to judge: the reader refuses it or it is no file bitmap
    const uint32_t pixelsAt = littleEndian(head, 10, 4);
    const uint32_t headerSize = littleEndian(head, 14, 4);
    uint64_t width = 0, height = 0, bits = 0, compression = 0;
    if (headerSize == 12) {
        width = littleEndian(head, 18, 2);
        height = littleEndian(head, 20, 2);
        bits = littleEndian(head, 24, 2);
    } else if (head.size() >= 34) {
        width = uint64_t(std::abs(int64_t(int32_t(littleEndian(head, 18, 4)))));
        height = uint64_t(std::abs(int64_t(int32_t(littleEndian(head, 22, 4)))));
        bits = littleEndian(head, 28, 2);
        compression = littleEndian(head, 30, 4);
    }
    constexpr uint32_t kPlainRows = 0, kBitFields = 3;
    if (compression != kPlainRows && compression != kBitFields)
        return true; // run-length rows have no fixed size
    const uint64_t rowBytes = (width * bits + 31) / 32 * 4;
    return uint64_t(file.size()) >= pixelsAt + rowBytes * height;
}

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
    const QString name = QString::fromStdString(path);
    QImageReader reader(name);
    reader.setAutoTransform(true);
    const QSize size = reader.size();
    if (size.isValid() && qint64(size.width()) * size.height() > kMostPixels)
        return std::nullopt;
    if (!bitmapComplete(name))
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
