#pragma once
// MoveTool: drags the whole selection. Nothing moves until the pointer has
// left a 2-pixel square around the press; the release records one move.

#include "tools/Tool.h"

namespace zavora {

class MoveTool : public Tool {
public:
    explicit MoveTool(ToolView& view)
        : Tool(view)
    { }

    void activate() override;
    void deactivate() override;
    void mouseDown(float x, float y, bool shift) override;
    void mouseDrag(float x, float y, bool shift) override;
    void mouseUp(float x, float y, bool shift) override;

private:
    // The selection's outlines shifted by (current - start) over the picture
    // saved at the press.
    void showFeedback();

    Point m_start;
    Point m_current;
    Point m_pressPoint; // before snapping: the threshold is the pointer's own travel
    bool m_feedbackShown = false;
    bool m_moved = false;
    bool m_pressed = false;
};

} // namespace zavora
