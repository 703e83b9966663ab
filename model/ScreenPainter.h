#pragma once
// What a drawing object needs from the screen to draw itself: painting the
// geometry kernel's current path in the colours, width, pattern and dash that
// the object has loaded into the kernel's graphics state. The screen canvas
// (raster layer) implements it; the kernel's CTM maps drawing space to pixels.

#include "model/Geometry.h"

#include <functional>

namespace zavora {

class DrawObject;
struct Color;
class ImageObject;
class TextCanvas;
struct OutlineEnds;

class ScreenPainter {
public:
    virtual ~ScreenPainter() = default;

    // Each of these paints the kernel's current path and consumes it.
    // Even-odd, in the kernel colour with the kernel's hatch pattern in black over it.
    virtual void fillPath() = 0;
    // Kernel colour, line width (device units) and dash.
    virtual void strokePath() = 0;
    // fillPath then strokePath in `strokeColor`, on one reading of the path.
    // Painters that cannot return false and leave the path in place.
    virtual bool fillAndStrokePath(const Color& strokeColor)
    {
        (void)strokeColor;
        return false;
    }
    // An arrowhead of the given code at tip, pointing away from previous,
    // scaled by `scale`, filled in the kernel colour. Points are in the
    // kernel's user space (the object's space once its matrix is concatenated),
    // so arrowheads follow the object's matrix as in every other output.
    virtual void arrowhead(int code, Point tip, Point previous, float scale) = 0;
    // The image's pixels on its unit square, through its matrix and the CTM.
    // Painters that keep no pixels leave it out.
    virtual void image(const ImageObject& image) { (void)image; }
    // Runs `paint` with a text canvas whose outer space is the kernel's user
    // space (the CTM maps it to pixels). Painters without text leave it out.
    virtual void paintText(const std::function<void(TextCanvas&)>& paint) { (void)paint; }
};

// The screen drawing the objects share. In kDrawFinal the object's outline is
// filled (when fill is on) and then stroked (when stroke is on) by its style;
// in any other mode it is stroked one pixel wide, for rubber bands.
void paintOutline(ScreenPainter& painter, const DrawObject& object, int mode);
// The arrowheads of an open outline (object space), in the line colour,
// sized by arrowheadScale(style); ends without a code are left out.
void paintArrowheads(ScreenPainter& painter, const DrawObject& object, const OutlineEnds& ends);

} // namespace zavora
