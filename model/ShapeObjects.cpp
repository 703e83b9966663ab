#include "model/ShapeObjects.h"

#include "model/GraphicsKernel.h"
#include "model/OutlineGeometry.h"
#include "model/OutputPort.h"
#include "model/ScreenPainter.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace zavora {

namespace {

constexpr double kDegree = std::numbers::pi / 180.0;

// Axis-aligned rectangle outline, shared by the rectangle and the rounded
// rectangle whose corners are too small to round.
void rectanglePath(GraphicsKernel& k, float x1, float y1, float x2, float y2)
{
    k.moveto(x1, y1);
    k.lineto(x1, y2);
    k.lineto(x2, y2);
    k.lineto(x2, y1);
    k.lineto(x1, y1);
    k.closepath();
}

void quarterArc(GraphicsKernel& k, float cx, float cy, float rx, float ry, float a1, float a2)
{
    StateSaver saver;
    k.translate(cx, cy);
    k.scale(rx, ry);
    k.arc(0, 0, 1, a1, a2);
}

} // namespace

// --- LineObject --------------------------------------------------------

LineObject::LineObject(float x1, float y1, float x2, float y2)
    : m_x1(x1)
    , m_y1(y1)
    , m_x2(x2)
    , m_y2(y2)
{ }

void LineObject::buildOutline() const
{
    GraphicsKernel& k = kernel();
    StateSaver saver;
    k.concat(matrix());
    k.moveto(m_x1, m_y1);
    k.lineto(m_x2, m_y2);
}

void LineObject::drawOnScreen(ScreenPainter& painter, int mode) const
{
    paintOutline(painter, *this, mode);
    if (mode != kDrawFinal)
        return;
    if (auto ends = polylineEnds({ first(), second() }))
        paintArrowheads(painter, *this, *ends);
}

std::vector<Point> LineObject::handlePoints() const
{
    std::vector<Point> out;
    appendMapped(out, first());
    appendMapped(out, second());
    return out;
}

void LineObject::emit(OutputPort& port) const
{
    auto [first, second] = arrows();
    port.line(style(), matrix(), m_x1, m_y1, m_x2, m_y2, first, second);
}

std::unique_ptr<DrawObject> LineObject::clone() const
{
    return std::make_unique<LineObject>(*this);
}

bool LineObject::containsPoint(float, float) const
{
    return false;
}

void LineObject::setEnds(Point first, Point second)
{
    m_x1 = first.x;
    m_y1 = first.y;
    m_x2 = second.x;
    m_y2 = second.y;
    invalidateBox();
}

Rect LineObject::computeBox() const
{
    const Point points[] = { first(), second() };
    return boxOfPoints(points, 2);
}

// --- RectangleObject ---------------------------------------------------

RectangleObject::RectangleObject(float x1, float y1, float x2, float y2)
    : m_x1(x1)
    , m_y1(y1)
    , m_x2(x2)
    , m_y2(y2)
{ }

void RectangleObject::buildOutline() const
{
    GraphicsKernel& k = kernel();
    StateSaver saver;
    k.concat(matrix());
    rectanglePath(k, m_x1, m_y1, m_x2, m_y2);
}

std::vector<Point> RectangleObject::handlePoints() const
{
    return mappedCorners(m_x1, m_y1, m_x2, m_y2);
}

void RectangleObject::emit(OutputPort& port) const
{
    port.rectangle(style(), matrix(), m_x1, m_y1, m_x2, m_y2);
}

std::unique_ptr<DrawObject> RectangleObject::clone() const
{
    return std::make_unique<RectangleObject>(*this);
}

void RectangleObject::setCorners(Point corner1, Point corner2)
{
    m_x1 = corner1.x;
    m_y1 = corner1.y;
    m_x2 = corner2.x;
    m_y2 = corner2.y;
    invalidateBox();
}

Rect RectangleObject::computeBox() const
{
    // All four corners: under rotation or skew any of them can be an extreme.
    const Point points[] = { { m_x1, m_y1 }, { m_x1, m_y2 }, { m_x2, m_y2 }, { m_x2, m_y1 } };
    return boxOfPoints(points, 4);
}

// --- RoundRectObject ---------------------------------------------------

RoundRectObject::RoundRectObject(float x1, float y1, float x2, float y2, float rx, float ry)
    : m_x1(x1)
    , m_y1(y1)
    , m_x2(x2)
    , m_y2(y2)
    , m_rx(rx)
    , m_ry(ry)
{ }

void RoundRectObject::buildOutline() const
{
    GraphicsKernel& k = kernel();
    StateSaver saver;
    k.concat(matrix());
    const float xmin = std::min(m_x1, m_x2), xmax = std::max(m_x1, m_x2);
    const float ymin = std::min(m_y1, m_y2), ymax = std::max(m_y1, m_y2);
    const float rx = std::min(m_rx, (xmax - xmin) / 2);
    const float ry = std::min(m_ry, (ymax - ymin) / 2);
    if (!(rx >= 1 && ry > 1)) {
        rectanglePath(k, xmin, ymin, xmax, ymax);
        return;
    }
    k.moveto(xmin + rx, ymax);
    quarterArc(k, xmin + rx, ymax - ry, rx, ry, 90, 180);
    k.lineto(xmin, ymin + ry);
    quarterArc(k, xmin + rx, ymin + ry, rx, ry, 180, 270);
    k.lineto(xmax - rx, ymin);
    quarterArc(k, xmax - rx, ymin + ry, rx, ry, 270, 360);
    k.lineto(xmax, ymax - ry);
    quarterArc(k, xmax - rx, ymax - ry, rx, ry, 0, 90);
    k.lineto(xmin + rx, ymax);
    k.closepath();
}

