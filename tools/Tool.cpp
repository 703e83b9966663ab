#include "tools/Tool.h"

#include "model/Drawing.h"
#include "model/TextObject.h"
#include "raster/ScreenCanvas.h"
#include "tools/ToolView.h"

#include <algorithm>

namespace zavora {

void Tool::attach(DrawObject&)
{ }
void Tool::activate()
{ }
int Tool::hitHandle(float, float)
{
    return -1;
}
void Tool::deactivate()
{ }
void Tool::keyDown(int, bool)
{ }
void Tool::doubleClick(float, float, bool)
{ }
void Tool::rightClick(float, float, bool)
{ }
void Tool::repaintFeedback()
{ }
void Tool::drawOverlay()
{ }

NewTextFont ToolView::newTextFont() const
{
    return { defaultTextFont(), 24 };
}

void moveBoxCorner(Point& c1, Point& c2, int handle, Point o)
{
    switch (handle) {
    case 0:
        c1 = o;
        break;
    case 1:
        c2.x = o.x;
        c1.y = o.y;
        break;
    case 2:
        c2 = o;
        break;
    case 3:
        c1.x = o.x;
        c2.y = o.y;
        break;
    default:
        break;
    }
}

Drawing& Tool::drawing()
{
    return m_view.drawing();
}

Point Tool::snap(Point p)
{
    return snapToGrid(p, m_view.drawing().grid());
}

const KMatrix& Tool::viewMatrix()
{
    return m_view.canvas().viewMatrix();
}

float Tool::pixels(float count) const
{
    const Point d = m_view.pixelsToDrawing(count, count);
    return std::max(d.x, d.y);
}

} // namespace zavora
