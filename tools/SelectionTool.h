#pragma once
// SelectionTool: the default tool. A press grabs a handle of a selected shape
// (handing the gesture to the shape's editing tool), picks an object (moving
// the selection through the move tool) or starts a marquee.

#include "model/Drawing.h"
#include "model/ObjectList.h"
#include "tools/Tool.h"

namespace zavora {

class MoveTool;
class ToolSet;

class SelectionTool : public Tool {
public:
    enum Mode : int { Idle = 0, Marquee = 1, Moving = 2, Handle = 3 };

    SelectionTool(ToolView& view, ToolSet& tools, MoveTool& move)
        : Tool(view)
        , m_tools(tools)
        , m_move(move)
    { }

    void activate() override;
    void deactivate() override;
    void mouseDown(float x, float y, bool shift) override;
    void mouseDrag(float x, float y, bool shift) override;
    void mouseUp(float x, float y, bool shift) override;
    void doubleClick(float x, float y, bool shift) override;
    // The node menu for the path under the pointer.
    void rightClick(float x, float y, bool shift) override;

    Mode mode() const { return m_mode; }

    // Whether an object's outline meets the rectangle (corners in any
    // order). Lines and other shapes without area are met by their segments,
    // and anything whose box lies inside the rectangle is met too.
    static bool outlineMeets(const DrawObject& object, const Rect& rect);
    // The first object from the top of `list` that the pick tests find (with
    // the outline test on, also by outlineMeets).
    static DrawObject* pickTopmost(const ObjectRefs& list, const Rect& square, const PickOptions& options);

private:
    void drawMarquee();
    // Shows "%d object(s) selected" for the current selection.
    void showCount();
    ObjectRefs marqueeHits(const Rect& marquee) const;

    ToolSet& m_tools;
    MoveTool& m_move;
    Rect m_marquee { 0, 0, 0, 0 };
    Mode m_mode = Marquee;
    Tool* m_delegate = nullptr;
};

} // namespace zavora
