#include "tools/Tool.h"

#include "model/Drawing.h"
#include "model/TextObject.h"
#include "raster/ScreenCanvas.h"
#include "tools/ToolView.h"

#include <algorithm>
#include <cmath>

namespace zavora {

void Tool::attach(DrawObject&)
{ }
void Tool::activate()
{ }
int Tool::hitHandle(float, float)
{
    return -1;
}
void Tool::deactivate()
{ }
void Tool::keyDown(int, bool)
{ }
void Tool::doubleClick(float, float, bool)
{ }
void Tool::rightClick(float, float, bool)
{ }
void Tool::repaintFeedback()
{ }
void Tool::drawOverlay()
{ }

NewTextFont ToolView::newTextFont() const
{
    return { defaultTextFont(), 24 };
}

void moveBoxCorner(Point& c1, Point& c2, int handle, Point o)
{
    switch (handle) {
    case 0:
        c1 = o;
        break;
    case 1:
        c2.x = o.x;
        c1.y = o.y;
        break;
    case 2:
        c2 = o;
        break;
    case 3:
        c1.x = o.x;
        c2.y = o.y;
        break;
    default:
        break;
    }
}

Drawing& Tool::drawing()
{
    return m_view.drawing();
}

Point Tool::snap(Point p)
{
    return snapToGrid(p, m_view.drawing().grid());
}

const KMatrix& Tool::viewMatrix()
{
    return m_view.canvas().viewMatrix();
}

float Tool::pixels(float count) const
{
    const Point d = m_view.pixelsToDrawing(count, count);
    return std::max(d.x, d.y);
}

bool Tool::onHandle(Point pointer, const DrawObject& object, Point h) const
{
    // Within 3 pixels; the slack absorbs the float round trip of the pointer
    // through the view mapping.
    constexpr float kHandleReach = 3.001f;
    const Point d = transformPoint(KMatrix(object.matrix()), h);
    const Point p = m_view.toWindow(d.x, d.y);
    return std::fabs(pointer.x - p.x) <= kHandleReach && std::fabs(pointer.y - p.y) <= kHandleReach;
}

void Tool::drawInvertedRect(const Rect& r)
{
    ScreenCanvas& canvas = m_view.canvas();
    const Point corners[4] = { m_view.toWindow(r.left, r.bottom), m_view.toWindow(r.right, r.bottom),
        m_view.toWindow(r.right, r.top), m_view.toWindow(r.left, r.top) };
    DcPoint points[5];
    for (int i = 0; i < 5; ++i) {
        const Point& p = corners[i % 4];
        points[i] = { roundToDevice(p.x), roundToDevice(p.y) };
    }
    const int32_t counts[1] = { 5 };
    const DrawTarget target = canvas.target();
    canvas.setTarget(DrawTarget::Inverted);
    canvas.polylines(points, counts, Color {}, 1, kSolidDash);
    canvas.setTarget(target);
}

void Tool::showSelectionOutline(const KMatrix& transform, bool first)
{
    ScreenCanvas& canvas = m_view.canvas();
    if (first)
        canvas.copyBufferToBuffer(ScreenBuffer::Clean, ScreenBuffer::Temp1);
    canvas.copyBufferToWindow(ScreenBuffer::Temp1);
    const KMatrix view = canvas.viewMatrix();
    canvas.setViewMatrix(multiply(transform, view));
    const DrawTarget target = canvas.target();
    canvas.setTarget(DrawTarget::Inverted);
    for (const DrawObject* object : drawing().selection())
        canvas.drawObject(*object, kDrawOutline);
    canvas.setTarget(target);
    canvas.setViewMatrix(view);
}

} // namespace zavora
