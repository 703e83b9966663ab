#pragma once
// DrawObject: the abstract base of everything that stands in a drawing. It
// keeps what all objects share (flags, the object-to-drawing matrix, a cached
// bounding box, the paint style, two arrowhead codes, an optional URL).
// Geometry stays in object space; every transform is baked into the matrix
// through the geometry kernel, so no class rewrites its coordinates to move.

#include "model/Geometry.h"
#include "model/PaintStyle.h"

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace zavora {

class HandlePainter;
class OutputPort;
class ScreenPainter;

// Type codes; the file writer, reader, drawing and tools switch on them. 7 is unused.
enum class ObjectType : int32_t {
    Line = 0,
    Ellipse = 1,
    Rectangle = 2,
    Polygon = 3,
    Curve = 4,
    Arc = 5,
    Text = 6,
    Image = 8,
    Group = 9,
    CompoundPath = 10,
    RoundRect = 11,
};

// The tool that reshapes an object; the tools layer maps each id to its instance.
enum class EditToolId {
    Line,
    Rectangle,
    RoundRect,
    Ellipse,
    Arc,
    Polygon,
    Curve,
    Text,
    ImageEdit, // inert: images change only through transforms
    GroupEdit, // inert
    CompoundPathEdit, // inert
};

// Screen drawing modes: final rendering, or the bare outline for rubber bands.
constexpr int kDrawFinal = 1;
constexpr int kDrawOutline = 0;

class DrawObject {
public:
    static constexpr uint32_t kHiddenFlag = 1u << 0; // a tool is reshaping it; the screen skips it
    static constexpr uint32_t kLockedFlag = 1u << 1; // Select All skips it

    virtual ~DrawObject() = default;
    DrawObject& operator=(const DrawObject&) = delete;

    // Flags, matrix, cached box, style, arrowheads and a private copy of the URL.
    void copyCommonFrom(const DrawObject& other);

    const std::optional<std::string>& url() const { return m_url; }
    // An empty text removes the link: an empty target would make every port
    // write a link to nowhere.
    void setUrl(std::optional<std::string> url);

    virtual ObjectType type() const = 0;

    uint32_t flags() const { return m_flags; }
    void lock() { m_flags |= kLockedFlag; }
    void unlock() { m_flags &= ~kLockedFlag; }
    bool isLocked() const { return m_flags & kLockedFlag; }
    void hideForEditing() { m_flags |= kHiddenFlag; }
    void show() { m_flags &= ~kHiddenFlag; }
    bool isHidden() const { return m_flags & kHiddenFlag; }

    // Appends the outline to the kernel's current path, through the matrix and
    // the current CTM. Used by hit tests, bounding boxes and screen drawing.
    virtual void buildOutline() const = 0;

    // Screen drawing: mode kDrawFinal paints fill, pattern, stroke and
    // arrowheads; any other mode strokes the bare outline. The default paints
    // the outline the object builds, which is all a closed shape needs.
    virtual void drawOnScreen(ScreenPainter& painter, int mode) const;
    // Marks every selection handle (drawing coordinates).
    virtual void drawHandles(HandlePainter& painter) const;
    // The handle points in drawing coordinates.
    virtual std::vector<Point> handlePoints() const = 0;

    // Makes the object's one primitive call (containers: their bracket and children).
    virtual void emit(OutputPort& port) const = 0;
    // A deep copy: class data, children and URL.
    virtual std::unique_ptr<DrawObject> clone() const = 0;

    const Matrix& matrix() const { return m_matrix; }
    void setMatrix(const Matrix& m);
    // Used by undo.
    void setMatrix(const std::array<float, 6>& m);

    // The drawing-space box of the outline's defining points, cached until the
    // next change. With includeStroke, the returned box (never the cached one)
    // grows by trunc(w / 2 + 0.5) on every side, or by 1 when dashed; text and
    // images have no such margin.
    virtual Rect boundingBox(bool includeStroke = false) const;
    bool boxValid() const { return m_boxValid; }
    void invalidateBox() { m_boxValid = false; }

    virtual EditToolId editTool() const = 0;

    virtual void setStyle(const PaintStyle& style) { m_style = style; }
    virtual PaintStyle style() const { return m_style; }
    virtual void setFillPattern(int pattern) { m_style.setFillPattern(pattern); }
    virtual void setDash(int dashIndex) { m_style.setDash(dashIndex); }
    virtual void setLineWidth(float width) { m_style.setLineWidth(width); }
    virtual void setFillColor(const Color& color) { m_style.setFillColor(color); }
    virtual void setTextColor(const Color& color) { m_style.setTextColor(color); }
    virtual void setLineColor(const Color& color) { m_style.setLineColor(color); }
    virtual void setFillTransparent() { m_style.setFillTransparent(); }
    virtual void setLineInvisible() { m_style.setLineInvisible(); }

    // kArrowUnchanged leaves that end as it is.
    virtual void setArrows(int first, int second);
    // (first end, second end).
    virtual std::pair<int, int> arrows() const { return { m_firstArrow, m_secondArrow }; }

    // Whether the filled area overlaps the rectangle (drawing coordinates,
    // corners in any order); false unless the cached box overlaps it first.
    virtual bool touchesRect(float x1, float y1, float x2, float y2) const;
    // Even-odd test of the outline; false when fill is off or the point lies
    // outside the bounding box.
    virtual bool containsPoint(float x, float y) const;

    virtual void translate(float dx, float dy);
    virtual void scale(float px, float py, float sx, float sy);
    // Counter-clockwise for positive angles.
    virtual void rotate(float px, float py, float degrees);
    // Mirror in the line through (px, py) at the given angle.
    virtual void reflect(float px, float py, float degrees);
    // kx shears y by x, ky shears x by y.
    virtual void skew(float px, float py, float kx, float ky);

    // Whether some part of the outline lies within `tolerance` (device units of
    // the current CTM) of `point` (drawing coordinates). On success `point`
    // becomes the nearest outline point and `distanceSquared` its squared
    // device distance.
    virtual bool nearestOutlinePoint(Point& point, float tolerance, float& distanceSquared) const;

protected:
    DrawObject() = default;
    // Copies the common fields (used by the subclasses' copy constructors).
    DrawObject(const DrawObject& other) { copyCommonFrom(other); }

    // The geometric box of the outline, uncached. The default builds the
    // outline into a private path with an identity CTM and takes the extremes
    // of every element's points.
    virtual Rect computeBox() const;
    // Box of the given object-space points mapped through the matrix.
    Rect boxOfPoints(const Point* points, std::size_t count) const;
    // Appends the matrix-mapped points, for handle lists.
    void appendMapped(std::vector<Point>& out, Point p) const;
    // The four corners of an object-space box, mapped: the handles of boxes.
    std::vector<Point> mappedCorners(float x1, float y1, float x2, float y2) const;
    const PaintStyle& ownStyle() const { return m_style; }

private:
    uint32_t m_flags = 0;
    Matrix m_matrix;
    mutable Rect m_box;
    mutable bool m_boxValid = false;
    PaintStyle m_style;
    int m_firstArrow = kArrowNone;
    int m_secondArrow = kArrowNone;
    std::optional<std::string> m_url;
};

// Grows a box by the stroke as boundingBox(true) does.
Rect growByStroke(const Rect& box, const PaintStyle& style);
// Smallest box holding both; an uncomputed box counts as empty.
Rect unionRect(const Rect& a, const Rect& b);

} // namespace zavora
