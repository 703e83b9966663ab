#include "app/SystemClipboard.h"

#include "app/BusyStatus.h"
#include "app/dialogs/FileDialogs.h"
#include "export/Export.h"
#include "model/ContainerObject.h"
#include "model/Drawing.h"
#include "model/UndoCommand.h"
#include "output/ZvxReader.h"
#include "platform/OutputStream.h"
#include "platform/Reporter.h"
#include "platform/qt/QtImageDecoder.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QMimeData>
#include <QUrl>

#include <algorithm>

namespace zavora {

namespace {

// Other programs get the selection in these formats, each written by the
// one export routine when this build has its writer.
struct Offer {
    ExportKind kind;
    const char* type;
};
constexpr Offer kOffers[] = {
    { ExportKind::Native, SystemClipboard::kPrivateType },
    { ExportKind::Svg, SystemClipboard::kSvgType },
    { ExportKind::Metafile, SystemClipboard::kMetafileType },
    { ExportKind::Png, SystemClipboard::kPngType },
};

// Whether an image is among the objects, inside groups too: SVG keeps
// images in files beside the document, and a clipboard has no folder.
bool holdsImage(const DrawObject& object)
{
    if (object.type() == ObjectType::Image)
        return true;
    if (const auto* container = dynamic_cast<const ContainerObject*>(&object))
        for (const auto& child : container->children())
            if (holdsImage(*child))
                return true;
    return false;
}

QByteArray exportSelection(const Drawing& drawing, ExportKind kind, const ExportOptions& options)
{
    MemoryOutputStream stream;
    if (!stream.open())
        return {};
    std::vector<DrawObject*> objects(drawing.selection().begin(), drawing.selection().end());
    if (exportObjects(objects, drawing, kind, stream, options, nullptr) != ExportResult::Written)
        return {};
    stream.close();
    return QByteArray(stream.data().data(), qsizetype(stream.data().size()));
}

} // namespace

SystemClipboard::SystemClipboard(Drawing& drawing, StatusBar* status, QObject* parent)
    : QObject(parent)
    , m_drawing(drawing)
    , m_status(status)
{
    if (QClipboard* clipboard = QGuiApplication::clipboard()) {
        connect(clipboard, &QClipboard::dataChanged, this, &SystemClipboard::clipboardChanged);
        clipboardChanged();
    }
}

QMimeData* SystemClipboard::selectionData() const
{
    if (m_drawing.selection().empty())
        return nullptr;
    ExportOptions options = exportServices();
    // Pictures for other programs: screen resolution, smoothed edges.
    options.smoothing = Smoothing::Double;
    const bool images = std::any_of(m_drawing.selection().begin(), m_drawing.selection().end(),
        [](const DrawObject* object) { return holdsImage(*object); });
    auto* data = new QMimeData;
    for (const Offer& offer : kOffers) {
        if (!isExportAvailable(offer.kind, options) || (offer.kind == ExportKind::Svg && images))
            continue;
        const QByteArray bytes = exportSelection(m_drawing, offer.kind, options);
        if (!bytes.isEmpty())
            data->setData(QString::fromLatin1(offer.type), bytes);
    }
    return data;
}

void SystemClipboard::copy(bool cut)
{
    if (m_drawing.selection().empty())
        return;
    if (QMimeData* data = selectionData())
        QGuiApplication::clipboard()->setMimeData(data);
    if (cut)
        m_drawing.clipboard().cut(m_drawing);
    else
        m_drawing.clipboard().copy(m_drawing);
}

bool SystemClipboard::accepts(const QMimeData& data)
{
    return data.hasFormat(QString::fromLatin1(kPrivateType)) || data.hasFormat(QString::fromLatin1(kMetafileType))
        || data.hasImage() || data.hasText() || data.hasUrls();
}

void SystemClipboard::clipboardChanged()
{
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    m_foreignPasteable = data && accepts(*data) && !data->hasUrls();
}

bool SystemClipboard::canPaste() const
{
    return m_foreignPasteable || !m_drawing.clipboard().isEmpty();
}

bool SystemClipboard::paste(const InsertPlacement& at, const Rect& visible)
{
    QClipboard* clipboard = QGuiApplication::clipboard();
    const QMimeData* data = clipboard->mimeData();
    if (!data || !accepts(*data) || (data->hasUrls() && !data->hasText())) {
        // Nothing from the desktop: what this program copied last.
        return m_drawing.clipboard().paste(m_drawing, visible);
    }
    return pasteData(*data, clipboard->ownsClipboard(), at, visible);
}

bool SystemClipboard::drop(const QMimeData& data, const InsertPlacement& at, const Rect& visible)
{
    if (data.hasUrls()) {
        QtImageDecoder images;
        bool any = false;
        for (const QUrl& url : data.urls()) {
            if (!url.isLocalFile())
                continue;
            BusyStatus busy(m_status, "Inserting...");
            any = insertFile(m_drawing, url.toLocalFile().toStdString(), at, images) || any;
        }
        if (any)
            return true;
    }
    return pasteData(data, false, at, visible);
}

bool SystemClipboard::pasteData(const QMimeData& data, bool ours, const InsertPlacement& at, const Rect& visible)
{
    const QString privateType = QString::fromLatin1(kPrivateType);
    if (data.hasFormat(privateType)) {
        if (ours)
            return m_drawing.clipboard().paste(m_drawing, visible);
        // Another copy of the program: its objects come as a drawing file.
        const QByteArray bytes = data.data(privateType);
        OwnedObjects objects;
        {
            ZvxReader reader(objects, nullptr, nullptr);
            reader.readBytes(std::string_view(bytes.constData(), std::size_t(bytes.size())), "clipboard");
        }
        if (objects.empty())
            return false;
        m_drawing.clipboard().setObjects(std::move(objects));
        return m_drawing.clipboard().paste(m_drawing, visible);
    }
    const QString metafileType = QString::fromLatin1(kMetafileType);
    if (data.hasFormat(metafileType)) {
        BusyStatus busy(m_status, "Pasting WMF data...");
        const QByteArray bytes = data.data(metafileType);
        if (insertMetafile(m_drawing,
                std::span(reinterpret_cast<const uint8_t*>(bytes.constData()), std::size_t(bytes.size())), at))
            return true;
    }
    if (data.hasImage()) {
        BusyStatus busy(m_status, "Adding bitmap...");
        const std::optional<DecodedImage> image = QtImageDecoder::fromImage(qvariant_cast<QImage>(data.imageData()));
        if (!image || !insertImage(m_drawing, *image, at)) {
            setStatus("Failed to paste bitmap");
            return false;
        }
        return true;
    }
    if (data.hasText()) {
        const QByteArray utf8 = data.text().toUtf8();
        return insertText(m_drawing, toWindowsLatin1(std::string_view(utf8.constData(), std::size_t(utf8.size()))), at);
    }
    return false;
}

} // namespace zavora
