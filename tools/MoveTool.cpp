#include "tools/MoveTool.h"

#include "model/Drawing.h"
#include "model/UndoCommand.h"
#include "platform/Reporter.h"
#include "raster/ScreenCanvas.h"
#include "tools/ToolView.h"

#include <cmath>

namespace zavora {

void MoveTool::activate()
{
    m_view.setCursorShape(kCursorArrow);
    setStatus("Move");
}

void MoveTool::deactivate()
{
    if (m_pressed && m_feedbackShown) {
        // The window gets back the picture the moving outlines were drawn over.
        m_view.canvas().copyBufferToWindow(ScreenBuffer::View);
        m_feedbackShown = false;
    }
    m_pressed = false;
    m_view.redrawStatus();
}

void MoveTool::mouseDown(float x, float y, bool)
{
    m_pressPoint = { x, y };
    m_start = m_current = snap({ x, y });
    m_feedbackShown = false;
    m_moved = false;
    m_pressed = true;
}

void MoveTool::mouseDrag(float x, float y, bool)
{
    if (!m_pressed)
        return;
    if (!m_moved) {
        // Slack for the float round trip through the view mapping: a travel
        // of exactly two pixels must not count as more.
        const float t = pixels(2) * 1.001f;
        if (std::fabs(x - m_pressPoint.x) <= t && std::fabs(y - m_pressPoint.y) <= t)
            return;
        m_moved = true;
    }
    m_current = snap({ x, y });
    showFeedback();
}

void MoveTool::showFeedback()
{
    showSelectionOutline(KMatrix(1, 0, 0, 1, m_current.x - m_start.x, m_current.y - m_start.y), !m_feedbackShown);
    m_feedbackShown = true;
}

void MoveTool::mouseUp(float x, float y, bool)
{
    if (!m_pressed)
        return;
    m_pressed = false;
    Drawing& d = drawing();
    if (!m_moved || !d.hasSelection()) {
        // A click without movement changes nothing.
        m_view.repaintArea(Rect(), 0);
        return;
    }
    m_current = snap({ x, y });
    const Rect before = d.selectionBox(true);
    const float dx = m_current.x - m_start.x, dy = m_current.y - m_start.y;
    if (dx != 0 || dy != 0)
        d.history().execute(std::make_unique<MoveCommand>(d, d.selection(), dx, dy));
    const Rect after = d.selectionBox(true);
    if (m_view.previewMode())
        m_view.repaintArea(unionRect(before, after), 2);
    else
        m_view.repaintArea(Rect(), 0);
}

} // namespace zavora
