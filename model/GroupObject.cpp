#include "model/GroupObject.h"

#include "model/ObjectList.h"
#include "model/OutputPort.h"

#include <utility>

namespace zavora {

GroupObject::GroupObject(const GroupObject& other)
    : DrawObject(other)
{
    m_children.reserve(other.m_children.size());
    for (const auto& child : other.m_children)
        m_children.push_back(child->clone());
}

template <class F> void GroupObject::forEachChild(F f)
{
    for (auto& child : m_children)
        f(*child);
}

void GroupObject::buildOutline() const
{
    for (const auto& child : m_children)
        child->buildOutline();
}

std::vector<Point> GroupObject::handlePoints() const
{
    std::vector<Point> out;
    for (const auto& child : m_children) {
        std::vector<Point> points = child->handlePoints();
        out.insert(out.end(), points.begin(), points.end());
    }
    return out;
}

void GroupObject::drawOnScreen(ScreenPainter& painter, int mode) const
{
    for (const auto& child : m_children)
        child->drawOnScreen(painter, mode);
}

void GroupObject::emit(OutputPort& port) const
{
    port.beginGroup();
    for (const auto& child : m_children) {
        const auto& url = child->url();
        if (url)
            port.beginLink(*url);
        child->emit(port);
        if (url)
            port.endLink(*url);
    }
    port.endGroup();
}

std::unique_ptr<DrawObject> GroupObject::clone() const
{
    return std::make_unique<GroupObject>(*this);
}

Rect GroupObject::boundingBox(bool includeStroke) const
{
    return unionBox(m_children, includeStroke);
}

bool GroupObject::touchesRect(float x1, float y1, float x2, float y2) const
{
    return anyTouchesRect(m_children, x1, y1, x2, y2);
}

bool GroupObject::containsPoint(float x, float y) const
{
    return anyContainsPoint(m_children, x, y);
}

bool GroupObject::nearestOutlinePoint(Point&, float, float&) const
{
    return false;
}

void GroupObject::setStyle(const PaintStyle& style)
{
    DrawObject::setStyle(style);
    forEachChild([&](DrawObject& c) { c.setStyle(style); });
}

void GroupObject::setFillPattern(int pattern)
{
    DrawObject::setFillPattern(pattern);
    forEachChild([&](DrawObject& c) { c.setFillPattern(pattern); });
}

void GroupObject::setDash(int dashIndex)
{
    DrawObject::setDash(dashIndex);
    forEachChild([&](DrawObject& c) { c.setDash(dashIndex); });
}

void GroupObject::setLineWidth(float width)
{
    DrawObject::setLineWidth(width);
    forEachChild([&](DrawObject& c) { c.setLineWidth(width); });
}

void GroupObject::setFillColor(const Color& color)
{
    DrawObject::setFillColor(color);
    forEachChild([&](DrawObject& c) { c.setFillColor(color); });
}

void GroupObject::setTextColor(const Color& color)
{
    DrawObject::setTextColor(color);
    forEachChild([&](DrawObject& c) { c.setTextColor(color); });
}

void GroupObject::setLineColor(const Color& color)
{
    DrawObject::setLineColor(color);
    forEachChild([&](DrawObject& c) { c.setLineColor(color); });
}

void GroupObject::setFillTransparent()
{
    DrawObject::setFillTransparent();
    forEachChild([&](DrawObject& c) { c.setFillTransparent(); });
}

void GroupObject::setLineInvisible()
{
    DrawObject::setLineInvisible();
    forEachChild([&](DrawObject& c) { c.setLineInvisible(); });
}

void GroupObject::setArrows(int first, int second)
{
    DrawObject::setArrows(first, second);
    forEachChild([&](DrawObject& c) { c.setArrows(first, second); });
}

void GroupObject::translate(float dx, float dy)
{
    forEachChild([&](DrawObject& c) { c.translate(dx, dy); });
}

void GroupObject::scale(float px, float py, float sx, float sy)
{
    forEachChild([&](DrawObject& c) { c.scale(px, py, sx, sy); });
}

void GroupObject::rotate(float px, float py, float degrees)
{
    forEachChild([&](DrawObject& c) { c.rotate(px, py, degrees); });
}

void GroupObject::reflect(float px, float py, float degrees)
{
    forEachChild([&](DrawObject& c) { c.reflect(px, py, degrees); });
}

void GroupObject::skew(float px, float py, float kx, float ky)
{
    forEachChild([&](DrawObject& c) { c.skew(px, py, kx, ky); });
}

void GroupObject::appendChild(std::unique_ptr<DrawObject> child)
{
    if (child)
        m_children.push_back(std::move(child));
}

std::vector<std::unique_ptr<DrawObject>> GroupObject::takeChildren()
{
    return std::exchange(m_children, {});
}

} // namespace zavora
