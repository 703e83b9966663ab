#pragma once
// What groups and compound paths share: an owned, ordered list of members
// that every style setter, the arrowheads and every transform reach. The
// container's style and arrowheads are those of its first member.

#include "model/DrawObject.h"

#include <memory>
#include <vector>

namespace zavora {

class ContainerObject : public DrawObject {
public:
    // All members' outlines.
    void buildOutline() const override;
    // Each member's handles.
    std::vector<Point> handlePoints() const override;
    // Union of the members' boxes, each asked with the same flag.
    Rect boundingBox(bool includeStroke = false) const override;

    void setStyle(const PaintStyle& style) override;
    // The first member's style (the container's own when it is empty).
    PaintStyle style() const override;
    void setFillPattern(int pattern) override;
    void setDash(int dashIndex) override;
    void setLineWidth(float width) override;
    void setFillColor(const Color& color) override;
    void setTextColor(const Color& color) override;
    void setLineColor(const Color& color) override;
    void setFillTransparent() override;
    void setLineInvisible() override;
    void setArrows(int first, int second) override;
    // The first member's codes.
    std::pair<int, int> arrows() const override;

    void translate(float dx, float dy) override;
    void scale(float px, float py, float sx, float sy) override;
    void rotate(float px, float py, float degrees) override;
    void reflect(float px, float py, float degrees) override;
    void skew(float px, float py, float kx, float ky) override;

    const std::vector<std::unique_ptr<DrawObject>>& children() const { return m_children; }
    void appendChild(std::unique_ptr<DrawObject> child);
    // Detaches the members (Ungroup, Release), leaving the container empty.
    std::vector<std::unique_ptr<DrawObject>> takeChildren();

protected:
    ContainerObject() = default;
    // Deep copy of the members.
    ContainerObject(const ContainerObject& other);

    // Each member through the port, inside its own link bracket when it has a URL.
    void emitChildren(OutputPort& port) const;

private:
    template <class F> void forEachChild(F f);

    std::vector<std::unique_ptr<DrawObject>> m_children;
};

} // namespace zavora
