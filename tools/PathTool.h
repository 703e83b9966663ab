#pragma once
// The curve and polygon tools. A path is drawn point by point: a press and
// drag places each point, a double click ends the path (closing it when it
// ends on its first point). Attached to an existing path, the same tool drags
// its points (and a curve's control points) and carries out the node menu.

#include "tools/ShapeTool.h"
#include "tools/ToolView.h"

#include <string>

namespace zavora {

class PathTool : public ShapeTool {
public:
    void deactivate() override;
    void mouseDown(float x, float y, bool shift) override;
    void mouseUp(float x, float y, bool shift) override;
    void doubleClick(float x, float y, bool shift) override;

    // What the node menu offers for the attached path, the pointer at (x, y).
    virtual NodeMenuState nodeMenuState(float x, float y) = 0;
    // Carries out a node menu choice on the attached path; a change is one
    // undo step. False when nothing changed.
    bool applyNodeChoice(NodeChoice choice, float x, float y);

protected:
    // name: "Curve"; the prompts begin with it.
    PathTool(ToolView& view, const char* name)
        : ShapeTool(view)
        , m_name(name)
        , m_firstPrompt(std::string(name) + ": Click first point and drag to second point")
        , m_pressPrompt(std::string(name) + ": Drag to second point")
    { }

    virtual std::size_t pointCount(const DrawObject& path) const = 0;
    virtual Point pointAt(const DrawObject& path, std::size_t index) const = 0;
    virtual void appendPoint(DrawObject& path, Point p) const = 0;
    virtual void dropLastPoint(DrawObject& path) const = 0;
    // Closes the path when its last point lies on its first; false when the
    // double click is to be ignored.
    virtual bool closeOntoStart(DrawObject& path) const = 0;
    // The node menu's change to the path; false when it changes nothing.
    virtual bool changeNodes(DrawObject& path, NodeChoice choice, float x, float y) = 0;
    const char* firstPrompt() const final { return m_firstPrompt.c_str(); }
    const char* pressPrompt() const final { return m_pressPrompt.c_str(); }

    // Whether the last point lies within 4 pixels of the first on both axes.
    bool endsOnStart(const DrawObject& path) const;
    bool degenerate(const DrawObject& object) const override;
    // A double click, or a tool change, while points are being placed.
    void finishPath();

private:
    const char* m_name;
    std::string m_firstPrompt, m_pressPrompt;
};

class CurveTool : public PathTool {
public:
    explicit CurveTool(ToolView& view)
        : PathTool(view, "Curve")
    { }

    // Node by node: the first control point, the second, then the anchor.
    int hitHandle(float x, float y) override;
    NodeMenuState nodeMenuState(float x, float y) override;

protected:
    std::unique_ptr<DrawObject> create(Point p) const override;
    void dragCreate(DrawObject& object, Point p, bool shift) const override;
    // Handle 3i is node i's anchor, 3i + 1 its first and 3i + 2 its second control point.
    std::vector<Point> handles(const DrawObject& object) const override;
    void dragHandle(DrawObject& object, int handle, Point o, bool shift) const override;
    void snapToObjects(DrawObject& object) override;
    std::size_t pointCount(const DrawObject& path) const override;
    Point pointAt(const DrawObject& path, std::size_t index) const override;
    void appendPoint(DrawObject& path, Point p) const override;
    void dropLastPoint(DrawObject& path) const override;
    bool closeOntoStart(DrawObject& path) const override;
    bool changeNodes(DrawObject& path, NodeChoice choice, float x, float y) override;
};

class PolygonTool : public PathTool {
public:
    explicit PolygonTool(ToolView& view)
        : PathTool(view, "Polygon")
    { }

    NodeMenuState nodeMenuState(float x, float y) override;

protected:
    std::unique_ptr<DrawObject> create(Point p) const override;
    void dragCreate(DrawObject& object, Point p, bool shift) const override;
    std::vector<Point> handles(const DrawObject& object) const override;
    void dragHandle(DrawObject& object, int handle, Point o, bool shift) const override;
    void snapToObjects(DrawObject& object) override;
    std::size_t pointCount(const DrawObject& path) const override;
    Point pointAt(const DrawObject& path, std::size_t index) const override;
    void appendPoint(DrawObject& path, Point p) const override;
    void dropLastPoint(DrawObject& path) const override;
    bool closeOntoStart(DrawObject& path) const override;
    bool changeNodes(DrawObject& path, NodeChoice choice, float x, float y) override;
};

} // namespace zavora
