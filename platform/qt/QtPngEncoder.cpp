#include "platform/qt/QtPngEncoder.h"

#include <QBuffer>
#include <QImage>
#include <QImageWriter>

namespace zavora {

bool QtPngEncoder::encode(const RgbImageView& image, std::vector<uint8_t>& bytes)
{
    if (!image.isValid())
        return false;
    const QImage wrapped(image.pixels, image.width, image.height, image.stride, QImage::Format_RGB888);
    QByteArray encoded;
    QBuffer buffer(&encoded);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "png");
    if (!writer.write(wrapped))
        return false;
    bytes.assign(encoded.begin(), encoded.end());
    return true;
}

} // namespace zavora
