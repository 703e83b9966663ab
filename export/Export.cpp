#include "export/Export.h"

#include "model/Drawing.h"
#include "model/OutputPort.h"
#include "model/ProgressMonitor.h"
#include "model/UndoCommand.h"
#include "output/PostScriptPort.h"
#include "platform/OutputStream.h"
#include "platform/RasterSurface.h"
#include "platform/Reporter.h"
#include "raster/PngExportPort.h"
#include "raster/SvgPort.h"

#include <algorithm>
#include <cctype>
#include <memory>

namespace zavora {

namespace {

std::string lowerExtension(std::string_view path)
{
    const std::size_t slash = path.find_last_of('/');
    const std::size_t dot = path.find_last_of('.');
    if (dot == std::string_view::npos || (slash != std::string_view::npos && dot < slash))
        return {};
    std::string ext(path.substr(dot + 1));
    std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return std::tolower(c); });
    return ext;
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
    case ExportKind::PostScript: {
        std::unique_ptr<PostScriptPort> port = kind == ExportKind::Native
            ? std::make_unique<ZvxFilePort>(stream)
            : std::make_unique<PostScriptPort>(stream);
        if (options.clock)
            port->setClock(options.clock);
        port->setDocumentFonts(std::move(documentFonts));
        // The native file names every font by its own name and embeds none.
        DownloadOptions form;
        form.type42 = options.downloadForm == FontDownloadForm::Type42;
        port->setFontOptions(kind != ExportKind::Native && options.substituteFonts, form);
        return port;
    }
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
    const std::string ext = lowerExtension(path);
    for (const auto& entry : table)
        if (ext == entry.extension)
            return entry.kind;
    return std::nullopt;
}

namespace {

// What both exports share: the port, the render options of the kind, the walk.
ExportResult runExport(const Drawing& page, ExportKind kind, OutputStream& stream,
    const ExportOptions& options, ProgressMonitor* monitor,
    const std::function<RenderResult(OutputPort&, const RenderOptions&)>& walk)
{
    std::unique_ptr<OutputPort> port = makeExportPort(kind, stream, options, page.documentFonts());
    if (!port)
        return ExportResult::Unavailable;

    RenderOptions render;
    render.margin = kind == ExportKind::Eps ? options.border : 9;
    render.downloadFonts = kind != ExportKind::Native && options.includeFonts;
    render.documentPath = options.documentPath;
    render.monitor = kind == ExportKind::Native ? nullptr : monitor;
    switch (walk(*port, render)) {
    case RenderResult::Cancelled:
        return ExportResult::Cancelled;
    case RenderResult::Refused:
        return ExportResult::Failed;
    case RenderResult::Completed:
        break;
    }
    if (!port->failed())
        return ExportResult::Written;
    // A port that stopped for a cancel in its own last stage (bitmap encoding).
    return monitor && monitor->cancelled() ? ExportResult::Cancelled : ExportResult::Failed;
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

ZvxReadResult insertDrawing(Drawing& drawing, const std::string& path)
{
    OwnedObjects objects;
    const ZvxReadResult result = insertNativeFile(path, objects);
    if (!objects.empty())
        drawing.history().execute(std::make_unique<AddObjectsCommand>(drawing, std::move(objects)));
    return result;
}

} // namespace zavora
