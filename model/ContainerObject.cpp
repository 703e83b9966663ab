#include "model/ContainerObject.h"

#include "model/OutputPort.h"

#include <utility>

namespace zavora {

ContainerObject::ContainerObject(const ContainerObject& other)
    : DrawObject(other)
{
    m_children.reserve(other.m_children.size());
    for (const auto& child : other.m_children)
        m_children.push_back(child->clone());
}

template <class F> void ContainerObject::forEachChild(F f)
{
    for (auto& child : m_children)
        f(*child);
}

void ContainerObject::buildOutline() const
{
    for (const auto& child : m_children)
        child->buildOutline();
}

std::vector<Point> ContainerObject::handlePoints() const
{
    std::vector<Point> out;
    for (const auto& child : m_children) {
        std::vector<Point> points = child->handlePoints();
        out.insert(out.end(), points.begin(), points.end());
    }
    return out;
}

Rect ContainerObject::boundingBox(bool includeStroke) const
{
    Rect box;
    for (const auto& child : m_children)
        box = unionRect(box, child->boundingBox(includeStroke));
    return box;
}

void ContainerObject::emitChildren(OutputPort& port) const
{
    for (const auto& child : m_children) {
        const auto& url = child->url();
        if (url)
            port.beginLink(*url);
        child->emit(port);
        if (url)
            port.endLink(*url);
    }
}

void ContainerObject::setStyle(const PaintStyle& style)
{
    DrawObject::setStyle(style);
    forEachChild([&](DrawObject& c) { c.setStyle(style); });
}

PaintStyle ContainerObject::style() const
{
    return m_children.empty() ? DrawObject::style() : m_children.front()->style();
}

void ContainerObject::setFillPattern(int pattern)
{
    DrawObject::setFillPattern(pattern);
    forEachChild([&](DrawObject& c) { c.setFillPattern(pattern); });
}

void ContainerObject::setDash(int dashIndex)
{
    DrawObject::setDash(dashIndex);
    forEachChild([&](DrawObject& c) { c.setDash(dashIndex); });
}

void ContainerObject::setLineWidth(float width)
{
    DrawObject::setLineWidth(width);
    forEachChild([&](DrawObject& c) { c.setLineWidth(width); });
}

void ContainerObject::setFillColor(const Color& color)
{
    DrawObject::setFillColor(color);
    forEachChild([&](DrawObject& c) { c.setFillColor(color); });
}

void ContainerObject::setTextColor(const Color& color)
{
    DrawObject::setTextColor(color);
    forEachChild([&](DrawObject& c) { c.setTextColor(color); });
}

void ContainerObject::setLineColor(const Color& color)
{
    DrawObject::setLineColor(color);
    forEachChild([&](DrawObject& c) { c.setLineColor(color); });
}

void ContainerObject::setFillTransparent()
{
    DrawObject::setFillTransparent();
    forEachChild([&](DrawObject& c) { c.setFillTransparent(); });
}

void ContainerObject::setLineInvisible()
{
    DrawObject::setLineInvisible();
    forEachChild([&](DrawObject& c) { c.setLineInvisible(); });
}

void ContainerObject::setArrows(int first, int second)
{
    DrawObject::setArrows(first, second);
    forEachChild([&](DrawObject& c) { c.setArrows(first, second); });
}

std::pair<int, int> ContainerObject::arrows() const
{
    return m_children.empty() ? DrawObject::arrows() : m_children.front()->arrows();
}

void ContainerObject::translate(float dx, float dy)
{
    forEachChild([&](DrawObject& c) { c.translate(dx, dy); });
}

void ContainerObject::scale(float px, float py, float sx, float sy)
{
    forEachChild([&](DrawObject& c) { c.scale(px, py, sx, sy); });
}

void ContainerObject::rotate(float px, float py, float degrees)
{
    forEachChild([&](DrawObject& c) { c.rotate(px, py, degrees); });
}

void ContainerObject::reflect(float px, float py, float degrees)
{
    forEachChild([&](DrawObject& c) { c.reflect(px, py, degrees); });
}

void ContainerObject::skew(float px, float py, float kx, float ky)
{
    forEachChild([&](DrawObject& c) { c.skew(px, py, kx, ky); });
}

void ContainerObject::appendChild(std::unique_ptr<DrawObject> child)
{
    if (child)
        m_children.push_back(std::move(child));
}

std::vector<std::unique_ptr<DrawObject>> ContainerObject::takeChildren()
{
    return std::exchange(m_children, {});
}

} // namespace zavora
