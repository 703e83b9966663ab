#pragma once
// The one walk of a drawing into an output port, used by saving, every export
// and printing. It alone computes the page box, opens and closes the page,
// brackets groups, compound paths and links, and checks for cancellation.

#include <optional>
#include <string>
#include <vector>

namespace zavora {

class Drawing;
class DrawObject;
class OutputPort;
class ProgressMonitor;
struct DocumentInfo;

struct RenderOptions {
    // Points added around the drawing's box: 9 for every output but EPS.
    float margin = 9;
    // Handed to beginPage: embed the fonts in the output.
    bool downloadFonts = false;
    // Where the title comes from; the drawing's own file name when absent.
    std::optional<std::string> documentPath;
    // Stepped once per object (containers and their members too); null for none.
    ProgressMonitor* monitor = nullptr;
};

enum class RenderResult {
    Completed, // endPage was called
    Refused, // beginPage returned false; nothing else was called
    Cancelled, // the monitor cancelled; endPage was not called
};

// The DocumentInfo the walk hands to beginPage.
DocumentInfo documentInfoFor(const Drawing& drawing, const RenderOptions& options);

// The text after the last '/' of a path; "Untitled" for an empty path.
std::string documentTitle(const std::string& path);

// Walks the drawing into the port, back to front. The caller closes the
// stream and destroys the port afterwards, whatever the result.
RenderResult renderDrawing(const Drawing& drawing, OutputPort& port, const RenderOptions& options);

// The same walk over some objects only (the selection, the clipboard's
// objects), back to front, framed by their own box on `page`'s page: its
// orientation, grid and name.
RenderResult renderObjects(const std::vector<DrawObject*>& objects, const Drawing& page, OutputPort& port,
    const RenderOptions& options);

} // namespace zavora