std::vector<Point> RoundRectObject::handlePoints() const
{
    // The corners and the radius handle, where the top left rounding ends.
    std::vector<Point> out = mappedCorners(m_x1, m_y1, m_x2, m_y2);
    appendMapped(out, { std::min(m_x1, m_x2) + m_rx, std::max(m_y1, m_y2) - m_ry });
    return out;
}

void RoundRectObject::emit(OutputPort& port) const
{
    port.roundRectangle(style(), matrix(), m_x1, m_y1, m_x2, m_y2, m_rx, m_ry);
}

std::unique_ptr<DrawObject> RoundRectObject::clone() const
{
    return std::make_unique<RoundRectObject>(*this);
}

void RoundRectObject::setCorners(Point corner1, Point corner2)
{
    m_x1 = corner1.x;
    m_y1 = corner1.y;
    m_x2 = corner2.x;
    m_y2 = corner2.y;
    invalidateBox();
}

void RoundRectObject::setRadii(float rx, float ry)
{
    m_rx = rx;
    m_ry = ry;
    invalidateBox();
}

// --- EllipseObject -----------------------------------------------------

EllipseObject::EllipseObject(float cx, float cy, float rx, float ry)
    : m_cx(cx)
    , m_cy(cy)
    , m_rx(rx)
    , m_ry(ry)
{ }

void EllipseObject::buildOutline() const
{
    GraphicsKernel& k = kernel();
    StateSaver saver;
    k.concat(matrix());
    k.ellipticArc(m_cx, m_cy, m_rx, m_ry, 0, 360);
}

std::vector<Point> EllipseObject::handlePoints() const
{
    const float hx = float(m_rx / std::numbers::sqrt2), hy = float(m_ry / std::numbers::sqrt2);
    std::vector<Point> out;
    appendMapped(out, { m_cx + hx, m_cy + hy });
    appendMapped(out, { m_cx - hx, m_cy + hy });
    appendMapped(out, { m_cx - hx, m_cy - hy });
    appendMapped(out, { m_cx + hx, m_cy - hy });
    return out;
}

void EllipseObject::emit(OutputPort& port) const
{
    port.ellipse(style(), matrix(), m_cx, m_cy, m_rx, m_ry);
}

std::unique_ptr<DrawObject> EllipseObject::clone() const
{
    return std::make_unique<EllipseObject>(*this);
}

void EllipseObject::setGeometry(float cx, float cy, float rx, float ry)
{
    m_cx = cx;
    m_cy = cy;
    m_rx = rx;
    m_ry = ry;
    invalidateBox();
}

// --- ArcObject ---------------------------------------------------------

ArcObject::ArcObject(float cx, float cy, float rx, float ry, float start, float end)
    : m_cx(cx)
    , m_cy(cy)
    , m_rx(rx)
    , m_ry(ry)
    , m_start(start)
    , m_end(end)
{ }

void ArcObject::buildOutline() const
{
    GraphicsKernel& k = kernel();
    StateSaver saver;
    k.concat(matrix());
    k.translate(m_cx, m_cy);
    k.scale(m_rx, m_ry);
    // After another outline (a compound path's earlier member) the arc would
    // continue from that member's end; start a subpath of its own instead.
    if (k.state().hasCurrentPoint) {
        const double a = m_start * kDegree;
        k.moveto(float(std::cos(a)), float(std::sin(a)));
    }
    k.arc(0, 0, 1, m_start, m_end);
}

void ArcObject::drawOnScreen(ScreenPainter& painter, int mode) const
{
    // Filling closes the open arc into its chord.
    paintOutline(painter, *this, mode);
    if (mode != kDrawFinal)
        return;
    // The ends as the output ports find them, so screen and files agree.
    NodeList nodes;
    appendArcNodes(nodes, m_cx, m_cy, m_rx, m_ry, m_start, m_end);
    if (auto ends = curveEnds(nodes))
        paintArrowheads(painter, *this, *ends);
}

std::vector<Point> ArcObject::handlePoints() const
{
    std::vector<Point> out;
    for (float angle : { m_start, m_end }) {
        const double a = angle * kDegree;
        appendMapped(out, { float(m_cx + m_rx * std::cos(a)), float(m_cy + m_ry * std::sin(a)) });
    }
    return out;
}

void ArcObject::emit(OutputPort& port) const
{
    auto [first, second] = arrows();
    port.arc(style(), matrix(), m_cx, m_cy, m_rx, m_ry, m_start, m_end, first, second);
}

std::unique_ptr<DrawObject> ArcObject::clone() const
{
    return std::make_unique<ArcObject>(*this);
}

void ArcObject::setGeometry(float cx, float cy, float rx, float ry)
{
    m_cx = cx;
    m_cy = cy;
    m_rx = rx;
    m_ry = ry;
    invalidateBox();
}

void ArcObject::setAngles(float start, float end)
{
    m_start = start;
    m_end = end;
    invalidateBox();
}

} // namespace zavora
