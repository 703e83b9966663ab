#pragma once
// The export routine: every save, export and conversion writes a drawing (or
// some of its objects) through here, so the port, the margin and the font
// options are chosen in one place. Also the document-level open and save used
// by the program and the converter.

#include "output/Traversal.h"
#include "output/ZvxReader.h"
#include "raster/MetafileImport.h"
#include "raster/BitmapExportPort.h"

#include <ctime>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zavora {

class Drawing;
class DrawObject;
class FontEntry;
class OutputPort;
class OutputStream;
class JpegEncoder;
class PngEncoder;
class ProgressMonitor;
class SurfaceFactory;

// How TrueType fonts are embedded when an export downloads fonts.
enum class FontDownloadForm { Type3, Type42 };

// The export formats by their number in the export list.
enum class ExportKind : int {
    Native = 1,
    Form = 2,
    Eps = 3,
    PostScript = 4,
    Illustrator = 5,
    Bmp = 6,
    Metafile = 8,
    Pdf = 9,
    Tiff = 10,
    Gif = 11,
    Svg = 12,
    Jpeg = 13,
    Png = 14,
};

// The longest form name the form export accepts.
constexpr int kMaxFormNameLength = 64;

struct ExportOptions {
    bool preview = false; // EPS: attach a TIFF screen preview
    bool substituteFonts = false; // TrueType fonts under standard names
    bool includeFonts = false; // embed the fonts in the prolog
    FontDownloadForm downloadForm = FontDownloadForm::Type42;
    float border = 9; // EPS margin; every other kind uses 9
    std::string formName; // form export
    // Title source; the drawing's own file name when absent.
    std::optional<std::string> documentPath;
    // Replaces the system clock in headers (repeatable output).
    std::function<std::tm()> clock;
    // Page images: device pixels per point (1 is 72 dpi), and the platform's
    // surfaces and encoder they are drawn and written with; without them the
    // image kinds cannot be written.
    float pixelsPerPoint = 1;
    SurfaceFactory* surfaces = nullptr;
    PngEncoder* pngEncoder = nullptr;
    JpegEncoder* jpegEncoder = nullptr;
    // Bitmaps but TIFF: drawn this many times larger and averaged down.
    Smoothing smoothing = Smoothing::None;
    int jpegQuality = 75; // 1 to 100
    bool gifInterlace = false;
    bool gifTransparent = false; // white becomes transparent
    // The file being written (set by exportToFile): SVG writes its images beside it.
    std::string targetPath;
};

enum class ExportResult {
    Written,
    Cancelled, // the monitor cancelled; the stream holds what was written
    Failed, // the port refused the page or could not finish it (reported)
    Unavailable, // this build has no writer for the kind
};

// The port that writes the kind into the stream, or nullptr when this build
// has none (or the options lack what it draws with). The PostScript family
// names `documentFonts` in its header.
std::unique_ptr<OutputPort> makeExportPort(ExportKind kind, OutputStream& stream,
    const ExportOptions& options, std::vector<const FontEntry*> documentFonts = {});
// Whether this build can write the kind (given the platform's raster services).
bool isExportAvailable(ExportKind kind, const ExportOptions& options = {});
// A file name's extension in lower case, without the dot; empty when none.
std::string fileExtension(std::string_view path);
// The kind a file name's extension asks for (".zvx", ".ps", …, case-insensitive).
std::optional<ExportKind> exportKindForPath(std::string_view path);

// Writes the drawing to an open stream; the caller closes the stream.
ExportResult exportDrawing(const Drawing& drawing, ExportKind kind, OutputStream& stream,
    const ExportOptions& options, ProgressMonitor* monitor);
// The same for some of its objects (the selection, the clipboard's objects),
// framed by their own box on the drawing's page.
ExportResult exportObjects(const std::vector<DrawObject*>& objects, const Drawing& page, ExportKind kind,
    OutputStream& stream, const ExportOptions& options, ProgressMonitor* monitor);

// Exports into a file, replacing it only when everything was written. False
// when the kind is unavailable (reported) or writing failed (reported).
bool exportToFile(const Drawing& drawing, ExportKind kind, const std::string& path,
    const ExportOptions& options, ProgressMonitor* monitor);

// Print: the drawing as a PostScript job on the open printer stream, every
// font but the resident ones embedded. False when writing failed (reported).
bool printDrawing(const Drawing& drawing, OutputStream& printer, FontDownloadForm downloadForm);

// Save: the native file, then the drawing takes the path as its name and is
// no longer modified. A failed save changes nothing.
bool saveDrawing(Drawing& drawing, const std::string& path, const ExportOptions& options = {});

// Open: when the file reads whole, the drawing's objects, orientation and
// grid become the file's, and the drawing is named after it, unmodified;
// foreign (may be null) then tells whether another program wrote the file.
// On any failure (reported) the drawing is left exactly as it was. Missing
// fonts are reported.
ZvxReadResult openDrawing(Drawing& drawing, const std::string& path, bool* foreign = nullptr);

// Insert: the file's objects (whatever could be read) are appended and become
// the selection in one recorded step, which marks the drawing modified. A
// metafile (".wmf") is imported and centred on the paper; one that cannot be
// read, or holds nothing to draw, is reported and gives Damaged or CannotOpen.
ZvxReadResult insertDrawing(Drawing& drawing, const std::string& path, PaperSize paper = {});

} // namespace zavora
