#pragma once
// The internal clipboard: a private list of objects that are never in the
// drawing (copies, or objects moved out by Cut), and the edit operations on
// it. Each operation reports on the status bar. The system clipboard sits on
// top of this in the shell.

#include "model/Geometry.h"
#include "model/ObjectList.h"

#include <cstddef>

namespace zavora {

class Drawing;

class Clipboard {
public:
    Clipboard() = default;
    Clipboard(const Clipboard&) = delete;
    Clipboard& operator=(const Clipboard&) = delete;

    bool isEmpty() const { return m_objects.empty(); }
    const OwnedObjects& objects() const { return m_objects; }
    std::size_t size() const { return m_objects.size(); }
    // Replaces the contents (a foreign paste converted by the shell).
    void setObjects(OwnedObjects objects);
    void clear() { m_objects.clear(); }

    // Copy: the contents become clones of the selected objects, in selection
    // order. Leaves the drawing and its history alone.
    void copy(const Drawing& drawing);
    // Cut: the contents become clones of the selected objects, which leave
    // the drawing in one recorded step (undo brings them back selected).
    void cut(Drawing& drawing);
    // Paste: clones of the contents are appended and become the selection,
    // moved so that their union box is centred on the visible rectangle (the
    // offset snapped to the grid when snapping is on); one recorded step.
    // False, changing nothing, when the clipboard is empty.
    bool paste(Drawing& drawing, const Rect& visible);

    // Duplicate: each selected object's clone is appended and takes its
    // source's place in the selection; the clones move one grid step right
    // and up; one recorded step. Uses no clipboard, only the drawing.
    static void duplicate(Drawing& drawing);

private:
    OwnedObjects m_objects;
};

} // namespace zavora
