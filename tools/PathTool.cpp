#include "tools/PathTool.h"

#include "model/Drawing.h"
#include "model/PathObjects.h"
#include "model/UndoCommand.h"
#include "platform/Reporter.h"

#include <cmath>

namespace zavora {

namespace {

CurveObject& curveOf(DrawObject& object)
{
    return static_cast<CurveObject&>(object);
}
const CurveObject& curveOf(const DrawObject& object)
{
    return static_cast<const CurveObject&>(object);
}
PolygonObject& polygonOf(DrawObject& object)
{
    return static_cast<PolygonObject&>(object);
}
const PolygonObject& polygonOf(const DrawObject& object)
{
    return static_cast<const PolygonObject&>(object);
}

// A smooth node keeps its control points on one line through the anchor:
// the one not dragged turns to the opposite side at its own distance.
void mirrorControl(float ax, float ay, float draggedX, float draggedY, float& otherX, float& otherY)
{
    const double d = std::hypot(double(otherX) - ax, double(otherY) - ay);
    const double a = draggedX == ax && draggedY == ay ? 0 : std::atan2(double(draggedY) - ay, double(draggedX) - ax);
    otherX = float(ax - std::cos(a) * d);
    otherY = float(ay - std::sin(a) * d);
}

void moveNode(BezierNode& node, Point to)
{
    const float dx = to.x - node.x, dy = to.y - node.y;
    node.x = to.x;
    node.y = to.y;
    node.inX += dx;
    node.inY += dy;
    node.outX += dx;
    node.outY += dy;
}

} // namespace

// --- the family ------------------------------------------------------------

bool PathTool::endsOnStart(const DrawObject& path) const
{
    const std::size_t n = pointCount(path);
    if (n < 2)
        return false;
    const float t = pixels(4);
    const Point first = pointAt(path, 0), last = pointAt(path, n - 1);
    return std::fabs(last.x - first.x) <= t && std::fabs(last.y - first.y) <= t;
}

bool PathTool::degenerate(const DrawObject& object) const
{
    // Fewer than two distinct points draw nothing.
    const std::size_t n = pointCount(object);
    for (std::size_t i = 1; i < n; ++i)
        if (!(pointAt(object, i) == pointAt(object, 0)))
            return false;
    return true;
}

void PathTool::mouseDown(float x, float y, bool shift)
{
    if (m_state != Sweeping || !m_creating) {
        ShapeTool::mouseDown(x, y, shift);
        return;
    }
    eraseFeedback();
    DrawObject& path = *m_creating;
    // A first click without a drag left its second point on the first.
    if (pointCount(path) == 2 && pointAt(path, 0) == pointAt(path, 1))
        dropLastPoint(path);
    appendPoint(path, snap({ x, y }));
    m_view.setCursorShape(kCursorGesture);
    setStatus("%s: Drag to adjust", m_name);
    mouseDrag(x, y, shift);
}

void PathTool::mouseUp(float x, float y, bool shift)
{
    if (m_state == Creating)
        m_state = Sweeping;
    if (m_state == Sweeping) {
        m_view.setCursorShape(kCursorCreate);
        setStatus("%s: Click next point (double click to end)", m_name);
        return;
    }
    ShapeTool::mouseUp(x, y, shift);
}

void PathTool::finishPath()
{
    if (!m_creating)
        return;
    // Off the screen before the shape changes under it.
    eraseFeedback();
    if (endsOnStart(*m_creating) && !closeOntoStart(*m_creating)) {
        showFeedback();
        return;
    }
    finishCreating();
}

void PathTool::doubleClick(float, float, bool)
{
    // The first click of the double click has placed the last point.
    if (m_state == Sweeping)
        finishPath();
}

void PathTool::deactivate()
{
    // Points placed so far make the path; one still being dragged out of its
    // first press does not.
    if (m_state == Sweeping && m_creating && pointCount(*m_creating) >= 2)
        finishPath();
    ShapeTool::deactivate();
}

bool PathTool::applyNodeChoice(NodeChoice choice, float x, float y)
{
    if (!m_object || m_state != Attached || choice == NodeChoice::None)
        return false;
    DrawObject& path = *m_object;
    const std::unique_ptr<DrawObject> before = path.clone();
    const Rect boxBefore = path.boundingBox(true);
    if (!changeNodes(path, choice, x, y))
        return false;
    path.invalidateBox();
    Drawing& d = drawing();
    if (auto command = makeShapeEditCommand(d, path, *before))
        d.history().push(std::move(command));
    d.markEdited();
    m_view.repaintArea(unionRect(boxBefore, path.boundingBox(true)), 2);
    return true;
}

// --- curve -----------------------------------------------------------------

std::unique_ptr<DrawObject> CurveTool::create(Point p) const
{
    return std::make_unique<CurveObject>(NodeList { makeNode(p.x, p.y), makeNode(p.x, p.y) }, false);
}

void CurveTool::dragCreate(DrawObject& object, Point p, bool) const
{
    auto& curve = curveOf(object);
    NodeList nodes = curve.nodes();
    nodes.back().x = p.x;
    nodes.back().y = p.y;
    smoothNodes(nodes, curve.isClosed());
    curve.setNodes(std::move(nodes), curve.isClosed());
}

std::vector<Point> CurveTool::handles(const DrawObject& object) const
{
    std::vector<Point> points;
    for (const BezierNode& node : curveOf(object).nodes()) {
        points.push_back({ node.x, node.y });
        points.push_back({ node.inX, node.inY });
        points.push_back({ node.outX, node.outY });
    }
    return points;
}

int CurveTool::hitHandle(float x, float y)
{
    if (!m_object || (m_state != Attached && m_state != Dragging))
        return -1;
    const auto& curve = curveOf(*m_object);
    const NodeList& nodes = curve.nodes();
    const Point pointer = m_view.toWindow(x, y);
    for (std::size_t i = 0; i < nodes.size(); ++i) {
        const BezierNode& node = nodes[i];
        // An open curve's outer end controls are not part of it and not shown.
        if ((curve.isClosed() || i > 0) && onHandle(pointer, curve, { node.inX, node.inY }))
            return int(3 * i + 1);
        if ((curve.isClosed() || i + 1 < nodes.size()) && onHandle(pointer, curve, { node.outX, node.outY }))
            return int(3 * i + 2);
        if (onHandle(pointer, curve, { node.x, node.y }))
            return int(3 * i);
    }
    return -1;
}

void CurveTool::dragHandle(DrawObject& object, int handle, Point o, bool) const
{
    auto& curve = curveOf(object);
    NodeList nodes = curve.nodes();
    if (handle < 0 || std::size_t(handle / 3) >= nodes.size())
        return;
    BezierNode& node = nodes[std::size_t(handle / 3)];
    const bool smooth = !(node.flags & kCornerNode);
    switch (handle % 3) {
    case 0:
        moveNode(node, o);
        break;
    case 1:
        node.inX = o.x;
        node.inY = o.y;
        if (smooth)
            mirrorControl(node.x, node.y, o.x, o.y, node.outX, node.outY);
        break;
    default:
        node.outX = o.x;
        node.outY = o.y;
        if (smooth)
            mirrorControl(node.x, node.y, o.x, o.y, node.inX, node.inY);
        break;
    }
    curve.setNodes(std::move(nodes), curve.isClosed());
}

void CurveTool::snapToObjects(DrawObject& object)
{
    auto& curve = curveOf(object);
    if (curve.isClosed() || curve.nodes().empty())
        return;
    NodeList nodes = curve.nodes();
    // The ends are placed before the path joins the drawing: it cannot snap to itself.
    for (BezierNode* end : { &nodes.front(), &nodes.back() })
        moveNode(*end, objectSnapped({ end->x, end->y }));
    curve.setNodes(std::move(nodes), false);
}

std::size_t CurveTool::pointCount(const DrawObject& path) const
{
    return curveOf(path).nodes().size();
}

Point CurveTool::pointAt(const DrawObject& path, std::size_t index) const
{
    const BezierNode& node = curveOf(path).nodes()[index];
    return { node.x, node.y };
}

void CurveTool::appendPoint(DrawObject& path, Point p) const
{
    auto& curve = curveOf(path);
    NodeList nodes = curve.nodes();
    nodes.push_back(makeNode(p.x, p.y));
    curve.setNodes(std::move(nodes), curve.isClosed());
}

void CurveTool::dropLastPoint(DrawObject& path) const
{
    auto& curve = curveOf(path);
    curve.removeNode(curve.nodes().size() - 1);
}

bool CurveTool::closeOntoStart(DrawObject& path) const
{
    auto& curve = curveOf(path);
    // A two-node curve would close onto itself: the path goes on.
    if (curve.nodes().size() == 2)
        return false;
    dropLastPoint(curve);
    curve.setClosed(true);
    curve.smooth();
    return true;
}

NodeMenuState CurveTool::nodeMenuState(float x, float y)
{
    NodeMenuState state;
    if (!m_object)
        return state;
    const auto& curve = curveOf(*m_object);
    state.insertEnabled = state.closeEnabled = true;
    state.closeChecked = curve.isClosed();
    const int handle = hitHandle(x, y);
    if (handle >= 0) {
        state.deleteEnabled = state.cornerEnabled = true;
        state.cornerChecked = curve.nodes()[std::size_t(handle / 3)].flags & kCornerNode;
    }
    return state;
}

bool CurveTool::changeNodes(DrawObject& path, NodeChoice choice, float x, float y)
{
    auto& curve = curveOf(path);
    const int handle = hitHandle(x, y);
    switch (choice) {
    case NodeChoice::Insert:
        return curve.insertNodeNear(x, y, pixels(2));
    case NodeChoice::Delete:
        // Only an anchor is a node to delete, and a curve keeps two.
        return handle >= 0 && handle % 3 == 0 && curve.nodes().size() > 2 && curve.removeNode(std::size_t(handle / 3));
    case NodeChoice::Corner: {
        if (handle < 0)
            return false;
        NodeList nodes = curve.nodes();
        nodes[std::size_t(handle / 3)].flags ^= kCornerNode;
        curve.setNodes(std::move(nodes), curve.isClosed());
        return true;
    }
    case NodeChoice::Close:
        curve.setClosed(!curve.isClosed());
        return true;
    case NodeChoice::None:
        break;
    }
    return false;
}

// --- polygon ---------------------------------------------------------------

std::unique_ptr<DrawObject> PolygonTool::create(Point p) const
{
    return std::make_unique<PolygonObject>(PointList { p, p }, false);
}

void PolygonTool::dragCreate(DrawObject& object, Point p, bool) const
{
    auto& polygon = polygonOf(object);
    PointList points = polygon.vertices();
    points.back() = p;
    polygon.setVertices(std::move(points), polygon.isClosed());
}

std::vector<Point> PolygonTool::handles(const DrawObject& object) const
{
    return polygonOf(object).vertices();
}

void PolygonTool::dragHandle(DrawObject& object, int handle, Point o, bool) const
{
    auto& polygon = polygonOf(object);
    PointList points = polygon.vertices();
    if (handle < 0 || std::size_t(handle) >= points.size())
        return;
    points[std::size_t(handle)] = o;
    polygon.setVertices(std::move(points), polygon.isClosed());
}

void PolygonTool::snapToObjects(DrawObject& object)
{
    auto& polygon = polygonOf(object);
    PointList points = polygon.vertices();
    for (Point& p : points)
        p = objectSnapped(p);
    polygon.setVertices(std::move(points), polygon.isClosed());
}

std::size_t PolygonTool::pointCount(const DrawObject& path) const
{
    return polygonOf(path).vertices().size();
}

Point PolygonTool::pointAt(const DrawObject& path, std::size_t index) const
{
    return polygonOf(path).vertices()[index];
}

void PolygonTool::appendPoint(DrawObject& path, Point p) const
{
    auto& polygon = polygonOf(path);
    PointList points = polygon.vertices();
    points.push_back(p);
    polygon.setVertices(std::move(points), polygon.isClosed());
}

void PolygonTool::dropLastPoint(DrawObject& path) const
{
    auto& polygon = polygonOf(path);
    polygon.removeVertex(polygon.vertices().size() - 1);
}

bool PolygonTool::closeOntoStart(DrawObject& path) const
{
    dropLastPoint(path);
    polygonOf(path).setClosed(true);
    return true;
}

NodeMenuState PolygonTool::nodeMenuState(float x, float y)
{
    NodeMenuState state;
    if (!m_object)
        return state;
    state.insertEnabled = state.closeEnabled = true;
    state.closeChecked = polygonOf(*m_object).isClosed();
    state.deleteEnabled = hitHandle(x, y) >= 0;
    return state;
}

bool PolygonTool::changeNodes(DrawObject& path, NodeChoice choice, float x, float y)
{
    auto& polygon = polygonOf(path);
    switch (choice) {
    case NodeChoice::Insert:
        return polygon.insertVertexNear(x, y, pixels(2));
    case NodeChoice::Delete: {
        const int handle = hitHandle(x, y);
        return handle >= 0 && polygon.vertices().size() > 2 && polygon.removeVertex(std::size_t(handle));
    }
    case NodeChoice::Close:
        polygon.setClosed(!polygon.isClosed());
        return true;
    case NodeChoice::Corner:
    case NodeChoice::None:
        break;
    }
    return false;
}

} // namespace zavora
