#pragma once
// The open document: the owned list of top-level objects in stacking order
// (index 0 at the back), the selection (top-level objects in the order they
// were selected, owning nothing), the default style, the grid, orientation,
// object-snap settings, the modified flag and the file name. It carries the
// whole-drawing queries and the commands that act on the selection.
//
// It owns the undo history and the internal clipboard. Nothing here knows a
// view: interested parties register a DrawingObserver and hear when the
// selection changed, when the screen needs repainting and when an unrecorded
// structural edit emptied the undo history.

#include "model/Clipboard.h"
#include "model/DrawObject.h"
#include "model/Geometry.h"
#include "model/ObjectList.h"
#include "model/PaintStyle.h"
#include "model/UndoHistory.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace zavora {

class FontEntry;
class OutputPort;
class ScreenPainter;
class TextObject;

// The two words the Object Snap dialog sets; the tools interpret them.
struct ObjectSnap {
    int32_t enabled = 0;
    int32_t distance = 0; // pixels
    bool operator==(const ObjectSnap&) const = default;
};

// What the pick search tests, given a pick square around the pointer.
struct PickOptions {
    bool outline = true; // touches-rectangle; a text object through its laid-out lines
    bool interior = false; // contains-point at the square's centre
    bool textBox = false; // a text object whose box contains the square's centre
    bool includeLocked = false;
    bool firstOnly = false;
};

// Align codes (what is lined up with the selection's union box).
enum AlignCode : int {
    kAlignLeft = 0,
    kAlignRight = 1,
    kAlignTop = 2,
    kAlignBottom = 3,
    kAlignCentreX = 4, // horizontal centres
    kAlignCentreY = 5, // vertical centres
};

// Space-evenly codes.
enum SpaceCode : int {
    kSpaceEdgesY = 0,
    kSpaceEdgesX = 1,
    kSpaceCentresY = 2,
    kSpaceCentresX = 3,
};

// A top-level object with its stacking index.
struct IndexedObject {
    std::size_t index;
    std::unique_ptr<DrawObject> object;
};

class DrawingObserver {
public:
    virtual ~DrawingObserver() = default;
    // A structural edit that is not recorded happened: both undo stacks must be emptied.
    virtual void historyInvalidated() { }
    // The selection changed; its handles need redrawing.
    virtual void selectionChanged() { }
    // Objects changed or moved; the screen needs repainting.
    virtual void contentChanged() { }
    // Top-level objects left the list (deleted, cut, an addition undone,
    // gathered into a container, the drawing emptied); whoever refers to one
    // lets go. Told after the list lost them: compare, never dereference.
    virtual void objectsRemoved() { }
    // Select All found nothing: the shell shows its idle status text.
    virtual void showIdleStatus() { }
};

class Drawing {
public:
    Drawing();
    ~Drawing();
    Drawing(const Drawing&) = delete;
    Drawing& operator=(const Drawing&) = delete;

    // --- The object list (also the primitives the undo commands use) ---

    const OwnedObjects& objects() const { return m_objects; }
    std::size_t objectCount() const { return m_objects.size(); }
    DrawObject* objectAt(std::size_t index) const;
    // Top-level objects only.
    std::optional<std::size_t> indexOf(const DrawObject* object) const;
    DrawObject* append(std::unique_ptr<DrawObject> object);
    // An index past the end appends.
    DrawObject* insertAt(std::size_t index, std::unique_ptr<DrawObject> object);
    // Takes the object out of the list and out of the selection, handing over
    // ownership; nullptr for a bad index or an object not in the list.
    std::unique_ptr<DrawObject> takeAt(std::size_t index);
    std::unique_ptr<DrawObject> take(const DrawObject* object);
    // Empties the list and the selection.
    OwnedObjects takeAll();
    // Open: the objects become the file's, the selection and the history are emptied.
    void replaceAll(OwnedObjects objects);
    // Takes the listed top-level objects out in one pass, each with the index
    // it had, in ascending index order; objects not in the list are skipped.
    std::vector<IndexedObject> takeObjects(const ObjectRefs& objects);
    // Puts objects taken by takeObjects back at their former indices.
    void restoreObjects(std::vector<IndexedObject> objects);
    // Removes the selected objects, returning them in selection order, and
    // empties the selection.
    OwnedObjects takeSelected();

