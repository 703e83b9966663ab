#include "platform/qt/PngWriter.h"

#include <QImage>
#include <QImageWriter>
#include <QSaveFile>

namespace zavora {

bool writePng(const std::string& path, const RgbImageView& image, std::string& errorText)
{
    if (!image.isValid()) {
        errorText = "The image is empty";
        return false;
    }
    const QImage wrapped(image.pixels, image.width, image.height, image.stride, QImage::Format_RGB888);
    QSaveFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::WriteOnly)) {
        errorText = file.errorString().toStdString();
        return false;
    }
    QImageWriter writer(&file, "png");
    if (!writer.write(wrapped)) {
        errorText = writer.errorString().toStdString();
        file.cancelWriting();
        return false;
    }
    if (!file.commit()) {
        errorText = file.errorString().toStdString();
        return false;
    }
    return true;
}

} // namespace zavora
