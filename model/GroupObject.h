#pragma once
// An ordered set of objects selected, styled and transformed as one. Every
// style setter, the arrowheads and every transform go to all members (nested
// groups pass them on), so the group's own style never matters for painting.

#include "model/ContainerObject.h"

namespace zavora {

class GroupObject : public ContainerObject {
public:
    GroupObject() = default;
    GroupObject(const GroupObject& other) = default;

    ObjectType type() const override { return ObjectType::Group; }
    // Every member, in order.
    void drawOnScreen(ScreenPainter& painter, int mode) const override;
    // beginGroup, each member (inside its own link bracket when it has a URL),
    // endGroup.
    void emit(OutputPort& port) const override;
    std::unique_ptr<DrawObject> clone() const override;
    EditToolId editTool() const override { return EditToolId::GroupEdit; }

    // Hit when any member is hit.
    bool touchesRect(float x1, float y1, float x2, float y2) const override;
    bool containsPoint(float x, float y) const override;
    // A group is not a snap target of its own.
    bool nearestOutlinePoint(Point& point, float tolerance, float& distanceSquared) const override;
};

} // namespace zavora
