#include "tools/SelectionTool.h"

#include "model/Drawing.h"
#include "model/Geometry.h"
#include "model/GroupObject.h"
#include "model/ObjectList.h"
#include "model/OutlineGeometry.h"
#include "model/PathObjects.h"
#include "model/ShapeObjects.h"
#include "model/TextObject.h"
#include "platform/Reporter.h"
#include "raster/ScreenCanvas.h"
#include "tools/MoveTool.h"
#include "tools/PathTool.h"
#include "tools/ToolSet.h"
#include "tools/ToolView.h"

#include <algorithm>
#include <cmath>

namespace zavora {

namespace {

bool boxInside(const Rect& box, const Rect& r)
{
    return !box.isUncomputed() && box.left >= r.left && box.right <= r.right && box.bottom >= r.bottom
        && box.top <= r.top;
}

const char* noun(std::size_t count)
{
    return count == 1 ? "object" : "objects";
}

// The outline of a path as one drawing-space polyline; curves flattened
// finely enough for picking.
PointList pathPoints(const DrawObject& object)
{
    constexpr float kPickFlatness = 0.05f;
    PointList points;
    if (object.type() == ObjectType::Polygon) {
        const auto& polygon = static_cast<const PolygonObject&>(object);
        points = polygon.vertices();
        if (polygon.isClosed() && !points.empty())
            points.push_back(points.front());
    } else {
        const auto& curve = static_cast<const CurveObject&>(object);
        points = flattenNodes(curve.nodes(), curve.isClosed(), kPickFlatness);
    }
    const KMatrix m(object.matrix());
    for (Point& p : points)
        p = transformPoint(m, p);
    return points;
}

} // namespace

DrawObject* SelectionTool::pickTopmost(const ObjectRefs& list, const Rect& square, const PickOptions& options)
{
    for (std::size_t i = list.size(); i-- > 0;) {
        DrawObject* object = list[i];
        if (object->isLocked() && !options.includeLocked)
            continue;
        if (Drawing::pickHits(*object, square, options)
            || (options.outline && SelectionTool::outlineMeets(*object, square)))
            return object;
    }
    return nullptr;
}

bool SelectionTool::outlineMeets(const DrawObject& object, const Rect& rect)
{
    const Rect r = normalized(rect);
    if (object.type() == ObjectType::Group) {
        for (const auto& child : static_cast<const GroupObject&>(object).children())
            if (outlineMeets(*child, r))
                return true;
        return false;
    }
    if (object.touchesRect(r.left, r.bottom, r.right, r.top))
        return true;
    if (object.type() == ObjectType::Line) {
        const auto& line = static_cast<const LineObject&>(object);
        const KMatrix m(line.matrix());
        return segmentMeetsRect(transformPoint(m, line.first()), transformPoint(m, line.second()), r);
    }
    // A straight path has no area for the test above; its segments still count.
    if (object.type() == ObjectType::Polygon || object.type() == ObjectType::Curve) {
        const PointList points = pathPoints(object);
        for (std::size_t i = 1; i < points.size(); ++i)
            if (segmentMeetsRect(points[i - 1], points[i], r))
                return true;
    }
    // Shapes flattened to no area (a rectangle of zero width) have no
    // interior to touch; the whole box inside the marquee still counts.
    return boxInside(object.boundingBox(), r);
}

void SelectionTool::activate()
{
    m_view.setCursorShape(kCursorArrow);
    setStatus("Selection");
}

void SelectionTool::deactivate()
{
    if (m_mode == Handle && m_delegate)
        m_delegate->deactivate();
    else if (m_mode == Moving)
        m_move.deactivate();
    else if (m_mode == Marquee)
        drawMarquee(); // drawn inverted a second time, it is gone
    m_mode = Idle;
    m_view.redrawStatus();
}

void SelectionTool::showCount()
{
    const std::size_t n = drawing().selection().size();
    setStatus("%d %s selected", int(n), noun(n));
}

void SelectionTool::mouseDown(float x, float y, bool shift)
{
    Drawing& d = drawing();
    m_mode = Idle;
    const float t = pixels(2);

    // Handles first, from the last selected object to the first.
    const ObjectRefs selected = d.selection();
    for (std::size_t i = selected.size(); i-- > 0;) {
        Tool* editor = m_tools.editTool(*selected[i]);
        if (!editor)
            continue;
        editor->attach(*selected[i]);
        if (editor->hitHandle(x, y) < 0)
            continue;
        m_mode = Handle;
        m_delegate = editor;
        d.setSelection({ selected[i] });
        d.notifySelectionChanged();
        showCount();
        // A change of selection lets every editing tool go: attach again.
        editor->attach(*selected[i]);
        editor->mouseDown(x, y, shift);
        return;
    }

    DrawObject* candidate = nullptr;
    bool lockedHit = false, keep = false;
    {
        const PixelHitTests inPixels(viewMatrix());
        const Rect square { x - t, y - t, x + t, y + t };
        const bool preview = m_view.previewMode();
        PickOptions pick;
        pick.interior = preview;
        pick.includeLocked = true;
        pick.firstOnly = true;
        candidate = pickTopmost(refsOf(d.objects()), square, pick);
        lockedHit = candidate && candidate->isLocked();
        if (lockedHit)
            candidate = nullptr;

        if (d.hasSelection()) {
            PickOptions inSelection = pick;
            inSelection.outline = false;
            inSelection.textBox = true;
            if (DrawObject* match = pickTopmost(d.selection(), square, inSelection))
                candidate = match;
        }

        if (!lockedHit && !shift && d.hasSelection()) {
            PickOptions kept;
            kept.textBox = true;
            kept.interior = preview;
            kept.firstOnly = true;
            if (DrawObject* f = pickTopmost(d.selection(), square, kept)) {
                keep = !candidate || f->type() == ObjectType::Text
                    || d.indexOf(f).value_or(0) >= d.indexOf(candidate).value_or(0);
            }
        }
    }

    if (candidate && !keep) {
        if (shift) {
            d.toggleSelected(candidate);
            d.sortSelectionByStacking();
            showCount();
            d.notifySelectionChanged();
            m_mode = Idle;
            return;
        }
        d.setSelection({ candidate });
        d.notifySelectionChanged();
        setStatus("1 object selected");
        keep = true;
    }

    if (keep) {
        m_mode = Moving;
        m_move.mouseDown(x, y, shift);
        return;
    }
    m_mode = Marquee;
    m_marquee = { x, y, x, y };
    drawMarquee();
}

void SelectionTool::mouseDrag(float x, float y, bool shift)
{
    switch (m_mode) {
    case Marquee:
        setStatus(shift ? "Toggle selection" : "Selection");
        drawMarquee();
        m_marquee.right = x;
        m_marquee.top = y;
        drawMarquee();
        break;
    case Moving:
        m_move.mouseDrag(x, y, shift);
        break;
    case Handle:
        if (m_delegate)
            m_delegate->mouseDrag(x, y, shift);
        break;
    case Idle:
        break;
    }
}

ObjectRefs SelectionTool::marqueeHits(const Rect& marquee) const
{
    ObjectRefs hits;
    for (const auto& object : m_view.drawing().objects())
        if (!object->isLocked()
            && (Drawing::pickHits(*object, marquee, PickOptions {}) || outlineMeets(*object, marquee)))
            hits.push_back(object.get());
    return hits;
}

void SelectionTool::mouseUp(float x, float y, bool shift)
{
    Drawing& d = drawing();
    switch (m_mode) {
    case Marquee: {
        setStatus("Selecting...");
        const int previousCursor = m_view.cursorShape();
        m_view.setCursorShape(kCursorWait);
        drawMarquee();
        m_marquee.right = x;
        m_marquee.top = y;
        const Rect marquee = normalized(m_marquee);
        ObjectRefs texts, hits;
        {
            const PixelHitTests inPixels(viewMatrix());
            // Selected text objects stay reachable through their text box.
            PickOptions byBox;
            byBox.outline = false;
            byBox.textBox = true;
            for (DrawObject* object : d.selection())
                if (object->type() == ObjectType::Text && Drawing::pickHits(*object, marquee, byBox))
                    texts.push_back(object);
            hits = marqueeHits(marquee);
        }
        if (!shift) {
            hits.insert(hits.end(), texts.begin(), texts.end());
            d.setSelection(hits);
        } else {
            for (DrawObject* text : texts)
                if (std::find(hits.begin(), hits.end(), text) == hits.end())
                    hits.push_back(text);
            for (DrawObject* object : hits)
                d.toggleSelected(object);
        }
        d.sortSelectionByStacking();
        if (d.hasSelection())
            showCount();
        else
            setStatus("Selection");
        m_view.setCursorShape(previousCursor);
        d.notifySelectionChanged();
        m_view.repaintArea(Rect(), 0);
        break;
    }
    case Moving:
        m_move.mouseUp(x, y, shift);
        break;
    case Handle:
        if (m_delegate)
            m_delegate->mouseUp(x, y, shift);
        break;
    case Idle:
        break;
    }
}

void SelectionTool::doubleClick(float x, float y, bool)
{
    Drawing& d = drawing();
    const float t = pixels(1);
    const PixelHitTests inPixels(viewMatrix());
    PickOptions pick;
    pick.interior = true;
    pick.includeLocked = true;
    pick.firstOnly = true;
    DrawObject* hit = pickTopmost(refsOf(d.objects()), { x - t, y - t, x + t, y + t }, pick);
    if (!hit || hit->isLocked() || hit->type() != ObjectType::Text)
        return;
    d.setSelection({ hit });
    d.notifySelectionChanged();
    m_view.editText(static_cast<TextObject&>(*hit), { x, y });
}

void SelectionTool::drawMarquee()
{
    drawInvertedRect(m_marquee);
}

void SelectionTool::rightClick(float x, float y, bool)
{
    Drawing& d = drawing();
    const float t = pixels(2);
    DrawObject* hit = nullptr;
    {
        const PixelHitTests inPixels(viewMatrix());
        PickOptions pick;
        pick.firstOnly = true;
        hit = pickTopmost(refsOf(d.objects()), { x - t, y - t, x + t, y + t }, pick);
    }
    // Only paths have nodes; for anything else the menu offers nothing.
    PathTool* path = nullptr;
    if (hit && (hit->type() == ObjectType::Curve || hit->type() == ObjectType::Polygon))
        path = dynamic_cast<PathTool*>(m_tools.editTool(*hit));
    NodeMenuState state;
    if (path) {
        path->attach(*hit);
        state = path->nodeMenuState(x, y);
    }
    const NodeChoice choice = m_view.nodeMenu(state);
    if (path && choice != NodeChoice::None && d.indexOf(hit)) {
        path->attach(*hit);
        path->applyNodeChoice(choice, x, y);
    }
}

} // namespace zavora
