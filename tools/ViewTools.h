#pragma once
// The tools that act on the view and on paint styles: the pan tool drags the
// page around the window, the zoom tool zooms to a dragged rectangle (a
// click fits the page), and the eyedropper picks one object's paint style
// and pours it onto the objects clicked afterwards.

#include "model/PaintStyle.h"
#include "tools/Tool.h"

namespace zavora {

class PanTool : public Tool {
public:
    explicit PanTool(ToolView& view)
        : Tool(view)
    { }

    void activate() override;
    void deactivate() override;
    void mouseDown(float x, float y, bool shift) override;
    void mouseDrag(float x, float y, bool shift) override;
    void mouseUp(float x, float y, bool shift) override;

private:
    Point m_anchor;
    bool m_panning = false;
};

class ZoomTool : public Tool {
public:
    explicit ZoomTool(ToolView& view)
        : Tool(view)
    { }

    void activate() override;
    void deactivate() override;
    void mouseDown(float x, float y, bool shift) override;
    void mouseDrag(float x, float y, bool shift) override;
    void mouseUp(float x, float y, bool shift) override;

private:
    Rect m_marquee { 0, 0, 0, 0 };
    bool m_marqueeShown = false;
};

// Picks until the first release after it became current, then pours until
// another tool is chosen.
class EyedropperTool : public Tool {
public:
    explicit EyedropperTool(ToolView& view)
        : Tool(view)
    { }

    void activate() override;
    void deactivate() override;
    void mouseDown(float x, float y, bool shift) override;
    void mouseDrag(float x, float y, bool shift) override;
    void mouseUp(float x, float y, bool shift) override;

private:
    // The topmost object within 2 pixels, found by outline or interior,
    // locked ones too; `member` is the innermost path of a compound path.
    DrawObject* pick(float x, float y, DrawObject** member);

    PaintStyle m_style;
    bool m_haveStyle = false;
    bool m_picked = false;
};

} // namespace zavora
