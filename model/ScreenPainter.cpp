#include "model/ScreenPainter.h"

#include "model/DrawObject.h"
#include "model/GraphicsKernel.h"
#include "model/OutlineGeometry.h"

namespace zavora {

namespace {

void setColor(GraphicsKernel& k, const Color& c)
{
    k.setColor(c.red / 100, c.green / 100, c.blue / 100);
}

} // namespace

void paintOutline(ScreenPainter& painter, const DrawObject& object, int mode)
{
    GraphicsKernel& k = kernel();
    StateSaver saver;
    const PaintStyle style = object.style();
    if (mode != kDrawFinal) {
        k.setLineWidth(0);
        k.setPen(kSolidDash);
        k.setFillPattern(kNoPattern);
        k.setGray(0);
        k.newpath();
        object.buildOutline();
        painter.strokePath();
        return;
    }
    k.setLineWidth(style.lineWidth());
    k.setPen(style.isDashed() ? style.dashIndex() : kSolidDash);
    k.setFillPattern(style.hasPattern() ? style.fillPattern() : kNoPattern);
    if (style.fillOn()) {
        setColor(k, style.fillColor());
        k.newpath();
        object.buildOutline();
        if (style.strokeOn() && painter.fillAndStrokePath(style.lineColor()))
            return;
        painter.fillPath();
    }
    if (style.strokeOn()) {
        setColor(k, style.lineColor());
        k.newpath();
        object.buildOutline();
        painter.strokePath();
    }
}

void paintArrowheads(ScreenPainter& painter, const DrawObject& object, const OutlineEnds& ends)
{
    const auto [first, second] = object.arrows();
    if (first == kArrowNone && second == kArrowNone)
        return;
    GraphicsKernel& k = kernel();
    StateSaver saver;
    const PaintStyle style = object.style();
    setColor(k, style.lineColor());
    k.concat(object.matrix());
    const float scale = arrowheadScale(style);
    if (first != kArrowNone)
        painter.arrowhead(first, ends.firstTip, ends.firstPrevious, scale);
    if (second != kArrowNone)
        painter.arrowhead(second, ends.lastTip, ends.lastPrevious, scale);
}

} // namespace zavora
