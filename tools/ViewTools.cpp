#include "tools/ViewTools.h"

#include "model/Drawing.h"
#include "model/ImageObject.h"
#include "model/ObjectList.h"
#include "model/PathObjects.h"
#include "model/UndoCommand.h"
#include "platform/Reporter.h"
#include "tools/SelectionTool.h"
#include "tools/ToolView.h"

#include <cmath>

namespace zavora {

namespace {

// The image's pixel under a drawing point, as a colour; black off the image.
Color pixelColor(const ImageObject& image, Point p)
{
    // The unit square's top edge is row 0.
    const Point u = transformPoint(invert(KMatrix(image.matrix())), p);
    const auto rgb = image.pixel(int32_t(std::floor(u.x * float(image.width()))),
        int32_t(std::floor((1 - u.y) * float(image.height()))));
    if (!rgb)
        return Color::black();
    return { (*rgb)[0] * 100.0f / 255, (*rgb)[1] * 100.0f / 255, (*rgb)[2] * 100.0f / 255 };
}

} // namespace

// --- pan -------------------------------------------------------------------

void PanTool::activate()
{
    m_view.setCursorShape(kCursorHand);
    setStatus("Pan: Click and drag to pan drawing");
}

void PanTool::deactivate()
{
    m_panning = false;
    m_view.redrawStatus();
}

void PanTool::mouseDown(float x, float y, bool)
{
    m_anchor = { x, y };
    m_panning = true;
}

void PanTool::mouseDrag(float x, float y, bool)
{
    // The page follows the pointer, so the anchor stays under it.
    if (m_panning && (x != m_anchor.x || y != m_anchor.y))
        m_view.panBy(x - m_anchor.x, y - m_anchor.y);
}

void PanTool::mouseUp(float, float, bool)
{
    m_panning = false;
    m_view.repaintArea(Rect(), 0);
}

// --- zoom ------------------------------------------------------------------

void ZoomTool::activate()
{
    m_view.setCursorShape(kCursorCreate);
    setStatus("Zoom: Drag a rectangle to zoomin; click to zoom out");
}

void ZoomTool::deactivate()
{
    if (m_marqueeShown)
        drawInvertedRect(m_marquee);
    m_marqueeShown = false;
    m_view.redrawStatus();
}

void ZoomTool::mouseDown(float x, float y, bool)
{
    m_marquee = { x, y, x, y };
    drawInvertedRect(m_marquee);
    m_marqueeShown = true;
    m_view.setCursorShape(kCursorGesture);
}

void ZoomTool::mouseDrag(float x, float y, bool)
{
    if (!m_marqueeShown)
        return;
    drawInvertedRect(m_marquee);
    m_marquee.right = x;
    m_marquee.top = y;
    drawInvertedRect(m_marquee);
}

void ZoomTool::mouseUp(float x, float y, bool)
{
    if (!m_marqueeShown)
        return;
    drawInvertedRect(m_marquee);
    m_marqueeShown = false;
    m_marquee.right = x;
    m_marquee.top = y;
    m_view.zoomToRect(m_marquee.left, m_marquee.bottom, m_marquee.right, m_marquee.top);
    m_view.setCursorShape(kCursorCreate);
}

// --- eyedropper ------------------------------------------------------------

void EyedropperTool::activate()
{
    m_view.setCursorShape(kCursorEyedropper);
    setStatus("Eyedropper: Click on an object to pick its paint style");
}

void EyedropperTool::deactivate()
{
    m_picked = m_haveStyle = false;
    m_view.redrawStatus();
}

DrawObject* EyedropperTool::pick(float x, float y, DrawObject** member)
{
    const float t = pixels(2);
    const Rect square { x - t, y - t, x + t, y + t };
    const PixelHitTests inPixels(viewMatrix());
    PickOptions options;
    options.interior = true;
    options.includeLocked = true;
    options.firstOnly = true;
    options.textBox = true; // a text's thin strokes alone are hard to hit
    DrawObject* top = SelectionTool::pickTopmost(refsOf(drawing().objects()), square, options);
    DrawObject* found = top;
    while (found && found->type() == ObjectType::CompoundPath)
        found = SelectionTool::pickTopmost(
            refsOf(static_cast<const CompoundPathObject&>(*found).children()), square, options);
    if (member)
        *member = found ? found : top;
    return top;
}

void EyedropperTool::mouseDown(float x, float y, bool shift)
{
    mouseDrag(x, y, shift);
}

void EyedropperTool::mouseDrag(float x, float y, bool)
{
    if (m_picked)
        return;
    DrawObject* object = nullptr;
    if (!pick(x, y, &object))
        return;
    PaintStyle style = object->style();
    switch (object->type()) {
    case ObjectType::Text:
        style.storeFillColor(style.textColor());
        break;
    case ObjectType::Image: {
        const Color c = pixelColor(static_cast<const ImageObject&>(*object), { x, y });
        style.storeLineColor(c);
        style.storeFillColor(c);
        style.storeTextColor(c);
        style.setStrokeOn(true);
        style.setFillOn(true);
        break;
    }
    default:
        style.storeTextColor(style.fillColor());
        break;
    }
    m_style = style;
    m_haveStyle = true;
    drawing().setDefaultStyle(style);
    m_view.setCursorShape(kCursorEyedropperFull);
    setStatus("Eyedropper: Click on an object to change its paint style");
}

void EyedropperTool::mouseUp(float x, float y, bool)
{
    if (!m_picked) {
        // Pouring starts only once a style has been taken.
        m_picked = m_haveStyle;
        return;
    }
    // A compound path takes the style as a whole: its members share one.
    DrawObject* object = pick(x, y, nullptr);
    if (!object)
        return;
    Drawing& d = drawing();
    const bool selected = d.isSelected(object);
    const ObjectRefs targets = selected ? d.selection() : ObjectRefs { object };
    const Rect before = unionBox(targets, true);
    d.history().execute(std::make_unique<WholeStyleCommand>(d, targets, m_style));
    if (m_view.previewMode())
        m_view.repaintArea(unionRect(before, unionBox(targets, true)), 2);
    else
        m_view.repaintArea(Rect(), 0);
}

} // namespace zavora
