#pragma once
// What a tool needs from the drawing window: the drawing, the mapping between
// window pixels and drawing points, the screen canvas for feedback, the
// display mode, the cursor, the toolbox buttons and repaints. The drawing
// window implements it; tests may implement it without a toolkit.

#include "model/Geometry.h"

namespace zavora {

class Drawing;
class FontEntry;
class ScreenCanvas;
class TextObject;

// The font and size a new text object is typed in.
struct NewTextFont {
    const FontEntry* font = nullptr;
    float size = 24;
};

// Cursor indices; the drawing window owns the images.
enum CursorIndex : int {
    kCursorWait = 0,
    kCursorArrow = 1,
    kCursorTransform = 2,
    kCursorCreate = 3,
    kCursorGesture = 4,
    kCursorHand = 5,
    kCursorText = 6,
    kCursorEyedropper = 7,
    kCursorEyedropperFull = 8,
    kCursorCount = 9,
};

// The node menu: which items are offered and checked, and the choice.
enum class NodeChoice : int { None = 0, Insert = 1, Delete = 2, Corner = 3, Close = 4 };
struct NodeMenuState {
    bool insertEnabled = false, deleteEnabled = false, cornerEnabled = false, closeEnabled = false;
    bool cornerChecked = false, closeChecked = false;
};

class ToolView {
public:
    virtual ~ToolView() = default;

    virtual Drawing& drawing() = 0;
    virtual ScreenCanvas& canvas() = 0;
    // Filled display (true) or wireframe.
    virtual bool previewMode() const = 0;

    // Window pixels to drawing points.
    virtual Point toDrawing(float px, float py) const = 0;
    virtual Point toWindow(float x, float y) const = 0;
    // A pixel distance as a drawing distance (positive lengths).
    virtual Point pixelsToDrawing(float dx, float dy) const = 0;

    // The index in force is remembered so that a busy period can restore it.
    virtual void setCursorShape(int index) = 0;
    virtual int cursorShape() const = 0;
    // The toolbox button of a command shown pressed or released.
    virtual void setToolButtonPressed(int commandId, bool pressed) = 0;
    // Redraws the status bar's current prompt.
    virtual void redrawStatus() = 0;

    // The box (drawing coordinates) grown by `pad` pixels drawn afresh from
    // the drawing; an uncomputed box stands for the whole window.
    virtual void repaintArea(const Rect& box, int pad) = 0;
    // Hands a text object to the text tool for editing at a point; false
    // when there is no text tool.
    virtual bool editText(TextObject& text, Point at) = 0;
    // The font and size of the Font command's defaults; the default text
    // font at 24 points unless the window knows better.
    virtual NewTextFont newTextFont() const;

    // Opens the node menu at the pointer and waits for the choice.
    virtual NodeChoice nodeMenu(const NodeMenuState& state) = 0;
    // Moves the page by a drawing distance and shows it at once, even while
    // a button is held.
    virtual void panBy(float dx, float dy) = 0;
    // Fills the window with the rectangle; one without area fits the page.
    virtual void zoomToRect(float x0, float y0, float x1, float y1) = 0;
};

} // namespace zavora
