#pragma once
// Where an object's selection handles go: the screen canvas (raster layer)
// draws the marks; objects only say where they are, in drawing coordinates.

#include "model/Geometry.h"

namespace zavora {

class HandlePainter {
public:
    virtual ~HandlePainter() = default;

    virtual void mark(Point point) = 0;
    // A thin line from an anchor to one of its control points (curve editing).
    virtual void controlLine(Point anchor, Point control) = 0;
};

} // namespace zavora
