#include "tools/ShapeTool.h"

#include "model/Drawing.h"
#include "model/GraphicsKernel.h"
#include "model/ShapeObjects.h"
#include "model/UndoCommand.h"
#include "platform/Reporter.h"
#include "raster/ScreenCanvas.h"
#include "tools/ToolView.h"

#include <algorithm>
#include <cmath>

namespace zavora {

namespace {

constexpr double kSqrt2Drag = 1.4142135623730951; // creation drags
constexpr float kSqrt2Handle = 1.4142135f; // handle drags and handle points
constexpr double kPi = 3.14159265358979323846;

// The square rule: the larger of the two distances from the anchor wins and
// the other axis takes the same length in the pointer's direction.
Point squareCorner(Point anchor, Point p)
{
    if (std::fabs(p.x - anchor.x) <= std::fabs(p.y - anchor.y)) {
        const float s = std::fabs(p.y - anchor.y);
        return { p.x <= anchor.x ? anchor.x - s : anchor.x + s, p.y };
    }
    const float s = std::fabs(p.x - anchor.x);
    return { p.x, p.y <= anchor.y ? anchor.y - s : anchor.y + s };
}

// Horizontal or vertical from the anchor, whichever is nearer the pointer.
Point axisPoint(Point anchor, Point p)
{
    if (std::fabs(p.x - anchor.x) <= std::fabs(p.y - anchor.y))
        return { anchor.x, p.y };
    return { p.x, anchor.y };
}

float distance(Point a, Point b)
{
    return float(std::hypot(double(b.x) - a.x, double(b.y) - a.y));
}

// Corner `handle` (0..3) of a rectangle and the corner opposite it.
void rectangleHandle(Point& c1, Point& c2, int handle, Point o, bool shift)
{
    Point opposite;
    switch (handle) {
    case 0:
        opposite = c2;
        break;
    case 1:
        opposite = { c1.x, c2.y };
        break;
    case 2:
        opposite = c1;
        break;
    case 3:
        opposite = { c2.x, c1.y };
        break;
    default:
        return;
    }
    if (shift)
        o = squareCorner(opposite, o);
    moveBoxCorner(c1, c2, handle, o);
}

// The four corner handles of a rectangle, from corner1 round to the fourth.
std::vector<Point> cornerHandles(Point a, Point b)
{
    return { a, { b.x, a.y }, b, { a.x, b.y } };
}

} // namespace

// --- the family ------------------------------------------------------------

ShapeTool::ShapeTool(ToolView& view)
    : Tool(view)
{
    drawing().addObserver(this);
}

ShapeTool::~ShapeTool()
{
    drawing().removeObserver(this);
}

DrawObject* ShapeTool::current() const
{
    return m_creating ? m_creating.get() : m_object;
}

void ShapeTool::attach(DrawObject& object)
{
    m_object = &object;
    m_state = Attached;
}

void ShapeTool::detach()
{
    if (m_state == Dragging && m_feedbackShown) {
        // The outline on the screen belongs to a shape that may be gone.
        m_feedbackShown = false;
        m_view.repaintArea(Rect(), 0);
    }
    if (m_state == Attached || m_state == Dragging)
        m_state = Idle;
    m_object = nullptr;
    m_savedCopy.reset();
}

void ShapeTool::selectionChanged()
{
    // Attached is only the moment between the selection tool's handle test
    // and the press it forwards; a drag lasts while its shape stays selected.
    if (m_state == Attached || (m_state == Dragging && !drawing().isSelected(m_object)))
        detach();
}

void ShapeTool::objectsRemoved()
{
    if (m_object && !drawing().indexOf(m_object))
        detach();
}

void ShapeTool::activate()
{
    // Chosen as a creation tool, it reshapes nothing it was attached to before.
    detach();
    m_view.setCursorShape(kCursorCreate);
    setStatus("%s", firstPrompt());
}

void ShapeTool::deactivate()
{
    // A shape being created is dropped; a reshape in progress is put back.
    const bool dirty = m_feedbackShown || m_creating || m_state == Dragging;
    eraseFeedback();
    if (m_state == Dragging && m_object && m_savedCopy) {
        // The swap of a reshape record puts the saved state back.
        if (auto restore = makeShapeEditCommand(drawing(), *m_object, *m_savedCopy))
            restore->execute();
    }
    m_creating.reset();
    detach();
    m_state = Idle;
    if (dirty)
        m_view.repaintArea(Rect(), 0);
    m_view.redrawStatus();
}

int ShapeTool::hitHandle(float x, float y)
{
    if (!m_object || (m_state != Attached && m_state != Dragging))
        return -1;
    const Point pointer = m_view.toWindow(x, y);
    const std::vector<Point> points = handles(*m_object);
    for (std::size_t i = 0; i < points.size(); ++i)
        if (onHandle(pointer, *m_object, points[i]))
            return firstHandle() + int(i);
    return -1;
}

void ShapeTool::beginCreating(std::unique_ptr<DrawObject> object)
{
    m_creating = std::move(object);
    m_view.setCursorShape(kCursorGesture);
    setStatus("%s", pressPrompt());
    m_state = Creating;
}

void ShapeTool::mouseDown(float x, float y, bool)
{
    if (m_state == Idle) {
        beginCreating(create(snap({ x, y })));
    } else if (m_state == Attached) {
        m_handle = hitHandle(x, y);
        if (m_handle < 0) {
            m_state = Idle;
        } else {
            m_savedCopy = m_object->clone();
            m_boxBefore = m_object->boundingBox(true);
            m_state = Dragging;
        }
    }
    m_feedbackShown = false;
}

void ShapeTool::eraseFeedback()
{
    if (!m_feedbackShown)
        return;
    ScreenCanvas& canvas = m_view.canvas();
    if (m_view.previewMode()) {
        // The inverted outline drawn a second time vanishes.
        canvas.setTarget(DrawTarget::Inverted);
        canvas.drawObject(*current(), kDrawOutline);
        canvas.setTarget(DrawTarget::Buffer);
    } else {
        canvas.copyBufferToWindow(ScreenBuffer::View);
    }
    m_feedbackShown = false;
}

void ShapeTool::showFeedback()
{
    ScreenCanvas& canvas = m_view.canvas();
    canvas.setTarget(m_view.previewMode() ? DrawTarget::Inverted : DrawTarget::Direct);
    canvas.drawObject(*current(), kDrawOutline);
    canvas.setTarget(DrawTarget::Buffer);
    m_feedbackShown = true;
}

void ShapeTool::repaintFeedback()
{
    // A path keeps its outline shown between its points, with no button
    // held, and a paint has just composed part of the window afresh: the
    // outline is drawn again over the whole view, so it is there once.
    if (!m_feedbackShown || !m_creating)
        return;
    m_view.canvas().copyBufferToWindow(ScreenBuffer::View);
    showFeedback();
}

void ShapeTool::mouseDrag(float x, float y, bool shift)
{
    if (m_state != Creating && m_state != Sweeping && m_state != Dragging)
        return;
    eraseFeedback();
    const Point p = snap({ x, y });
    DrawObject& object = *current();
    if (m_state == Dragging) {
        const Point o = transformPoint(invert(KMatrix(object.matrix())), p);
        dragHandle(object, m_handle, o, shift);
    } else {
        dragCreate(object, p, shift);
    }
    object.invalidateBox();
    showFeedback();
}

Point ShapeTool::objectSnapped(Point p)
{
    const ObjectSnap& settings = drawing().objectSnap();
    if (!settings.enabled)
        return p;
    // Drawing units throughout: the kernel's CTM is the identity here.
    StateSaver saver;
    kernel().setCtm(KMatrix());
    Point q = p;
    float d2 = 0;
    if (drawing().nearestOutlinePoint(q, pixels(float(settings.distance)), d2))
        return q;
    return p;
}

void ShapeTool::finishCreating()
{
    m_state = Idle;
    eraseFeedback();
    std::unique_ptr<DrawObject> object = std::move(m_creating);
    Drawing& d = drawing();
    d.clearSelection();
    DrawObject* added = nullptr;
    if (object) {
        object->setStyle(d.defaultStyle());
        snapToObjects(*object);
        object->invalidateBox();
        if (!degenerate(*object)) {
            auto command = std::make_unique<AddObjectCommand>(d, std::move(object));
            added = command->object();
            d.history().execute(std::move(command));
        }
    }
    m_view.setCursorShape(kCursorCreate);
    setStatus("%s", releasePrompt());
    if (added)
        d.select(added);
    d.notifySelectionChanged();
    m_view.repaintArea(Rect(), 0);
}

void ShapeTool::mouseUp(float, float, bool)
{
    if (m_state == Creating) {
        finishCreating();
        return;
    }
    if (m_state != Dragging)
        return;
    m_state = Idle;
    m_feedbackShown = false;
    m_boxAfter = m_object->boundingBox(true);
    Drawing& d = drawing();
    if (auto command = makeShapeEditCommand(d, *m_object, *m_savedCopy))
        d.history().push(std::move(command));
    m_savedCopy.reset();
    d.markEdited();
    if (m_view.previewMode())
        m_view.repaintArea(unionRect(m_boxBefore, m_boxAfter), 2);
    else
        m_view.repaintArea(Rect(), 0);
}

// --- line ------------------------------------------------------------------

std::unique_ptr<DrawObject> LineTool::create(Point p) const
{
    return std::make_unique<LineObject>(p.x, p.y, p.x, p.y);
}

void LineTool::dragCreate(DrawObject& object, Point p, bool shift) const
{
    auto& line = static_cast<LineObject&>(object);
    line.setEnds(line.first(), shift ? axisPoint(line.first(), p) : p);
}

std::vector<Point> LineTool::handles(const DrawObject& object) const
{
    const auto& line = static_cast<const LineObject&>(object);
    return { line.first(), line.second() };
}

void LineTool::dragHandle(DrawObject& object, int handle, Point o, bool shift) const
{
    auto& line = static_cast<LineObject&>(object);
    if (handle == 1)
        line.setEnds(shift ? axisPoint(line.second(), o) : o, line.second());
    else if (handle == 2)
        line.setEnds(line.first(), shift ? axisPoint(line.first(), o) : o);
}

bool LineTool::degenerate(const DrawObject& object) const
{
    const auto& line = static_cast<const LineObject&>(object);
    return line.first() == line.second();
}

void LineTool::snapToObjects(DrawObject& object)
{
    auto& line = static_cast<LineObject&>(object);
    line.setEnds(objectSnapped(line.first()), objectSnapped(line.second()));
}

// --- rectangle -------------------------------------------------------------

std::unique_ptr<DrawObject> RectangleTool::create(Point p) const
{
    return std::make_unique<RectangleObject>(p.x, p.y, p.x, p.y);
}

Point RectangleTool::dragCorner(Point c1, Point p, bool shift) const
{
    if (shift) {
        const Point c2 = squareCorner(c1, p);
        setStatus("Square: %.0f", std::fabs(c2.x - c1.x));
        return c2;
    }
    setStatus("Rectangle: %.0fx%.0f", std::fabs(p.x - c1.x), std::fabs(p.y - c1.y));
    return p;
}

void RectangleTool::dragCreate(DrawObject& object, Point p, bool shift) const
{
    auto& rect = static_cast<RectangleObject&>(object);
    rect.setCorners(rect.corner1(), dragCorner(rect.corner1(), p, shift));
}

std::vector<Point> RectangleTool::handles(const DrawObject& object) const
{
    const auto& rect = static_cast<const RectangleObject&>(object);
    return cornerHandles(rect.corner1(), rect.corner2());
}

void RectangleTool::dragHandle(DrawObject& object, int handle, Point o, bool shift) const
{
    auto& rect = static_cast<RectangleObject&>(object);
    Point c1 = rect.corner1(), c2 = rect.corner2();
    rectangleHandle(c1, c2, handle, o, shift);
    rect.setCorners(c1, c2);
}

bool RectangleTool::degenerate(const DrawObject& object) const
{
    const auto& rect = static_cast<const RectangleObject&>(object);
    return rect.corner1() == rect.corner2();
}

void RectangleTool::snapToObjects(DrawObject& object)
{
    auto& rect = static_cast<RectangleObject&>(object);
    rect.setCorners(objectSnapped(rect.corner1()), objectSnapped(rect.corner2()));
}

// --- rounded rectangle -----------------------------------------------------

std::unique_ptr<DrawObject> RoundRectTool::create(Point p) const
{
    return std::make_unique<RoundRectObject>(p.x, p.y, p.x, p.y, 0.0f, 0.0f);
}

void RoundRectTool::dragCreate(DrawObject& object, Point p, bool shift) const
{
    auto& rect = static_cast<RoundRectObject&>(object);
    const Point c1 = rect.corner1();
    const Point c2 = dragCorner(c1, p, shift);
    rect.setCorners(c1, c2);
    const float r = std::min({ 20.0f, std::fabs(c2.x - c1.x) / 3, std::fabs(c2.y - c1.y) / 3 });
    rect.setRadii(r, r);
}

std::vector<Point> RoundRectTool::handles(const DrawObject& object) const
{
    const auto& rect = static_cast<const RoundRectObject&>(object);
    const Point a = rect.corner1(), b = rect.corner2();
    std::vector<Point> points = cornerHandles(a, b);
    points.push_back({ std::min(a.x, b.x) + rect.rx(), std::max(a.y, b.y) - rect.ry() });
    return points;
}

void RoundRectTool::dragHandle(DrawObject& object, int handle, Point o, bool shift) const
{
    auto& rect = static_cast<RoundRectObject&>(object);
    Point c1 = rect.corner1(), c2 = rect.corner2();
    float rx = rect.rx(), ry = rect.ry();
    if (handle == 4) {
        rx = o.x - std::min(c1.x, c2.x);
        ry = std::max(c1.y, c2.y) - o.y;
    } else {
        rectangleHandle(c1, c2, handle, o, shift);
    }
    rx = std::max(0.0f, std::min(rx, std::fabs(c2.x - c1.x) / 2));
    ry = std::max(0.0f, std::min(ry, std::fabs(c2.y - c1.y) / 2));
    if (shift && handle == 4)
        rx = ry = std::min(rx, ry);
    rect.setCorners(c1, c2);
    rect.setRadii(rx, ry);
}

bool RoundRectTool::degenerate(const DrawObject& object) const
{
    const auto& rect = static_cast<const RoundRectObject&>(object);
    return rect.corner1() == rect.corner2();
}

void RoundRectTool::snapToObjects(DrawObject& object)
{
    auto& rect = static_cast<RoundRectObject&>(object);
    rect.setCorners(objectSnapped(rect.corner1()), objectSnapped(rect.corner2()));
}

// --- ellipse ---------------------------------------------------------------

std::unique_ptr<DrawObject> EllipseTool::create(Point p) const
{
    return std::make_unique<EllipseObject>(p.x, p.y, 0.0f, 0.0f);
}

void EllipseTool::dragCreate(DrawObject& object, Point p, bool shift) const
{
    auto& e = static_cast<EllipseObject&>(object);
    const Point c = e.centre();
    if (shift) {
        const float r = std::max(1.0f, distance(c, p));
        e.setGeometry(c.x, c.y, r, r);
        setStatus("Circle: %.01f", r);
    } else {
        // Radii that put the pointer on the ellipse at 45 degrees.
        const float rx = std::max(1.0f, float(std::fabs(double(p.x) - c.x) * kSqrt2Drag));
        const float ry = std::max(1.0f, float(std::fabs(double(p.y) - c.y) * kSqrt2Drag));
        e.setGeometry(c.x, c.y, rx, ry);
        setStatus("Ellipse: %.0fx%.0f", rx, ry);
    }
}

std::vector<Point> EllipseTool::handles(const DrawObject& object) const
{
    const auto& e = static_cast<const EllipseObject&>(object);
    const Point c = e.centre();
    const float dx = e.rx() / kSqrt2Handle, dy = e.ry() / kSqrt2Handle;
    return { { c.x - dx, c.y - dy }, { c.x + dx, c.y - dy }, { c.x + dx, c.y + dy }, { c.x - dx, c.y + dy } };
}

void EllipseTool::dragHandle(DrawObject& object, int handle, Point o, bool shift) const
{
    auto& e = static_cast<EllipseObject&>(object);
    const Point c = e.centre();
    float rx = e.rx(), ry = e.ry();
    if (shift) {
        rx = ry = distance(c, o);
    } else {
        const float sx = (handle == 0 || handle == 3) ? c.x - o.x : o.x - c.x;
        const float sy = (handle == 0 || handle == 1) ? c.y - o.y : o.y - c.y;
        rx = sx * kSqrt2Handle;
        ry = sy * kSqrt2Handle;
    }
    e.setGeometry(c.x, c.y, rx, ry);
}

bool EllipseTool::degenerate(const DrawObject& object) const
{
    const auto& e = static_cast<const EllipseObject&>(object);
    return e.rx() == 0 && e.ry() == 0;
}

void EllipseTool::snapToObjects(DrawObject& object)
{
    auto& e = static_cast<EllipseObject&>(object);
    const Point c = objectSnapped(e.centre());
    e.setGeometry(c.x, c.y, e.rx(), e.ry());
}

// --- arc -------------------------------------------------------------------

float ArcTool::angleOf(Point c, Point p)
{
    const double dx = double(p.x) - c.x, dy = double(p.y) - c.y;
    if (dx == 0)
        return dy > 0 ? 90.0f : dy < 0 ? -90.0f : 0.0f;
    return float(std::atan2(dy, dx) * 180 / kPi);
}

std::unique_ptr<DrawObject> ArcTool::create(Point p) const
{
    return std::make_unique<ArcObject>(p.x, p.y, 0.0f, 0.0f, 0.0f, 0.0f);
}

void ArcTool::mouseDown(float x, float y, bool shift)
{
    if (m_state == Idle) {
        // The centre; the prompt stays until the release.
        m_creating = create(snap({ x, y }));
        m_state = Creating;
        m_feedbackShown = false;
    } else if (m_state == Creating && m_creating) {
        auto& arc = static_cast<ArcObject&>(*m_creating);
        const float start = angleOf(arc.centre(), snap({ x, y }));
        arc.setAngles(start, start);
        m_view.setCursorShape(kCursorGesture);
        setStatus("%s", pressPrompt());
        m_state = Sweeping;
        m_feedbackShown = false;
    } else {
        ShapeTool::mouseDown(x, y, shift);
    }
}

void ArcTool::mouseDrag(float x, float y, bool shift)
{
    if (m_state == Creating)
        return; // the centre is placed; nothing to sweep yet
    ShapeTool::mouseDrag(x, y, shift);
}

void ArcTool::mouseUp(float x, float y, bool shift)
{
    if (m_state == Creating) {
        setStatus("Arc: Click start angle, drag anti-clockwise to end angle");
        return;
    }
    if (m_state == Sweeping) {
        finishCreating();
        return;
    }
    ShapeTool::mouseUp(x, y, shift);
}

void ArcTool::dragCreate(DrawObject& object, Point p, bool) const
{
    auto& arc = static_cast<ArcObject&>(object);
    const Point c = arc.centre();
    const float r = distance(c, p);
    arc.setGeometry(c.x, c.y, r, r);
    arc.setAngles(arc.startAngle(), angleOf(c, p));
}

std::vector<Point> ArcTool::handles(const DrawObject& object) const
{
    const auto& arc = static_cast<const ArcObject&>(object);
    const Point c = arc.centre();
    const double a1 = arc.startAngle() * kPi / 180, a2 = arc.endAngle() * kPi / 180;
    return { { float(c.x + arc.rx() * std::cos(a1)), float(c.y + arc.ry() * std::sin(a1)) },
        { float(c.x + arc.rx() * std::cos(a2)), float(c.y + arc.ry() * std::sin(a2)) } };
}

void ArcTool::dragHandle(DrawObject& object, int handle, Point o, bool) const
{
    auto& arc = static_cast<ArcObject&>(object);
    const Point c = arc.centre();
    const float r = distance(c, o);
    arc.setGeometry(c.x, c.y, r, r);
    const float a = angleOf(c, o);
    if (handle == 1)
        arc.setAngles(a, arc.endAngle());
    else if (handle == 2)
        arc.setAngles(arc.startAngle(), a);
}

bool ArcTool::degenerate(const DrawObject& object) const
{
    const auto& arc = static_cast<const ArcObject&>(object);
    return (arc.rx() == 0 && arc.ry() == 0) || arc.startAngle() == arc.endAngle();
}

void ArcTool::snapToObjects(DrawObject& object)
{
    auto& arc = static_cast<ArcObject&>(object);
    const Point c = objectSnapped(arc.centre());
    arc.setGeometry(c.x, c.y, arc.rx(), arc.ry());
}

} // namespace zavora
