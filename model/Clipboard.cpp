#include "model/Clipboard.h"

#include "model/Drawing.h"
#include "model/UndoCommand.h"
#include "platform/Reporter.h"

namespace zavora {

namespace {

const char* noun(std::size_t count)
{
    return count == 1 ? "object" : "objects";
}

template <class List> OwnedObjects clonesOf(const List& objects)
{
    OwnedObjects clones;
    clones.reserve(objects.size());
    for (const auto& object : objects)
        clones.push_back(object->clone());
    return clones;
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
    m_objects = clonesOf(drawing.selection());
    const std::size_t n = m_objects.size();
    setStatus("%d %s copied to clipboard", int(n), noun(n));
}

void Clipboard::cut(Drawing& drawing)
{
    // The clipboard takes copies: the objects themselves stay with the
    // command, so undo puts back the very objects earlier steps refer to.
    m_objects = clonesOf(drawing.selection());
    const std::size_t n = m_objects.size();
    if (n > 0)
        drawing.history().execute(std::make_unique<CutCommand>(drawing, drawing.selection()));
    setStatus("%d %s cut to clipboard", int(n), noun(n));
}

bool Clipboard::paste(Drawing& drawing, const Rect& visible)
{
    if (m_objects.empty()) {
        setStatus("Internal clipboard is empty");
        return false;
    }
    OwnedObjects pasted = clonesOf(m_objects);
    const Rect box = unionBox(pasted);
    Point offset { (visible.left + visible.right) / 2 - (box.left + box.right) / 2,
        (visible.bottom + visible.top) / 2 - (box.bottom + box.top) / 2 };
    offset = snapToGrid(offset, drawing.grid());
    if (offset.x != 0 || offset.y != 0)
        for (const auto& object : pasted)
            object->translate(offset.x, offset.y);

    const std::size_t n = pasted.size();
    drawing.history().execute(std::make_unique<AddObjectsCommand>(drawing, std::move(pasted)));
    setStatus("%d %s pasted from clipboard", int(n), noun(n));
    return true;
}

void Clipboard::duplicate(Drawing& drawing)
{
    OwnedObjects clones = clonesOf(drawing.selection());
    const Grid& grid = drawing.grid();
    for (const auto& clone : clones)
        clone->translate(float(grid.gx), float(grid.gy));
    const std::size_t n = clones.size();
    // The clones replace their sources in the selection, in the same order.
    if (n > 0)
        drawing.history().execute(std::make_unique<AddObjectsCommand>(drawing, std::move(clones)));
    setStatus("%d objects duplicated", int(n));
}

} // namespace zavora
