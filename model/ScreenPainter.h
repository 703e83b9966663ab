#pragma once
// What a drawing object needs from the screen to draw itself: painting the
// geometry kernel's current path in the colours, width, pattern and dash that
// the object has loaded into the kernel's graphics state. The screen canvas
// (raster layer) implements it; the objects' screen-drawing bodies arrive with
// the screen-output work.

#include "model/Geometry.h"

namespace zavora {

class ScreenPainter {
public:
    virtual ~ScreenPainter() = default;

    // Each of these paints the kernel's current path and consumes it.
    virtual void fillPath() = 0; // even-odd, fill colour then pattern
    virtual void strokePath() = 0;
    // An arrowhead of the given code at tip, pointing away from previous,
    // scaled by the stroke width (drawing coordinates).
    virtual void arrowhead(int code, Point tip, Point previous, float scale) = 0;
};

} // namespace zavora
