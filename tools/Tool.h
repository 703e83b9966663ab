#pragma once
// Tool: the one receiver of the drawing window's gestures. Coordinates are
// drawing points after the view's inverse mapping and before grid snapping;
// `shift` is true while Shift is held. Each tool exists once per drawing
// window (ToolSet owns them) and talks to the window through ToolView.

#include "model/Geometry.h"
#include "model/GraphicsKernel.h"

namespace zavora {

class DrawObject;
class Drawing;
class ToolView;

class Tool {
public:
    virtual ~Tool() = default;
    Tool(const Tool&) = delete;
    Tool& operator=(const Tool&) = delete;

    // The selection tool hands an existing object to its editing tool.
    virtual void attach(DrawObject& object);
    // Right after the tool became current.
    virtual void activate();
    // Which handle of the attached object is at (x, y); -1 for none.
    virtual int hitHandle(float x, float y);
    // Right before another tool becomes current.
    virtual void deactivate();
    virtual void keyDown(int key, bool shiftHeld);
    virtual void mouseDrag(float x, float y, bool shift) = 0;
    virtual void mouseDown(float x, float y, bool shift) = 0;
    virtual void mouseUp(float x, float y, bool shift) = 0;
    virtual void doubleClick(float x, float y, bool shift);
    virtual void rightClick(float x, float y, bool shift);
    // After the drawing window has been repainted.
    virtual void repaintFeedback();
    // A picture the tool keeps over the drawing for a while (the text being
    // edited, its box and caret): on every paint the window composes this
    // box (drawing space) afresh and then has the tool draw over it, so the
    // overlay is never drawn over itself. Uncomputed: none.
    virtual Rect overlayBox() const { return Rect(); }
    virtual void drawOverlay();

protected:
    explicit Tool(ToolView& view)
        : m_view(view)
    { }

    Drawing& drawing();
    // Snaps a point to the drawing's grid when its snap is on.
    Point snap(Point p);
    // A pixel distance in drawing units (the larger of the two axes).
    float pixels(float count) const;
    // The view's mapping from drawing points to window pixels.
    const KMatrix& viewMatrix();
    // Whether the window point lies on the handle at `object`'s object-space
    // point h; compared in window pixels, so the square is the same at every zoom.
    bool onHandle(Point pointer, const DrawObject& object, Point h) const;
    // A rectangle (drawing corners in any order) inverted on the window:
    // drawn a second time, it is gone.
    void drawInvertedRect(const Rect& rect);
    // The selection's outline through `transform` (drawing space), inverted
    // over the picture without selection marks; `first` of a gesture takes
    // that picture aside.
    void showSelectionOutline(const KMatrix& transform, bool first);

    ToolView& m_view;
};

// Moves corner `handle` of the box with corners c1 and c2 to o: 0 is c1,
// 1 is (c2.x, c1.y), 2 is c2 and 3 is (c1.x, c2.y).
void moveBoxCorner(Point& c1, Point& c2, int handle, Point o);

// While it lives, the kernel's hit tests run in window pixels: the view's
// mapping is the CTM, so outlines are flattened and rounded at the screen's
// resolution and a pixel means the same at every zoom.
class PixelHitTests {
public:
    explicit PixelHitTests(const KMatrix& drawingToWindow) { kernel().setCtm(drawingToWindow); }

private:
    StateSaver m_saver;
};

// The editing tool of groups, compound paths and images: they have no handles
// of their own to drag, so every gesture does nothing.
class InertTool : public Tool {
public:
    explicit InertTool(ToolView& view)
        : Tool(view)
    { }
    void mouseDrag(float, float, bool) override { }
    void mouseDown(float, float, bool) override { }
    void mouseUp(float, float, bool) override { }
};

} // namespace zavora
