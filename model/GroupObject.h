#pragma once
// An ordered set of objects selected, styled and transformed as one. Every
// style setter, the arrowheads and every transform go to all members (nested
// groups pass them on), so the group's own style never matters for painting.

#include "model/DrawObject.h"

#include <memory>
#include <vector>

namespace zavora {

class GroupObject : public DrawObject {
public:
    GroupObject() = default;
    GroupObject(const GroupObject& other);

    ObjectType type() const override { return ObjectType::Group; }
    // All members' outlines.
    void buildOutline() const override;
    // Each member's handles.
    std::vector<Point> handlePoints() const override;
    // Every member, in order.
    void drawOnScreen(ScreenPainter& painter, int mode) const override;
    // beginGroup, each member (inside its own link bracket when it has a URL),
    // endGroup.
    void emit(OutputPort& port) const override;
    std::unique_ptr<DrawObject> clone() const override;
    EditToolId editTool() const override { return EditToolId::GroupEdit; }

    // Union of the members' boxes, each asked with the same flag.
    Rect boundingBox(bool includeStroke = false) const override;
    // Hit when any member is hit.
    bool touchesRect(float x1, float y1, float x2, float y2) const override;
    bool containsPoint(float x, float y) const override;
    // A group is not a snap target of its own.
    bool nearestOutlinePoint(Point& point, float tolerance, float& distanceSquared) const override;

    void setStyle(const PaintStyle& style) override;
    void setFillPattern(int pattern) override;
    void setDash(int dashIndex) override;
    void setLineWidth(float width) override;
    void setFillColor(const Color& color) override;
    void setTextColor(const Color& color) override;
    void setLineColor(const Color& color) override;
    void setFillTransparent() override;
    void setLineInvisible() override;
    void setArrows(int first, int second) override;

    void translate(float dx, float dy) override;
    void scale(float px, float py, float sx, float sy) override;
    void rotate(float px, float py, float degrees) override;
    void reflect(float px, float py, float degrees) override;
    void skew(float px, float py, float kx, float ky) override;

    const std::vector<std::unique_ptr<DrawObject>>& children() const { return m_children; }
    void appendChild(std::unique_ptr<DrawObject> child);
    // Detaches the members (Ungroup), leaving the group empty.
    std::vector<std::unique_ptr<DrawObject>> takeChildren();

private:
    template <class F> void forEachChild(F f);

    std::vector<std::unique_ptr<DrawObject>> m_children;
};

} // namespace zavora
