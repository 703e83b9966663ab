#include "output/Export.h"

#include "model/Drawing.h"
#include "model/OutputPort.h"
#include "model/UndoCommand.h"
#include "output/PostScriptPort.h"
#include "output/WriterState.h"
#include "platform/OutputStream.h"
#include "platform/Reporter.h"

#include <algorithm>
#include <cctype>
#include <memory>

namespace zavora {

namespace {

std::unique_ptr<PostScriptPort> makePort(ExportKind kind, OutputStream& stream)
{
    switch (kind) {
    case ExportKind::Native:
        return std::make_unique<ZvxFilePort>(stream);
    case ExportKind::PostScript:
        return std::make_unique<PostScriptPort>(stream);
    default:
        return nullptr;
    }
}

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

} // namespace

bool isExportAvailable(ExportKind kind)
{
    return kind == ExportKind::Native || kind == ExportKind::PostScript;
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
    };
    const std::string ext = lowerExtension(path);
    for (const auto& entry : table)
        if (ext == entry.extension)
            return entry.kind;
    return std::nullopt;
}

ExportResult exportDrawing(const Drawing& drawing, ExportKind kind, OutputStream& stream,
    const ExportOptions& options, ProgressMonitor* monitor)
{
    std::unique_ptr<PostScriptPort> port = makePort(kind, stream);
    if (!port)
        return ExportResult::Unavailable;
    if (options.clock)
        port->setClock(options.clock);
    port->setDocumentFonts(drawing.documentFonts());

    RenderOptions render;
    render.margin = kind == ExportKind::Eps ? options.border : 9;
    render.downloadFonts = kind != ExportKind::Native && options.includeFonts;
    render.substituteFonts = kind != ExportKind::Native && options.substituteFonts;
    render.downloadForm = options.downloadForm;
    render.documentPath = options.documentPath;
    render.monitor = kind == ExportKind::Native ? nullptr : monitor;
    render.resetWriterState = resetWriterStateFor;
    const RenderResult result = renderDrawing(drawing, *port, render);
    return result == RenderResult::Cancelled ? ExportResult::Cancelled : ExportResult::Written;
}

bool exportToFile(const Drawing& drawing, ExportKind kind, const std::string& path,
    const ExportOptions& options, ProgressMonitor* monitor)
{
    if (!isExportAvailable(kind)) {
        errorBox("This format cannot be written by this version:\n%s", path.c_str());
        return false;
    }
    FileOutputStream stream;
    if (!stream.openPath(path))
        return false;
    ExportOptions named = options;
    if (!named.documentPath)
        named.documentPath = kind == ExportKind::Native ? path : drawing.fileName();
    if (exportDrawing(drawing, kind, stream, named, monitor) == ExportResult::Cancelled) {
        // A cancelled export leaves any earlier file as it was.
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
