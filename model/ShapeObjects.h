#pragma once
// The basic shapes: a handful of object-space numbers from which the outline,
// handles, bounding box, hit tests and output are derived.

#include "model/DrawObject.h"

namespace zavora {

class LineObject : public DrawObject {
public:
    LineObject(float x1, float y1, float x2, float y2);
    LineObject(const LineObject& other) = default;

    ObjectType type() const override { return ObjectType::Line; }
    void buildOutline() const override;
    void drawOnScreen(ScreenPainter& painter, int mode) const override;
    std::vector<Point> handlePoints() const override;
    void emit(OutputPort& port) const override;
    std::unique_ptr<DrawObject> clone() const override;
    EditToolId editTool() const override { return EditToolId::Line; }
    // A line has no interior, even with fill on.
    bool containsPoint(float x, float y) const override;

    Point first() const { return { m_x1, m_y1 }; }
    Point second() const { return { m_x2, m_y2 }; }
    void setEnds(Point first, Point second);

protected:
    Rect computeBox() const override;

private:
    float m_x1, m_y1, m_x2, m_y2;
};

// Two opposite corners in any order; the port receives them as stored.
class RectangleObject : public DrawObject {
public:
    RectangleObject(float x1, float y1, float x2, float y2);
    RectangleObject(const RectangleObject& other) = default;

    ObjectType type() const override { return ObjectType::Rectangle; }
    void buildOutline() const override;
    std::vector<Point> handlePoints() const override;
    void emit(OutputPort& port) const override;
    std::unique_ptr<DrawObject> clone() const override;
    EditToolId editTool() const override { return EditToolId::Rectangle; }

    Point corner1() const { return { m_x1, m_y1 }; }
    Point corner2() const { return { m_x2, m_y2 }; }
    void setCorners(Point corner1, Point corner2);

protected:
    Rect computeBox() const override;

private:
    float m_x1, m_y1, m_x2, m_y2;
};

// The corner radii are clamped to half the sides only when the outline is
// built, so enlarging the rectangle later brings the full radius back.
class RoundRectObject : public DrawObject {
public:
    RoundRectObject(float x1, float y1, float x2, float y2, float rx, float ry);
    RoundRectObject(const RoundRectObject& other) = default;

    ObjectType type() const override { return ObjectType::RoundRect; }
    void buildOutline() const override;
    std::vector<Point> handlePoints() const override;
    void emit(OutputPort& port) const override;
    std::unique_ptr<DrawObject> clone() const override;
    EditToolId editTool() const override { return EditToolId::RoundRect; }

    Point corner1() const { return { m_x1, m_y1 }; }
    Point corner2() const { return { m_x2, m_y2 }; }
    float rx() const { return m_rx; }
    float ry() const { return m_ry; }
    void setCorners(Point corner1, Point corner2);
    void setRadii(float rx, float ry);

private:
    float m_x1, m_y1, m_x2, m_y2, m_rx, m_ry;
};

class EllipseObject : public DrawObject {
public:
    EllipseObject(float cx, float cy, float rx, float ry);
    EllipseObject(const EllipseObject& other) = default;

    ObjectType type() const override { return ObjectType::Ellipse; }
    void buildOutline() const override;
    // On the ellipse at 45-degree parameter angles.
    std::vector<Point> handlePoints() const override;
    void emit(OutputPort& port) const override;
    std::unique_ptr<DrawObject> clone() const override;
    EditToolId editTool() const override { return EditToolId::Ellipse; }

    Point centre() const { return { m_cx, m_cy }; }
    float rx() const { return m_rx; }
    float ry() const { return m_ry; }
    void setGeometry(float cx, float cy, float rx, float ry);

private:
    float m_cx, m_cy, m_rx, m_ry;
};

// Open elliptic arc, counter-clockwise from start to end (degrees). Filled, it
// is the chord's area.
class ArcObject : public DrawObject {
public:
    ArcObject(float cx, float cy, float rx, float ry, float start, float end);
    ArcObject(const ArcObject& other) = default;

    ObjectType type() const override { return ObjectType::Arc; }
    void buildOutline() const override;
    void drawOnScreen(ScreenPainter& painter, int mode) const override;
    // The two end points.
    std::vector<Point> handlePoints() const override;
    void emit(OutputPort& port) const override;
    std::unique_ptr<DrawObject> clone() const override;
    EditToolId editTool() const override { return EditToolId::Arc; }

    Point centre() const { return { m_cx, m_cy }; }
    float rx() const { return m_rx; }
    float ry() const { return m_ry; }
    float startAngle() const { return m_start; }
    float endAngle() const { return m_end; }
    void setGeometry(float cx, float cy, float rx, float ry);
    void setAngles(float start, float end);

private:
    float m_cx, m_cy, m_rx, m_ry, m_start, m_end;
};

} // namespace zavora
