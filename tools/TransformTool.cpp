#include "tools/TransformTool.h"

#include "model/Drawing.h"
#include "model/ShapeObjects.h"
#include "model/UndoCommand.h"
#include "platform/Reporter.h"
#include "raster/ScreenCanvas.h"
#include "tools/ShapeTool.h"
#include "tools/ToolView.h"

#include <algorithm>
#include <cmath>

namespace zavora {

namespace {

constexpr int kMarkArm = 6; // pixels from the origin to the end of each arm

// A difference that stands in a denominator: 0 counts as 1.
float nonZero(float d)
{
    return d == 0 ? 1 : d;
}

} // namespace

// --- the family ------------------------------------------------------------

void TransformTool::activate()
{
    m_view.setCursorShape(kCursorTransform);
    setStatus("%s: Click origin", m_name);
}

void TransformTool::deactivate()
{
    if (m_feedbackShown)
        m_view.canvas().copyBufferToWindow(ScreenBuffer::View); // outlines and mark go together
    else if (m_markShown)
        drawMark();
    m_markShown = m_feedbackShown = false;
    m_stage = NoOrigin;
    m_view.redrawStatus();
}

void TransformTool::drawMark()
{
    const Point o = m_view.toWindow(m_origin.x, m_origin.y);
    const int32_t x = roundToDevice(o.x), y = roundToDevice(o.y);
    // A cross whose arms do not overlap, so each pixel is inverted once.
    const DcPoint points[] = { { x - kMarkArm, y }, { x + kMarkArm + 1, y }, { x, y - kMarkArm }, { x, y },
        { x, y + 1 }, { x, y + kMarkArm + 1 } };
    const int32_t counts[] = { 2, 2, 2 };
    ScreenCanvas& canvas = m_view.canvas();
    const DrawTarget target = canvas.target();
    canvas.setTarget(DrawTarget::Inverted);
    canvas.polylines(points, counts, Color {}, 1, kSolidDash);
    canvas.setTarget(target);
    m_markShown = !m_markShown;
}

void TransformTool::repaintFeedback()
{
    if (!m_markShown)
        return;
    // The repaint may or may not have covered the mark: put the view back
    // under it, then draw it once.
    const Point o = m_view.toWindow(m_origin.x, m_origin.y);
    const int32_t x = roundToDevice(o.x), y = roundToDevice(o.y);
    m_view.canvas().copyBufferToWindow(
        ScreenBuffer::View, { x - kMarkArm, y - kMarkArm, x + kMarkArm + 1, y + kMarkArm + 1 });
    m_markShown = false;
    drawMark();
}

void TransformTool::mouseDown(float x, float y, bool)
{
    const Point p = snap({ x, y });
    if (m_stage == NoOrigin) {
        m_origin = p;
        m_stage = OriginPlaced;
        return;
    }
    if (m_stage != OriginPlaced)
        return;
    m_start = m_current = p;
    m_feedbackShown = false;
    m_stage = Dragging;
}

void TransformTool::showOutlines()
{
    RectangleObject probe(0, 0, 0, 0); // at the identity: its matrix becomes the transformation
    apply(probe);
    const KMatrix about(probe.matrix());
    // The picture taken aside has no mark either.
    showSelectionOutline(about, !m_feedbackShown);
    m_markShown = false;
    drawMark();
    m_feedbackShown = true;
}

void TransformTool::mouseDrag(float x, float y, bool shift)
{
    if (m_stage != Dragging)
        return;
    m_current = snap({ x, y });
    compute(shift);
    showOutlines();
}

void TransformTool::mouseUp(float x, float y, bool shift)
{
    const Point p = snap({ x, y });
    if (m_stage == OriginPlaced) {
        // The origin is where the button comes up.
        if (m_markShown)
            drawMark();
        m_origin = p;
        m_view.setCursorShape(kCursorGesture);
        setStatus("%s: Move away from origin, then click anywhere and drag", m_name);
        drawMark();
        return;
    }
    if (m_stage != Dragging)
        return;
    m_current = p;
    compute(shift);
    // The window as it was before the gesture: no outlines, no mark.
    m_view.canvas().copyBufferToWindow(ScreenBuffer::View);
    m_markShown = m_feedbackShown = false;
    m_stage = NoOrigin;
    Drawing& d = drawing();
    if (d.hasSelection())
        d.history().execute(command(d));
    m_view.setCursorShape(kCursorTransform);
    setStatus("%s: To %s again, click origin", m_name, m_verb);
    m_view.repaintArea(Rect(), 0);
}

// --- rotate ----------------------------------------------------------------

void RotateTool::compute(bool shift)
{
    float degrees = ArcTool::angleOf(m_origin, m_current) - ArcTool::angleOf(m_origin, m_start);
    if (degrees < 0)
        degrees += 360;
    if (shift)
        degrees = std::floor(degrees / 15) * 15;
    m_degrees = degrees;
    setStatus("Rotate: %.1f degrees", double(m_degrees));
}

void RotateTool::apply(DrawObject& object) const
{
    object.rotate(m_origin.x, m_origin.y, m_degrees);
}

std::unique_ptr<UndoCommand> RotateTool::command(Drawing& d) const
{
    return std::make_unique<RotateCommand>(d, d.selection(), m_origin, m_degrees);
}

// --- scale -----------------------------------------------------------------

void ScaleTool::compute(bool shift)
{
    m_sx = nonZero(m_current.x - m_origin.x) / nonZero(m_start.x - m_origin.x);
    m_sy = nonZero(m_current.y - m_origin.y) / nonZero(m_start.y - m_origin.y);
    if (shift) {
        const float larger = std::max(std::fabs(m_sx), std::fabs(m_sy));
        m_sx = std::copysign(larger, m_sx);
        m_sy = std::copysign(larger, m_sy);
    }
    setStatus("Scale: %.1f%%, %.1f%%", double(m_sx) * 100, double(m_sy) * 100);
}

void ScaleTool::apply(DrawObject& object) const
{
    object.scale(m_origin.x, m_origin.y, m_sx, m_sy);
}

std::unique_ptr<UndoCommand> ScaleTool::command(Drawing& d) const
{
    return std::make_unique<ScaleCommand>(d, d.selection(), m_origin, m_sx, m_sy);
}

// --- skew ------------------------------------------------------------------

void SkewTool::compute(bool shift)
{
    m_vertical = (m_current.y - m_start.y) / nonZero(m_start.x - m_origin.x);
    m_horizontal = (m_current.x - m_start.x) / nonZero(m_start.y - m_origin.y);
    if (shift) {
        // One shear only: the one along the larger movement.
        if (std::fabs(m_current.x - m_start.x) >= std::fabs(m_current.y - m_start.y))
            m_vertical = 0;
        else
            m_horizontal = 0;
    }
}

void SkewTool::apply(DrawObject& object) const
{
    object.skew(m_origin.x, m_origin.y, m_vertical, m_horizontal);
}

std::unique_ptr<UndoCommand> SkewTool::command(Drawing& d) const
{
    return std::make_unique<SkewCommand>(d, d.selection(), m_origin, m_vertical, m_horizontal);
}

// --- reflect ---------------------------------------------------------------

void ReflectTool::compute(bool)
{
    m_degrees = ArcTool::angleOf(m_origin, m_current);
}

void ReflectTool::apply(DrawObject& object) const
{
    object.reflect(m_origin.x, m_origin.y, m_degrees);
}

std::unique_ptr<UndoCommand> ReflectTool::command(Drawing& d) const
{
    return std::make_unique<ReflectCommand>(d, d.selection(), m_origin, m_degrees);
}

} // namespace zavora
