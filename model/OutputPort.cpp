#include "model/OutputPort.h"

#include "model/OutlineGeometry.h"
#include "model/TextObject.h"

#include <algorithm>
#include <utility>

namespace zavora {

void OutputPort::ellipse(
    const PaintStyle& style, const Matrix& matrix, float cx, float cy, float rx, float ry)
{
    const float kx = float(kQuarterCircleKappa) * rx, ky = float(kQuarterCircleKappa) * ry;
    const float right = cx + rx, top = cy + ry, left = cx - rx, bottom = cy - ry;
    // Anchors at 0, 90, 180 and 270 degrees; the closing segment returns to the first.
    const NodeList nodes {
        { right, cy, right, cy - ky, right, cy + ky, 0 },
        { cx, top, cx + kx, top, cx - kx, top, 0 },
        { left, cy, left, cy + ky, left, cy - ky, 0 },
        { cx, bottom, cx - kx, bottom, cx + kx, bottom, 0 },
    };
    curvePath(style, matrix, nodes, true, kArrowNone, kArrowNone);
}

void OutputPort::arc(const PaintStyle& style, const Matrix& matrix, float cx, float cy, float rx, float ry,
    float start, float end, int arrow1, int arrow2)
{
    NodeList nodes;
    appendArcNodes(nodes, cx, cy, rx, ry, start, end);
    // An empty sweep has no outline; ports may rely on curvePath getting a segment.
    if (nodes.size() < 2)
        return;
    curvePath(style, matrix, nodes, false, arrow1, arrow2);
}

void OutputPort::line(const PaintStyle& style, const Matrix& matrix, float x1, float y1, float x2, float y2,
    int arrow1, int arrow2)
{
    polyline(style, matrix, { { x1, y1 }, { x2, y2 } }, false, arrow1, arrow2);
}

void OutputPort::textBlock(const TextObject& object)
{
    const Rect f = object.frameRect();
    const float box[4] = { f.left, f.bottom, f.right, f.top };
    text(object.style(), object.matrix(), object.text(), object.font(), object.size(), object.leading(),
        object.alignment(), box);
}

void OutputPort::rectangle(
    const PaintStyle& style, const Matrix& matrix, float x1, float y1, float x2, float y2)
{
    polyline(style, matrix, { { x1, y1 }, { x2, y1 }, { x2, y2 }, { x1, y2 } }, true, kArrowNone, kArrowNone);
}

void OutputPort::roundRectangle(
    const PaintStyle& style, const Matrix& matrix, float x1, float y1, float x2, float y2, float rx, float ry)
{
    if (x1 > x2)
        std::swap(x1, x2);
    if (y1 > y2)
        std::swap(y1, y2);
    rx = std::min(rx, (x2 - x1) / 2);
    ry = std::min(ry, (y2 - y1) / 2);
    // Written as "not both above 1" so that a NaN radius also takes the plain rectangle.
    if (!(rx > 1 && ry > 1)) {
        rectangle(style, matrix, x1, y1, x2, y2);
        return;
    }
    NodeList nodes;
    appendArcNodes(nodes, x1 + rx, y2 - ry, rx, ry, 90, 180);
    appendArcNodes(nodes, x1 + rx, y1 + ry, rx, ry, 180, 270);
    appendArcNodes(nodes, x2 - rx, y1 + ry, rx, ry, 270, 0);
    appendArcNodes(nodes, x2 - rx, y2 - ry, rx, ry, 0, 90);
    curvePath(style, matrix, nodes, true, kArrowNone, kArrowNone);
}

} // namespace zavora
