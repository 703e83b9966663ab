#include "model/Clipboard.h"

#include "model/Drawing.h"
#include "platform/Reporter.h"

namespace zavora {

namespace {

const char* noun(std::size_t count)
{
    return count == 1 ? "object" : "objects";
}

} // namespace

void Clipboard::setObjects(OwnedObjects objects)
{
    m_objects.clear();
    for (auto& object : objects)
        if (object)
            m_objects.push_back(std::move(object));
}

void Clipboard::copy(const Drawing& drawing)
{
    m_objects.clear();
    for (const DrawObject* object : drawing.selection())
        m_objects.push_back(object->clone());
    const std::size_t n = m_objects.size();
    setStatus("%d %s copied to clipboard", int(n), noun(n));
}

void Clipboard::cut(Drawing& drawing)
{
    m_objects = drawing.takeSelected();
    const std::size_t n = m_objects.size();
    drawing.markStructureEdited();
    drawing.deselectAll();
    setStatus("%d %s cut to clipboard", int(n), noun(n));
}

bool Clipboard::paste(Drawing& drawing, const Rect& visible)
{
    if (m_objects.empty()) {
        setStatus("Internal clipboard is empty");
        return false;
    }
    ObjectRefs pasted;
    pasted.reserve(m_objects.size());
    for (const auto& object : m_objects)
        pasted.push_back(drawing.append(object->clone()));
    drawing.setSelection(pasted);

    const Rect box = drawing.selectionBox();
    Point offset { (visible.left + visible.right) / 2 - (box.left + box.right) / 2,
        (visible.bottom + visible.top) / 2 - (box.bottom + box.top) / 2 };
    offset = snapToGrid(offset, drawing.grid());
    if (offset.x != 0 || offset.y != 0)
        for (DrawObject* object : drawing.selection())
            object->translate(offset.x, offset.y);

    const std::size_t n = drawing.selection().size();
    setStatus("%d %s pasted from clipboard", int(n), noun(n));
    drawing.markStructureEdited();
    drawing.notifySelectionChanged();
    return true;
}

void Clipboard::duplicate(Drawing& drawing)
{
    ObjectRefs clones;
    clones.reserve(drawing.selection().size());
    for (const DrawObject* object : drawing.selection())
        clones.push_back(drawing.append(object->clone()));
    const Grid& grid = drawing.grid();
    for (DrawObject* clone : clones)
        clone->translate(float(grid.gx), float(grid.gy));
    // Every source is replaced by its own clone, so the order carries over.
    drawing.setSelection(clones);
    setStatus("%d objects duplicated", int(clones.size()));
    drawing.markStructureEdited();
    drawing.notifySelectionChanged();
}

} // namespace zavora
