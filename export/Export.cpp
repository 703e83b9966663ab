#include "export/Export.h"

#include "model/Drawing.h"
#include "model/OutputPort.h"
#include "model/ProgressMonitor.h"
#include "model/UndoCommand.h"
#include "output/IllustratorPort.h"
#include "output/PdfPort.h"
#include "output/FormPort.h"
#include "output/PostScriptPort.h"
#include "output/PostScriptVariants.h"
#include "platform/OutputStream.h"
#include "platform/RasterSurface.h"
#include "platform/Reporter.h"
#include "raster/MetafilePort.h"
#include "raster/PngExportPort.h"
#include "raster/TiffWriter.h"
#include "raster/SvgPort.h"

#include <algorithm>
#include <cctype>
#include <memory>

namespace zavora {

namespace {

DownloadOptions downloadOptions(FontDownloadForm form)
{
    DownloadOptions options;
    options.type42 = form == FontDownloadForm::Type42;
    return options;
}

std::unique_ptr<OutputPort> makeBitmapPort(ExportKind kind, OutputStream& stream, const ExportOptions& options)
{
    if (!options.surfaces)
        return nullptr;
    SurfaceFactory& surfaces = *options.surfaces;
    const float resolution = options.pixelsPerPoint;
    switch (kind) {
    case ExportKind::Bmp:
        return std::make_unique<BitmapExportPort>(stream, surfaces, resolution, options.smoothing);
    case ExportKind::Tiff:
        return std::make_unique<TiffExportPort>(stream, surfaces, resolution);
    case ExportKind::Gif:
        return std::make_unique<GifExportPort>(stream, surfaces, resolution, options.smoothing,
            GifOptions { options.gifInterlace, options.gifTransparent });
    case ExportKind::Jpeg:
        if (!options.jpegEncoder)
            return nullptr;
        return std::make_unique<JpegExportPort>(
            stream, surfaces, resolution, options.smoothing, *options.jpegEncoder, options.jpegQuality);
    case ExportKind::Png:
        if (!options.pngEncoder)
            return nullptr;
        return std::make_unique<PngExportPort>(stream, surfaces, *options.pngEncoder, resolution, options.smoothing);
    default:
        return nullptr;
    }
}

} // namespace

std::unique_ptr<OutputPort> makeExportPort(ExportKind kind, OutputStream& stream,
    const ExportOptions& options, std::vector<const FontEntry*> documentFonts)
{
    switch (kind) {
    case ExportKind::Native:
    case ExportKind::PostScript:
    case ExportKind::Eps:
    case ExportKind::Form: {
        // The preview is drawn on the platform's surfaces.
        if (kind == ExportKind::Eps && options.preview && !options.surfaces)
            return nullptr;
        std::unique_ptr<PostScriptPort> port;
        if (kind == ExportKind::Native)
            port = std::make_unique<ZvxFilePort>(stream);
        else if (kind == ExportKind::Eps)
            port = std::make_unique<EpsPort>(stream);
        else if (kind == ExportKind::Form)
            port = std::make_unique<FormPort>(stream, options.formName);
        else
            port = std::make_unique<PostScriptPort>(stream);
        if (options.clock)
            port->setClock(options.clock);
        port->setDocumentFonts(std::move(documentFonts));
        // The native file names every font by its own name and embeds none.
        port->setFontOptions(kind != ExportKind::Native && options.substituteFonts,
            downloadOptions(options.downloadForm));
        port->setWhiteBackground(kind == ExportKind::Eps && options.preview);
        return port;
    }
    case ExportKind::Illustrator:
    case ExportKind::Pdf: {
        // Text keeps each font's own name: neither format embeds fonts.
        std::unique_ptr<IllustratorPort> port = kind == ExportKind::Pdf ? std::make_unique<PdfPort>(stream)
                                                                        : std::make_unique<IllustratorPort>(stream);
        port->setDocumentFonts(std::move(documentFonts));
        return port;
    }
    case ExportKind::Metafile:
        return std::make_unique<MetafilePort>(stream);
    case ExportKind::Bmp:
    case ExportKind::Tiff:
    case ExportKind::Gif:
    case ExportKind::Jpeg:
    case ExportKind::Png:
        return makeBitmapPort(kind, stream, options);
    case ExportKind::Svg:
        return std::make_unique<SvgPort>(
            stream, SvgImageFiles { options.targetPath, options.jpegEncoder, options.jpegQuality });
    default:
        return nullptr;
    }
}

bool isExportAvailable(ExportKind kind, const ExportOptions& options)
{
    // Building a port writes nothing; the page begins only in a walk.
    MemoryOutputStream probe;
    return makeExportPort(kind, probe, options) != nullptr;
}

std::string fileExtension(std::string_view path)
{
    const std::size_t slash = path.find_last_of('/');
    const std::size_t dot = path.find_last_of('.');
    if (dot == std::string_view::npos || (slash != std::string_view::npos && dot < slash))
        return {};
    std::string ext(path.substr(dot + 1));
    std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return std::tolower(c); });
    return ext;
}

