#include "export/Insert.h"

#include "export/Export.h"
#include "fonts/AnsiEncoding.h"
#include "model/Drawing.h"
#include "model/ImageObject.h"
#include "model/TextObject.h"
#include "model/UndoCommand.h"
#include "platform/RasterSurface.h"
#include "platform/Reporter.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <iterator>
#include <sys/stat.h>

namespace zavora {

namespace {

void addAsOneStep(Drawing& drawing, OwnedObjects objects)
{
    drawing.history().execute(std::make_unique<AddObjectsCommand>(drawing, std::move(objects)));
}

void addAsOneStep(Drawing& drawing, std::unique_ptr<DrawObject> object)
{
    OwnedObjects objects;
    objects.push_back(std::move(object));
    addAsOneStep(drawing, std::move(objects));
}

bool insertTextFile(Drawing& drawing, const std::string& path, const InsertPlacement& at)
{
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) {
        errorBox("Can't access %s", path.c_str());
        return false;
    }
    if (std::size_t(info.st_size) > kLongestTextFile) {
        errorBox("Text file %s is too large", path.c_str());
        return false;
    }
    if (info.st_size == 0) {
        errorBox("Text file %s is empty", path.c_str());
        return false;
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        errorBox("Can't open %s", path.c_str());
        return false;
    }
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    return insertText(drawing, toWindowsLatin1(bytes), at);
}

} // namespace

InsertKind insertKindForPath(std::string_view path)
{
    const std::string ext = fileExtension(path);
    if (ext == "wmf")
        return InsertKind::Metafile;
    if (ext == "bmp" || ext == "dib" || ext == "jpg" || ext == "jpeg" || ext == "jpe" || ext == "gif"
        || ext == "png")
        return InsertKind::Image;
    if (ext == "txt")
        return InsertKind::Text;
    return InsertKind::Drawing;
}

std::string toWindowsLatin1(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        const auto c = static_cast<unsigned char>(text[i]);
        int length = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 0;
        char32_t code = length == 1 ? c : length == 2 ? c & 0x1F : length == 3 ? c & 0x0F : c & 0x07;
        bool valid = length > 0 && i + std::size_t(length) <= text.size();
        for (int k = 1; valid && k < length; ++k) {
            const auto next = static_cast<unsigned char>(text[i + std::size_t(k)]);
            valid = (next & 0xC0) == 0x80;
            code = (code << 6) | (next & 0x3F);
        }
        if (!valid)
            return std::string(text); // not UTF-8: the bytes are the code page's already
        if (code < 0x80) {
            out += char(code);
        } else {
            const int ansi = unicodeToAnsi(code);
            out += ansi < 0 ? '?' : char(ansi);
        }
        i += std::size_t(length);
    }
    return out;
}

bool insertMetafile(Drawing& drawing, std::span<const uint8_t> bytes, const InsertPlacement& at)
{
    OwnedObjects objects;
    importMetafileBytes(bytes, objects, at.paper);
    if (objects.empty())
        return false;
    addAsOneStep(drawing, std::move(objects));
    return true;
}

bool insertImage(Drawing& drawing, const DecodedImage& decoded, const InsertPlacement& at)
{
    auto image = std::make_unique<ImageObject>();
    if (decoded.width <= 0 || decoded.height <= 0
        || decoded.rgb.size() != std::size_t(decoded.width) * std::size_t(decoded.height) * 3
        || !image->allocatePixels(decoded.width, decoded.height)) {
        errorBox("Out of memory");
        return false;
    }
    std::copy(decoded.rgb.begin(), decoded.rgb.end(), image->pixelData());
    if (at.landscape)
        image->placeAt(at.imageCorner.x, at.imageCorner.y);
    else
        image->placeAt(at.imageCorner.x, at.imageCorner.y - float(decoded.height));
    addAsOneStep(drawing, std::move(image));
    return true;
}

bool insertText(Drawing& drawing, std::string_view bytes, const InsertPlacement& at)
{
    // Read as text, from a file or another program: a CR LF pair is a line feed.
    std::string text;
    text.reserve(bytes.size());
    for (std::size_t i = 0; i < bytes.size(); ++i)
        if (!(bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n'))
            text += bytes[i];
    if (text.empty())
        return false;
    std::unique_ptr<TextObject> object = TextObject::fromTextFile(text);
    object->translate(at.textOrigin.x, at.textOrigin.y);
    addAsOneStep(drawing, std::move(object));
    return true;
}

bool insertFile(Drawing& drawing, const std::string& path, const InsertPlacement& at, ImageDecoder& images)
{
    switch (insertKindForPath(path)) {
    case InsertKind::Image: {
        const std::optional<DecodedImage> decoded = images.decodeFile(path);
        if (!decoded) {
            const std::string ext = fileExtension(path);
            if (ext == "bmp" || ext == "dib")
                errorBox("Can't insert bitmap %s", path.c_str());
            else
                errorBox("Could not insert %s", path.c_str());
            return false;
        }
        return insertImage(drawing, *decoded, at);
    }
    case InsertKind::Text:
        return insertTextFile(drawing, path, at);
    case InsertKind::Metafile:
    case InsertKind::Drawing:
        break;
    }
    const std::size_t before = drawing.objectCount();
    insertDrawing(drawing, path, at.paper);
    return drawing.objectCount() > before;
}

} // namespace zavora
