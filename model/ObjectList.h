#pragma once
// Queries over a list of objects, shared by the drawing and the containers
// (groups and compound paths test their members with them). They accept an
// owning list or a list of plain pointers.

#include "model/DrawObject.h"

#include <cstddef>
#include <memory>
#include <vector>

namespace zavora {

using OwnedObjects = std::vector<std::unique_ptr<DrawObject>>;
using ObjectRefs = std::vector<DrawObject*>;

bool anyContainsPoint(const OwnedObjects& list, float x, float y);
// Corners in any order.
bool anyTouchesRect(const OwnedObjects& list, float x1, float y1, float x2, float y2);

// Asks every object in turn for its nearest outline point within tolerance
// and keeps the nearest (the first on ties). Returns the object that gave it,
// or nullptr, leaving point and distanceSquared untouched.
const DrawObject* nearestOutlinePointIn(
    const OwnedObjects& list, Point& point, float tolerance, float& distanceSquared);
const DrawObject* nearestOutlinePointIn(
    const ObjectRefs& list, Point& point, float tolerance, float& distanceSquared);

// (-1, -1, -1, -1) for an empty list.
Rect unionBox(const OwnedObjects& list, bool includeStroke = false);
Rect unionBox(const ObjectRefs& list, bool includeStroke = false);

// Every object, containers and their members at any depth.
std::size_t deepCount(const OwnedObjects& list);
// The members of a group or compound path, else nullptr.
const OwnedObjects* childrenOf(const DrawObject& object);

// The objects of an owning list as plain pointers, in the same order.
ObjectRefs refsOf(const OwnedObjects& list);

// Whether two boxes overlap, edges included; an uncomputed box overlaps nothing.
bool boxesIntersect(const Rect& a, const Rect& b);

} // namespace zavora