    // --- Selection ---

    const ObjectRefs& selection() const { return m_selection; }
    bool hasSelection() const { return !m_selection.empty(); }
    bool isSelected(const DrawObject* object) const;
    // Appends a top-level object that is not yet selected; false otherwise.
    bool select(DrawObject* object);
    bool deselect(const DrawObject* object);
    // Adds or removes the object.
    void toggleSelected(DrawObject* object);
    // Keeps only top-level objects, each once.
    void setSelection(const ObjectRefs& objects);
    void clearSelection();
    // Puts the selection into stacking order.
    void sortSelectionByStacking();
    // Tells the observers the handles need redrawing.
    void notifySelectionChanged();

    // --- Document state ---

    const PaintStyle& defaultStyle() const { return m_defaultStyle; }
    void setDefaultStyle(const PaintStyle& style) { m_defaultStyle = style; }
    // A new drawing's grid: a quarter inch each way, hidden, not snapping.
    static constexpr Grid kDefaultGrid { 18, 18, 0, 0 };
    const Grid& grid() const { return m_grid; }
    // A spacing below 1 point (a file without a grid line, or a damaged
    // one) takes the default's: no grid step may be empty.
    void setGrid(const Grid& grid);
    bool isLandscape() const { return m_landscape; }
    void setLandscape(bool landscape) { m_landscape = landscape; }
    const ObjectSnap& objectSnap() const { return m_objectSnap; }
    void setObjectSnap(const ObjectSnap& snap) { m_objectSnap = snap; }
    bool isModified() const { return m_modified; }
    void setModified(bool modified) { m_modified = modified; }
    const std::string& fileName() const { return m_fileName; }
    void setFileName(std::string fileName) { m_fileName = std::move(fileName); }
    // The part of the file name after its last '/', or "Untitled".
    std::string title() const;
    // Every distinct font of a text object (groups included), in stacking order.
    std::vector<const FontEntry*> documentFonts() const;

    // For edits made outside the commands (tools, undo): sets the modified
    // flag and tells the observers the screen needs repainting.
    void markEdited();
    // The same for a structural edit that is not recorded (grouping, the
    // stacking order): both undo stacks are emptied and the observers told.
    void markStructureEdited();

    UndoHistory& history() { return m_history; }
    const UndoHistory& history() const { return m_history; }
    Clipboard& clipboard() { return m_clipboard; }
    const Clipboard& clipboard() const { return m_clipboard; }

    // Observers are not owned and must be removed before they die.
    void addObserver(DrawingObserver* observer);
    void removeObserver(DrawingObserver* observer);

    // --- Queries ---

    // The last object whose contains-point test succeeds, or nullptr.
    DrawObject* topmostAt(float x, float y) const;
    // The top-level objects hit by the pick square, topmost first.
    std::vector<DrawObject*> pick(const Rect& square, const PickOptions& options) const;
    // The same search over any list, walked from its last element to its first.
    static std::vector<DrawObject*> pickIn(
        const ObjectRefs& list, const Rect& square, const PickOptions& options);
    // Whether one object (a group through its members) meets the pick tests.
    static bool pickHits(const DrawObject& object, const Rect& square, const PickOptions& options);
    // The first text object from the back (groups searched too) whose
    // laid-out lines touch the rectangle or whose box contains its centre.
    TextObject* textObjectAt(const Rect& rect) const;
    // The nearest outline point of any top-level object; nullptr when none is within tolerance.
    const DrawObject* nearestOutlinePoint(Point& point, float tolerance, float& distanceSquared) const;
    Rect selectionBox(bool includeStroke = false) const { return unionBox(m_selection, includeStroke); }
    std::size_t deepCount() const { return zavora::deepCount(m_objects); }