std::optional<ExportKind> exportKindForPath(std::string_view path)
{
    static const struct {
        const char* extension;
        ExportKind kind;
    } table[] = {
        { "zvx", ExportKind::Native },
        { "eps", ExportKind::Eps },
        { "ps", ExportKind::PostScript },
        { "ai", ExportKind::Illustrator },
        { "bmp", ExportKind::Bmp },
        { "wmf", ExportKind::Metafile },
        { "pdf", ExportKind::Pdf },
        { "tif", ExportKind::Tiff },
        { "tiff", ExportKind::Tiff },
        { "gif", ExportKind::Gif },
        { "svg", ExportKind::Svg },
        { "jpg", ExportKind::Jpeg },
        { "jpeg", ExportKind::Jpeg },
        { "png", ExportKind::Png },
    };
    const std::string ext = fileExtension(path);
    for (const auto& entry : table)
        if (ext == entry.extension)
            return entry.kind;
    return std::nullopt;
}

namespace {

using PageWalk = std::function<RenderResult(OutputPort&, const RenderOptions&)>;

ExportResult exportResult(RenderResult result, const OutputPort& port, const ProgressMonitor* monitor)
{
    switch (result) {
    case RenderResult::Cancelled:
        return ExportResult::Cancelled;
    case RenderResult::Refused:
        return ExportResult::Failed;
    case RenderResult::Completed:
        break;
    }
    if (!port.failed())
        return ExportResult::Written;
    // A port that stopped for a cancel in its own last stage (bitmap encoding).
    return monitor && monitor->cancelled() ? ExportResult::Cancelled : ExportResult::Failed;
}

// The DOS EPS header in front of a preview: the PostScript's and the TIFF's
// positions and lengths, no metafile, no checksum.
constexpr long kEpsHeaderSize = 30;

bool writeEpsHeader(OutputStream& stream, uint32_t postScriptStart, uint32_t postScriptLength,
    uint32_t tiffStart, uint32_t tiffLength)
{
    uint8_t header[kEpsHeaderSize] = { 0xC5, 0xD0, 0xD3, 0xC6 };
    const uint32_t fields[] = { postScriptStart, postScriptLength, 0, 0, tiffStart, tiffLength };
    for (std::size_t i = 0; i < std::size(fields); ++i)
        for (int b = 0; b < 4; ++b)
            header[4 + 4 * i + b] = static_cast<uint8_t>(fields[i] >> (8 * b));
    header[28] = header[29] = 0xFF;
    return stream.write(header, sizeof header);
}

// The screen preview as a TIFF at the stream's position, drawn as the
// bitmap export draws (no font download, no substitution).
ExportResult writePreview(OutputStream& stream, const ExportOptions& options, RenderOptions render, const PageWalk& walk)
{
    PageRenderSettings settings;
    settings.pixelsPerPoint = options.pixelsPerPoint;
    PageImagePort preview(*options.surfaces, settings);
    render.downloadFonts = false;
    const ExportResult result = exportResult(walk(preview, render), preview, render.monitor);
    if (result != ExportResult::Written)
        return result;
    std::optional<RgbImage> image = preview.takeImage();
    // A failed write was reported by the stream.
    return image && writeTiff(stream, image->view()) ? ExportResult::Written : ExportResult::Failed;
}

// What both exports share: the port, the render options of the kind, the walk.
ExportResult runExport(const Drawing& page, ExportKind kind, OutputStream& stream,
    const ExportOptions& options, ProgressMonitor* monitor, const PageWalk& walk)
{
    std::unique_ptr<OutputPort> port = makeExportPort(kind, stream, options, page.documentFonts());
    if (!port)
        return ExportResult::Unavailable;

    RenderOptions render;
    render.margin = kind == ExportKind::Eps ? options.border : 9;
    render.downloadFonts = kind != ExportKind::Native && options.includeFonts;
    render.documentPath = options.documentPath;
    render.monitor = kind == ExportKind::Native ? nullptr : monitor;

    const bool preview = kind == ExportKind::Eps && options.preview;
    long tiffStart = 0, postScriptStart = 0;
    if (preview) {
        // Room for the header, which is written once both parts are in place.
        const uint8_t room[kEpsHeaderSize] = {};
        if (!stream.write(room, sizeof room))
            return ExportResult::Failed;
        tiffStart = stream.tell();
        if (monitor)
            monitor->setMessage("Preparing preview image...");
        const ExportResult result = writePreview(stream, options, render, walk);
        if (result != ExportResult::Written)
            return result;
        if (monitor)
            monitor->setMessage("Exporting EPS...");
        postScriptStart = stream.tell();
    }
    const ExportResult result = exportResult(walk(*port, render), *port, monitor);
    if (result != ExportResult::Written || !preview)
        return result;
    const long end = stream.tell();
    if (end < 0 || !stream.seek(0)
        || !writeEpsHeader(stream, uint32_t(postScriptStart), uint32_t(end - postScriptStart), uint32_t(tiffStart),
            uint32_t(postScriptStart - tiffStart))
        || !stream.seek(end))
        return ExportResult::Failed;
    return ExportResult::Written;
}

} // namespace

