#pragma once
// Free-form outlines: polygons, Bezier curves and compound paths (several
// outlines painted as one even-odd area).

#include "model/ContainerObject.h"
#include "model/DrawObject.h"
#include "model/OutputPort.h"

namespace zavora {

// A node whose anchor and both control points are (x, y).
BezierNode makeNode(float x, float y, uint32_t flags = 0);

// Places every control point from the anchors alone (the curve tool while a
// curve is drawn). Does nothing for fewer than two nodes; flags are kept.
void smoothNodes(NodeList& nodes, bool closed);

// Straight segments through the vertices; a closed polygon's closing segment
// is implied, not stored.
class PolygonObject : public DrawObject {
public:
    PolygonObject(PointList vertices, bool closed);
    PolygonObject(const PolygonObject& other) = default;

    ObjectType type() const override { return ObjectType::Polygon; }
    void buildOutline() const override;
    void drawOnScreen(ScreenPainter& painter, int mode) const override;
    std::vector<Point> handlePoints() const override;
    // Arrow codes are passed as stored; ports draw them only on open outlines.
    void emit(OutputPort& port) const override;
    std::unique_ptr<DrawObject> clone() const override;
    EditToolId editTool() const override { return EditToolId::Polygon; }

    const PointList& vertices() const { return m_vertices; }
    bool isClosed() const { return m_closed; }
    void setVertices(PointList vertices, bool closed);
    void setClosed(bool closed);

    // False, changing nothing, when index is out of range.
    bool removeVertex(std::size_t index);
    // Inserts the projection of (x, y) onto the first segment (in vertex
    // order, the closing segment last) that passes within `tolerance` of it
    // in drawing space; false when none does.
    bool insertVertexNear(float x, float y, float tolerance);

protected:
    Rect computeBox() const override;

private:
    PointList m_vertices;
    bool m_closed;
};

// Cubic Bezier segments through the nodes' anchors.
class CurveObject : public DrawObject {
public:
    CurveObject(NodeList nodes, bool closed);
    CurveObject(const CurveObject& other) = default;

    ObjectType type() const override { return ObjectType::Curve; }
    void buildOutline() const override;
    void drawOnScreen(ScreenPainter& painter, int mode) const override;
    // Every anchor.
    std::vector<Point> handlePoints() const override;
    // Arrow codes are passed as stored; ports draw them only on open outlines.
    void emit(OutputPort& port) const override;
    std::unique_ptr<DrawObject> clone() const override;
    EditToolId editTool() const override { return EditToolId::Curve; }

    // Editing mode: anchors plus the control points of the outline, each
    // joined to its anchor by a thin line.
    void drawEditHandles(HandlePainter& painter) const;

    const NodeList& nodes() const { return m_nodes; }
    bool isClosed() const { return m_closed; }
    void setNodes(NodeList nodes, bool closed);
    void setClosed(bool closed);

    // False, changing nothing, when index is out of range.
    bool removeNode(std::size_t index);
    // Splits the first segment (node order, the closing segment last) that
    // passes within `tolerance` of (x, y) in drawing space at the point found
    // there, leaving the shape unchanged; false when none does.
    bool insertNodeNear(float x, float y, float tolerance);
    void smooth();

protected:
    // Anchors and controls, except the first incoming and last outgoing
    // control of an open curve (not part of its outline).
    Rect computeBox() const override;

private:
    NodeList m_nodes;
    bool m_closed;
};

// Member outlines painted together. Style, transform and arrow operations go
// to every member, so they always share one style and move together; the
// compound's own matrix stays as constructed.
class CompoundPathObject : public ContainerObject {
public:
    CompoundPathObject() = default;
    CompoundPathObject(const CompoundPathObject& other) = default;

    ObjectType type() const override { return ObjectType::CompoundPath; }
    void drawOnScreen(ScreenPainter& painter, int mode) const override;
    // beginCompoundPath, each member (inside its own link bracket when it has
    // a URL), endCompoundPath. The traversal walks members itself so that it
    // can check cancellation; this serves callers that emit one object.
    void emit(OutputPort& port) const override;
    std::unique_ptr<DrawObject> clone() const override;
    EditToolId editTool() const override { return EditToolId::CompoundPathEdit; }
};

} // namespace zavora
