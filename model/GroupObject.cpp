#include "model/GroupObject.h"

#include "model/ObjectList.h"
#include "model/OutputPort.h"

namespace zavora {

void GroupObject::drawOnScreen(ScreenPainter& painter, int mode) const
{
    for (const auto& child : children())
        child->drawOnScreen(painter, mode);
}

void GroupObject::emit(OutputPort& port) const
{
    port.beginGroup();
    emitChildren(port);
    port.endGroup();
}

std::unique_ptr<DrawObject> GroupObject::clone() const
{
    return std::make_unique<GroupObject>(*this);
}

bool GroupObject::touchesRect(float x1, float y1, float x2, float y2) const
{
    return anyTouchesRect(children(), x1, y1, x2, y2);
}

bool GroupObject::containsPoint(float x, float y) const
{
    return anyContainsPoint(children(), x, y);
}

bool GroupObject::nearestOutlinePoint(Point&, float, float&) const
{
    return false;
}

} // namespace zavora
