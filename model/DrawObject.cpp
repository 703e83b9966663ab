#include "model/DrawObject.h"

#include "model/GraphicsKernel.h"
#include "model/HandlePainter.h"
#include "model/ScreenPainter.h"

#include <algorithm>
#include <cmath>

namespace zavora {

namespace {

// New matrix = old matrix x T, T built from kernel operators on an identity CTM.
template <class Ops> Matrix bakeAfter(const Matrix& old, Ops ops)
{
    GraphicsKernel& k = kernel();
    StateSaver saver;
    k.pushIdentity();
    k.popIntoCtm();
    ops(k);
    k.concat(old);
    k.pushIdentity();
    k.replaceTopWithCtm();
    Matrix result = old;
    k.popInto(result);
    return result;
}

void extend(Rect& box, bool& any, float x, float y)
{
    if (!any) {
        box = { x, y, x, y };
        any = true;
        return;
    }
    box.left = std::min(box.left, x);
    box.right = std::max(box.right, x);
    box.bottom = std::min(box.bottom, y);
    box.top = std::max(box.top, y);
}

} // namespace

void DrawObject::copyCommonFrom(const DrawObject& other)
{
    m_flags = other.m_flags;
    m_matrix = other.m_matrix;
    m_box = other.m_box;
    m_boxValid = other.m_boxValid;
    m_style = other.m_style;
    m_firstArrow = other.m_firstArrow;
    m_secondArrow = other.m_secondArrow;
    m_url = other.m_url;
}

void DrawObject::setUrl(std::optional<std::string> url)
{
    if (url && url->empty())
        url.reset();
    m_url = std::move(url);
}

void DrawObject::drawOnScreen(ScreenPainter& painter, int mode) const
{
    paintOutline(painter, *this, mode);
}

std::vector<Point> DrawObject::mappedCorners(float x1, float y1, float x2, float y2) const
{
    std::vector<Point> out;
    appendMapped(out, { x1, y1 });
    appendMapped(out, { x1, y2 });
    appendMapped(out, { x2, y2 });
    appendMapped(out, { x2, y1 });
    return out;
}

void DrawObject::drawHandles(HandlePainter& painter) const
{
    for (Point p : handlePoints())
        painter.mark(p);
}

void DrawObject::setMatrix(const Matrix& m)
{
    m_matrix = m;
    m_boxValid = false;
}

void DrawObject::setMatrix(const std::array<float, 6>& m)
{
    setMatrix(Matrix { m[0], m[1], m[2], m[3], m[4], m[5] });
}

Rect DrawObject::boundingBox(bool includeStroke) const
{
    if (!m_boxValid) {
        m_box = computeBox();
        m_boxValid = true;
    }
    // Text and images have no outline stroke to line up: their box is the frame.
    const bool stroked = type() != ObjectType::Text && type() != ObjectType::Image;
    return includeStroke && stroked ? growByStroke(m_box, m_style) : m_box;
}

Rect DrawObject::computeBox() const
{
    // Built into a private path: whatever the kernel holds is put back as it was.
    GraphicsKernel& k = kernel();
    std::vector<PathElement> outline;
    {
        PathScope scope;
        k.setCtm(KMatrix());
        buildOutline();
        outline = k.takePath();
    }

    Rect box;
    bool any = false;
    for (const PathElement& e : outline) {
        switch (e.kind) {
        case PathKind::Curve:
            extend(box, any, e.x2, e.y2);
            extend(box, any, e.x3, e.y3);
            [[fallthrough]];
        case PathKind::Move:
        case PathKind::Line:
            extend(box, any, e.x1, e.y1);
            break;
        case PathKind::Close:
            break;
        }
    }
    return box;
}

Rect DrawObject::boxOfPoints(const Point* points, std::size_t count) const
{
    Rect box;
    bool any = false;
    const Matrix& m = m_matrix;
    for (std::size_t i = 0; i < count; ++i) {
        // Same arithmetic as the kernel: doubles, stored as floats.
        const double x = points[i].x, y = points[i].y;
        extend(box, any, float(m.a * x + m.c * y + m.tx), float(m.b * x + m.d * y + m.ty));
    }
    return box;
}

void DrawObject::appendMapped(std::vector<Point>& out, Point p) const
{
    out.push_back(transformPoint(KMatrix(m_matrix), p));
}

void DrawObject::setArrows(int first, int second)
{
    if (first != kArrowUnchanged)
        m_firstArrow = first;
    if (second != kArrowUnchanged)
        m_secondArrow = second;
}

bool DrawObject::touchesRect(float x1, float y1, float x2, float y2) const
{
    const Rect box = boundingBox();
    if (box.right < std::min(x1, x2) || box.left > std::max(x1, x2) || box.top < std::min(y1, y2)
        || box.bottom > std::max(y1, y2))
        return false;
    GraphicsKernel& k = kernel();
    PathScope scope;
    buildOutline();
    return k.rectOverlapsPath(x1, y1, x2, y2);
}

bool DrawObject::containsPoint(float x, float y) const
{
    if (!style().fillOn())
        return false;
    const Rect box = boundingBox();
    if (x < box.left || x > box.right || y < box.bottom || y > box.top)
        return false;
    GraphicsKernel& k = kernel();
    PathScope scope;
    buildOutline();
    return k.pointInPath(x, y);
}

void DrawObject::translate(float dx, float dy)
{
    m_matrix = bakeAfter(m_matrix, [&](GraphicsKernel& k) { k.translate(dx, dy); });
    m_boxValid = false;
}

void DrawObject::scale(float px, float py, float sx, float sy)
{
    m_matrix = bakeAfter(m_matrix, [&](GraphicsKernel& k) {
        k.translate(px, py);
        k.scale(sx, sy);
        k.translate(-px, -py);
    });
    m_boxValid = false;
}

void DrawObject::rotate(float px, float py, float degrees)
{
    m_matrix = bakeAfter(m_matrix, [&](GraphicsKernel& k) {
        k.translate(px, py);
        k.rotate(degrees);
        k.translate(-px, -py);
    });
    m_boxValid = false;
}

void DrawObject::reflect(float px, float py, float degrees)
{
    m_matrix = bakeAfter(m_matrix, [&](GraphicsKernel& k) {
        k.translate(px, py);
        k.rotate(degrees);
        k.scale(1, -1);
        k.rotate(-degrees);
        k.translate(-px, -py);
    });
    m_boxValid = false;
}

void DrawObject::skew(float px, float py, float kx, float ky)
{
    m_matrix = bakeAfter(m_matrix, [&](GraphicsKernel& k) {
        k.translate(px, py);
        k.concat(Matrix { 1, kx, ky, 1, 0, 0 });
        k.translate(-px, -py);
    });
    m_boxValid = false;
}

bool DrawObject::nearestOutlinePoint(Point& point, float tolerance, float& distanceSquared) const
{
    const Rect box = boundingBox();
    if (point.x < box.left - tolerance || point.x > box.right + tolerance || point.y < box.bottom - tolerance
        || point.y > box.top + tolerance)
        return false;
    GraphicsKernel& k = kernel();
    Point device = k.transform(point);
    PathScope scope;
    buildOutline();
    float found = 0;
    if (!k.nearestPointOnPath(device, tolerance, found))
        return false;
    point = k.itransform(device);
    distanceSquared = found;
    return true;
}

Rect growByStroke(const Rect& box, const PaintStyle& style)
{
    if (box.isUncomputed())
        return box;
    const float grow = style.dashIndex() != kSolidDash ? 1.0f : std::trunc(style.lineWidth() / 2 + 0.5f);
    return { box.left - grow, box.bottom - grow, box.right + grow, box.top + grow };
}

Rect unionRect(const Rect& a, const Rect& b)
{
    if (a.isUncomputed())
        return b;
    if (b.isUncomputed())
        return a;
    return { std::min(a.left, b.left), std::min(a.bottom, b.bottom), std::max(a.right, b.right),
        std::max(a.top, b.top) };
}

} // namespace zavora
