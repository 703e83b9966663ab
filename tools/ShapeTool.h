#pragma once
// The shape tools: line, rectangle, rounded rectangle, ellipse and arc. Each
// draws its shape with one press-drag-release (the arc with two) and is also
// the editing tool of its class: attached to an existing shape by the
// selection tool, it drags that shape's handles and records the reshape.

#include "model/Drawing.h"
#include "tools/Tool.h"

#include <memory>
#include <vector>

namespace zavora {

// The tool watches the drawing: an attached shape that leaves the drawing or
// the selection is let go, so no gesture ever reaches a stale object.
class ShapeTool : public Tool, private DrawingObserver {
public:
    // Sweeping: the arc's second gesture, or the next points of a path.
    enum State : int { Idle = 0, Creating = 1, Sweeping = 2, Attached = 100, Dragging = 101 };

    ~ShapeTool() override;

    void attach(DrawObject& object) override;
    void activate() override;
    void deactivate() override;
    int hitHandle(float x, float y) override;
    void mouseDown(float x, float y, bool shift) override;
    void mouseDrag(float x, float y, bool shift) override;
    void mouseUp(float x, float y, bool shift) override;
    void repaintFeedback() override;

    State state() const { return m_state; }

protected:
    explicit ShapeTool(ToolView& view);

    // A new shape at the pressed (snapped) point.
    virtual std::unique_ptr<DrawObject> create(Point p) const = 0;
    // The pointer moved while creating; shows the member's prompt.
    virtual void dragCreate(DrawObject& object, Point p, bool shift) const = 0;
    // Handle points in object space, numbered from firstHandle().
    virtual std::vector<Point> handles(const DrawObject& object) const = 0;
    virtual int firstHandle() const { return 0; }
    // Moves handle `handle` to the object-space point o.
    virtual void dragHandle(DrawObject& object, int handle, Point o, bool shift) const = 0;
    // Shapes discarded at the release.
    virtual bool degenerate(const DrawObject& object) const = 0;
    // Moves the shape's placed points onto nearby outlines (object snap).
    virtual void snapToObjects(DrawObject& object) = 0;
    virtual const char* firstPrompt() const = 0;
    virtual const char* pressPrompt() const = 0;
    virtual const char* releasePrompt() const { return firstPrompt(); }

    // The nearest outline point of the drawing within the object-snap
    // distance, or p itself when snapping is off or nothing is near.
    Point objectSnapped(Point p);
    // Starts creating `object` (state 1).
    void beginCreating(std::unique_ptr<DrawObject> object);
    // The release of a creation: the shape is added or discarded.
    void finishCreating();
    void eraseFeedback();
    void showFeedback();
    DrawObject* current() const;
    // Drops the attached shape: a handle drag in progress ends unrecorded.
    void detach();

    std::unique_ptr<DrawObject> m_creating; // owned while being created
    DrawObject* m_object = nullptr; // the attached shape
    int m_handle = -1;
    State m_state = Idle;
    bool m_feedbackShown = false;
    Rect m_boxBefore, m_boxAfter;
    std::unique_ptr<DrawObject> m_savedCopy;

private:
    // DrawingObserver
    void selectionChanged() override;
    void objectsRemoved() override;
};

class LineTool : public ShapeTool {
public:
    explicit LineTool(ToolView& view)
        : ShapeTool(view)
    { }

protected:
    std::unique_ptr<DrawObject> create(Point p) const override;
    void dragCreate(DrawObject& object, Point p, bool shift) const override;
    std::vector<Point> handles(const DrawObject& object) const override;
    int firstHandle() const override { return 1; }
    void dragHandle(DrawObject& object, int handle, Point o, bool shift) const override;
    bool degenerate(const DrawObject& object) const override;
    void snapToObjects(DrawObject& object) override;
    const char* firstPrompt() const override { return "Line: Click first point and drag to second point"; }
    const char* pressPrompt() const override { return "Line: Drag to second point"; }
};

class RectangleTool : public ShapeTool {
public:
    explicit RectangleTool(ToolView& view)
        : ShapeTool(view)
    { }

protected:
    std::unique_ptr<DrawObject> create(Point p) const override;
    void dragCreate(DrawObject& object, Point p, bool shift) const override;
    std::vector<Point> handles(const DrawObject& object) const override;
    void dragHandle(DrawObject& object, int handle, Point o, bool shift) const override;
    bool degenerate(const DrawObject& object) const override;
    void snapToObjects(DrawObject& object) override;
    const char* firstPrompt() const override
    {
        return "Rectangle: Click a corner and drag to opposite corner";
    }
    const char* pressPrompt() const override { return "Rectangle: Drag to opposite corner"; }
    const char* releasePrompt() const override
    {
        return "Rectangle: Click a corner, drag to opposite corner";
    }

    // The corner opposite c1 for the pointer at p (squared with shift); shows the size.
    Point dragCorner(Point c1, Point p, bool shift) const;
};

class RoundRectTool : public RectangleTool {
public:
    explicit RoundRectTool(ToolView& view)
        : RectangleTool(view)
    { }

protected:
    std::unique_ptr<DrawObject> create(Point p) const override;
    void dragCreate(DrawObject& object, Point p, bool shift) const override;
    std::vector<Point> handles(const DrawObject& object) const override;
    void dragHandle(DrawObject& object, int handle, Point o, bool shift) const override;
    bool degenerate(const DrawObject& object) const override;
    void snapToObjects(DrawObject& object) override;
};

class EllipseTool : public ShapeTool {
public:
    explicit EllipseTool(ToolView& view)
        : ShapeTool(view)
    { }

protected:
    std::unique_ptr<DrawObject> create(Point p) const override;
    void dragCreate(DrawObject& object, Point p, bool shift) const override;
    std::vector<Point> handles(const DrawObject& object) const override;
    void dragHandle(DrawObject& object, int handle, Point o, bool shift) const override;
    bool degenerate(const DrawObject& object) const override;
    void snapToObjects(DrawObject& object) override;
    const char* firstPrompt() const override { return "Ellipse: Click centre and drag"; }
    const char* pressPrompt() const override { return "Ellipse: Drag to adjust radii"; }
};

// Two gestures: press and release place the centre, then a press sets the
// start angle and the drag sweeps anti-clockwise to the end angle.
class ArcTool : public ShapeTool {
public:
    explicit ArcTool(ToolView& view)
        : ShapeTool(view)
    { }

    void mouseDown(float x, float y, bool shift) override;
    void mouseDrag(float x, float y, bool shift) override;
    void mouseUp(float x, float y, bool shift) override;

    // Degrees of (p - centre); 0 for the centre itself.
    static float angleOf(Point centre, Point p);

protected:
    std::unique_ptr<DrawObject> create(Point p) const override;
    void dragCreate(DrawObject& object, Point p, bool shift) const override;
    std::vector<Point> handles(const DrawObject& object) const override;
    int firstHandle() const override { return 1; }
    void dragHandle(DrawObject& object, int handle, Point o, bool shift) const override;
    bool degenerate(const DrawObject& object) const override;
    void snapToObjects(DrawObject& object) override;
    const char* firstPrompt() const override { return "Arc: Click centre"; }
    const char* pressPrompt() const override { return "Arc: Drag anti-clockwise to end angle"; }
};

} // namespace zavora