    // --- Commands (each does nothing on an empty selection unless noted) ---

    // Every unlocked object in stacking order, with the status texts; works
    // on an empty selection too.
    void selectAll();
    void deselectAll();
    // Deletes the selected objects through a recorded command.
    void deleteSelection();
    // Locks the selected objects and empties the selection.
    void lockSelection();
    // Every object of the drawing.
    void unlockAll();
    void bringToFront();
    void sendToBack();
    void moveForward();
    void moveBackward();
    // Per selected object (selection order), the translation Align or Space
    // evenly gives it; the commands apply these, undo can record them.
    std::vector<Point> alignOffsets(int code) const;
    std::vector<Point> spaceEvenlyOffsets(int code) const;
    void align(int code);
    void spaceEvenly(int code);
    // Align, Space evenly, Move, Scale and Rotate are recorded.
    void moveSelection(float dx, float dy);
    // The Move dialog's whole points; the axes are exchanged in landscape.
    void moveSelectionByDialog(int dx, int dy);
    // Percentages about the centre of the selection's union box.
    void scaleSelection(float horizontalPercent, float verticalPercent);
    // Degrees counter-clockwise about the centre of the selection's union box.
    void rotateSelection(float degrees);
    void group();
    void ungroup();
    void makeCompoundPath();
    void releaseCompoundPaths();
    // Empties the drawing, the history and the file name, resets the default
    // style and clears the modified flag (the save question is the shell's).
    void newDrawing();

    // A paint command (Line, Fill, Text, pens, patterns, arrowheads, pick up
    // and apply default style): updates the default style and changes the
    // selection through one recorded command when something is selected.
    // Arrowheads change the selection directly and empty the history.
    // `chosen` is the colour dialog's answer for the "Color..." commands;
    // without it they change nothing. False for other ids and a missing colour.
    bool applyPaintCommand(int commandId, const Color* chosen = nullptr);
    // A colour bar swatch: the left button fills (text objects take the text
    // colour), the right one sets the line colour; no colour is the "none"
    // swatch (transparent fill, invisible line).
    void applySwatch(bool rightButton, const std::optional<Color>& color);

    // The command ids above that need no dialog (Undo, Redo, Copy, Cut and
    // Duplicate included); false for any other id.
    bool runCommand(int commandId);
    // Align and Space-evenly codes for a command in the given orientation; -1
    // for another command.
    static int alignCodeFor(int commandId, bool landscape);
    static int spaceCodeFor(int commandId, bool landscape);

    // --- Output ---

    // Every top-level object in stacking order into the port: links around
    // objects with a URL, containers through their brackets. advance, when
    // given, is called before each object; false from it stops the walk, and
    // the result is false.
    bool emitTo(OutputPort& port, const std::function<bool()>& advance = {}) const;
    // One object with its link bracket (and its members').
    static void emitObject(const DrawObject& object, OutputPort& port);
    // Every object not hidden, in stacking order; with a clip rectangle (any
    // member other than -1) only those whose box overlaps it.
    void redraw(ScreenPainter& painter, int mode, const Rect& clip = Rect()) const;

private:
    // Removes the selected objects from the list, returning them in selection order.
    OwnedObjects removeSelected();
    // The selected objects' stacking indices, in selection order.
    std::vector<std::size_t> selectedIndices() const;
    template <class F> void notify(F f) const;
    void notifyObjectsRemoved() const;

    OwnedObjects m_objects;
    ObjectRefs m_selection;
    PaintStyle m_defaultStyle;
    Grid m_grid = kDefaultGrid;
    bool m_landscape = false;
    ObjectSnap m_objectSnap;
    bool m_modified = false;
    std::string m_fileName;
    std::vector<DrawingObserver*> m_observers;
    Clipboard m_clipboard;
    // Last, so it goes first: its commands may own objects.
    UndoHistory m_history;
};

} // namespace zavora