ExportResult exportDrawing(const Drawing& drawing, ExportKind kind, OutputStream& stream,
    const ExportOptions& options, ProgressMonitor* monitor)
{
    return runExport(drawing, kind, stream, options, monitor,
        [&](OutputPort& port, const RenderOptions& render) { return renderDrawing(drawing, port, render); });
}

ExportResult exportObjects(const std::vector<DrawObject*>& objects, const Drawing& page, ExportKind kind,
    OutputStream& stream, const ExportOptions& options, ProgressMonitor* monitor)
{
    return runExport(
        page, kind, stream, options, monitor, [&](OutputPort& port, const RenderOptions& render) {
            return renderObjects(objects, page, port, render);
        });
}

bool exportToFile(const Drawing& drawing, ExportKind kind, const std::string& path,
    const ExportOptions& options, ProgressMonitor* monitor)
{
    if (!isExportAvailable(kind, options)) {
        errorBox("This format cannot be written by this version:\n%s", path.c_str());
        return false;
    }
    FileOutputStream stream;
    if (!stream.openPath(path))
        return false;
    ExportOptions named = options;
    named.targetPath = path;
    if (!named.documentPath)
        named.documentPath = kind == ExportKind::Native ? path : drawing.fileName();
    if (exportDrawing(drawing, kind, stream, named, monitor) != ExportResult::Written) {
        // A cancelled or failed export leaves any earlier file as it was.
        stream.abandon();
        return false;
    }
    return stream.close();
}

bool printDrawing(const Drawing& drawing, OutputStream& printer, FontDownloadForm downloadForm)
{
    PrintPort port(printer);
    port.setDocumentFonts(drawing.documentFonts());
    port.setFontOptions(false, downloadOptions(downloadForm));
    RenderOptions render;
    render.margin = 9;
    render.downloadFonts = true;
    render.documentPath = drawing.fileName();
    return renderDrawing(drawing, port, render) == RenderResult::Completed && !port.failed();
}

bool saveDrawing(Drawing& drawing, const std::string& path, const ExportOptions& options)
{
    if (!exportToFile(drawing, ExportKind::Native, path, options, nullptr))
        return false;
    drawing.setFileName(path);
    drawing.setModified(false);
    return true;
}

ZvxReadResult openDrawing(Drawing& drawing, const std::string& path, bool* foreign)
{
    OwnedObjects objects;
    DocumentInfo info;
    const ZvxReadResult result = openNativeFile(path, objects, info);
    // A file that did not read whole never replaces the drawing shown.
    if (result != ZvxReadResult::Read)
        return result;
    if (foreign)
        *foreign = info.foreign;
    drawing.newDrawing();
    drawing.replaceAll(std::move(objects));
    drawing.setLandscape(info.landscape);
    drawing.setGrid(info.gridSettings);
    drawing.setFileName(path);
    drawing.setModified(false);
    return result;
}

namespace {

ZvxReadResult importMetafileObjects(const std::string& path, OwnedObjects& objects, PaperSize paper)
{
    switch (importMetafileFile(path, objects, paper)) {
    case MetafileImportResult::Imported:
        return ZvxReadResult::Read;
    case MetafileImportResult::CannotRead:
        errorBox("An error has occurred while inserting drawing file\n%s", path.c_str());
        return ZvxReadResult::CannotOpen;
    case MetafileImportResult::NotMetafile:
        errorBox("An error has occurred while inserting drawing file\n%s", path.c_str());
        return ZvxReadResult::Damaged;
    case MetafileImportResult::NothingFound:
        errorBox("The metafile holds nothing that can be inserted:\n%s", path.c_str());
        return ZvxReadResult::Damaged;
    }
    return ZvxReadResult::Damaged;
}

} // namespace

ZvxReadResult insertDrawing(Drawing& drawing, const std::string& path, PaperSize paper)
{
    OwnedObjects objects;
    const ZvxReadResult result = exportKindForPath(path) == ExportKind::Metafile ? importMetafileObjects(path, objects, paper)
                                                                : insertNativeFile(path, objects);
    if (!objects.empty())
        drawing.history().execute(std::make_unique<AddObjectsCommand>(drawing, std::move(objects)));
    return result;
}

} // namespace zavora
