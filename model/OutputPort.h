#pragma once
// OutputPort: the abstract sink of drawing primitives that every file, printer
// and bitmap output implements. Every drawing object emits itself through it
// with exactly one call (groups and compound paths bracket their children), so
// the interface sits in the model layer, below the objects; the ports
// themselves live in output/ and raster/.
//
// Coordinates are object space; `matrix` maps object space to page space.
// Arrowheads are codes (kArrowNone = -1 for none, see PaintStyle.h).

#include "model/Geometry.h"
#include "model/PaintStyle.h"

#include <cstdint>
#include <string>
#include <vector>

namespace zavora {

class FontEntry;
class ImageObject;
class TextObject;
class ProgressMonitor;

// Handed to beginPage by the traversal.
struct DocumentInfo {
    int32_t x0 = 0, y0 = 0, x1 = 0, y1 = 0; // output bounding box in points
    std::string title = "Untitled"; // file name without its folder
    bool landscape = false;
    Grid gridSettings; // carried into the native file's grid comment
    bool foreign = false; // set by the reader: no native creator line (Illustrator, other EPS)
};

using PointList = std::vector<Point>;

// One node of a Bezier path: the anchor, the control point of the segment
// ending here (in) and of the segment starting here (out).
struct BezierNode {
    float x = 0, y = 0;
    float inX = 0, inY = 0;
    float outX = 0, outY = 0;
    uint32_t flags = 0; // kCornerNode: the segment ending here is written with "C"
    bool operator==(const BezierNode&) const = default;
};
constexpr uint32_t kCornerNode = 1;

using NodeList = std::vector<BezierNode>;

enum class TextAlign : int32_t { Left = 0, Centre = 1, Right = 2, Justified = 3 };

class OutputPort {
public:
    virtual ~OutputPort() = default;

    // Writes the header or prepares the device; false abandons the output.
    virtual bool beginPage(const DocumentInfo& info, bool downloadFonts, ProgressMonitor* monitor) = 0;
    // Writes the trailer or finishes the device.
    virtual void endPage(ProgressMonitor* monitor) = 0;
    // True once the port could not finish its output (and has said why): the
    // export then keeps any earlier file instead of committing a broken one.
    virtual bool failed() const { return false; }

    virtual void beginGroup() { }
    virtual void endGroup() { }
    // The child outlines that follow are painted together as one even-odd path.
    virtual void beginCompoundPath() { }
    virtual void endCompoundPath() { }
    // The next object is a hyperlink to url.
    virtual void beginLink(const std::string& url) { (void)url; }
    virtual void endLink(const std::string& url) { (void)url; }

    // The base behaviours below reduce each shape to polyline or curvePath, so
    // a port needs only those two.

    // Closed ellipse: four quarter arcs (control distance 0.5522848 x radius),
    // counter-clockwise from angle 0, to curvePath, closed, no arrows.
    virtual void ellipse(
        const PaintStyle& style, const Matrix& matrix, float cx, float cy, float rx, float ry);
    // Open elliptic arc, counter-clockwise from start to end degrees: the arc's
    // Bezier nodes to curvePath, open, with both arrows. Equal angles send nothing.
    virtual void arc(const PaintStyle& style, const Matrix& matrix, float cx, float cy, float rx, float ry,
        float start, float end, int arrow1, int arrow2);
    // No object kind issues a sector; ports ignore it.
    virtual void sector(
        const PaintStyle& style, const Matrix& matrix, float a, float b, float c, float d, float e, float f)
    {
        (void)style, (void)matrix, (void)a, (void)b, (void)c, (void)d, (void)e, (void)f;
    }
    // A two-point polyline, open, with both arrows.
    virtual void line(const PaintStyle& style, const Matrix& matrix, float x1, float y1, float x2, float y2,
        int arrow1, int arrow2);

    // Straight segments through the points; a closed list implies the closing segment.
    virtual void polyline(const PaintStyle& style, const Matrix& matrix, const PointList& points, bool closed,
        int arrow1, int arrow2)
        = 0;
    // Cubic Bezier path through the nodes.
    virtual void curvePath(const PaintStyle& style, const Matrix& matrix, const NodeList& nodes, bool closed,
        int arrow1, int arrow2)
        = 0;

    // A text block laid out in box (left, bottom, right, top).
    virtual void text(const PaintStyle& style, const Matrix& matrix, const std::string& text,
        const FontEntry* font, float size, float leading, TextAlign align, const float box[4])
    {
        (void)style, (void)matrix, (void)text, (void)font, (void)size, (void)leading, (void)align, (void)box;
    }
    // A text object, as its emit sends it: by default its first run's font and
    // size with all its text to text() above. Ports that lay out each run in
    // its own font take the object itself.
    virtual void textBlock(const TextObject& object);
    // Axis-aligned rectangle in object space, corners as stored: the closed
    // polyline (x1,y1) (x2,y1) (x2,y2) (x1,y2), no arrows.
    virtual void rectangle(
        const PaintStyle& style, const Matrix& matrix, float x1, float y1, float x2, float y2);
    // Corners ordered, radii clamped to half the sides; a radius <= 1 gives
    // rectangle, otherwise four corner arcs joined by straight sides go to
    // curvePath, closed, no arrows.
    virtual void roundRectangle(const PaintStyle& style, const Matrix& matrix, float x1, float y1, float x2,
        float y2, float rx, float ry);
    // A raster image placed by the matrix on the unit square.
    virtual void image(const Matrix& matrix, const ImageObject& image) { (void)matrix, (void)image; }
};

} // namespace zavora
