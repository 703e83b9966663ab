#include "model/ObjectList.h"

#include "model/GroupObject.h"
#include "model/PathObjects.h"

namespace zavora {

namespace {

DrawObject* ptr(const std::unique_ptr<DrawObject>& p)
{
    return p.get();
}
DrawObject* ptr(DrawObject* p)
{
    return p;
}

template <class List>
const DrawObject* nearestIn(const List& list, Point& point, float tolerance, float& distanceSquared)
{
    const DrawObject* best = nullptr;
    Point bestPoint = point;
    float bestDistance = 0;
    for (const auto& item : list) {
        Point p = point;
        float d = 0;
        if (!ptr(item)->nearestOutlinePoint(p, tolerance, d))
            continue;
        if (!best || d < bestDistance) {
            best = ptr(item);
            bestPoint = p;
            bestDistance = d;
        }
    }
    if (best) {
        point = bestPoint;
        distanceSquared = bestDistance;
    }
    return best;
}

template <class List> Rect unionOf(const List& list, bool includeStroke)
{
    Rect box;
    for (const auto& item : list)
        box = unionRect(box, ptr(item)->boundingBox(includeStroke));
    return box;
}

} // namespace

bool anyContainsPoint(const OwnedObjects& list, float x, float y)
{
    for (const auto& o : list)
        if (o->containsPoint(x, y))
            return true;
    return false;
}

bool anyTouchesRect(const OwnedObjects& list, float x1, float y1, float x2, float y2)
{
    for (const auto& o : list)
        if (o->touchesRect(x1, y1, x2, y2))
            return true;
    return false;
}

const DrawObject* nearestOutlinePointIn(
    const OwnedObjects& list, Point& point, float tolerance, float& distanceSquared)
{
    return nearestIn(list, point, tolerance, distanceSquared);
}

const DrawObject* nearestOutlinePointIn(
    const ObjectRefs& list, Point& point, float tolerance, float& distanceSquared)
{
    return nearestIn(list, point, tolerance, distanceSquared);
}

Rect unionBox(const OwnedObjects& list, bool includeStroke)
{
    return unionOf(list, includeStroke);
}

Rect unionBox(const ObjectRefs& list, bool includeStroke)
{
    return unionOf(list, includeStroke);
}

std::size_t deepCount(const OwnedObjects& list)
{
    std::size_t count = 0;
    for (const auto& o : list) {
        ++count;
        if (const OwnedObjects* children = childrenOf(*o))
            count += deepCount(*children);
    }
    return count;
}

const OwnedObjects* childrenOf(const DrawObject& object)
{
    switch (object.type()) {
    case ObjectType::Group:
        return &static_cast<const GroupObject&>(object).children();
    case ObjectType::CompoundPath:
        return &static_cast<const CompoundPathObject&>(object).children();
    default:
        return nullptr;
    }
}

ObjectRefs refsOf(const OwnedObjects& list)
{
    ObjectRefs refs;
    refs.reserve(list.size());
    for (const auto& object : list)
        refs.push_back(object.get());
    return refs;
}

bool boxesIntersect(const Rect& a, const Rect& b)
{
    if (a.isUncomputed() || b.isUncomputed())
        return false;
    return a.left <= b.right && b.left <= a.right && a.bottom <= b.top && b.bottom <= a.top;
}

} // namespace zavora
