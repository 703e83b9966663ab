#pragma once
// The text tool: drags the box of a new text and types into it, opens an
// existing text for editing in place (a caret, a selected range of
// characters, the editing keys), and is the editing tool that drags the
// corners of a selected text's box. Each editing session is one step in the
// history, recorded when the editing ends.
//
// Text holds 8-bit characters (Windows Latin 1); the window maps what the
// keyboard types before it arrives here.

#include "model/Drawing.h"
#include "model/TextObject.h"
#include "tools/Tool.h"

#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace zavora {

class TextTool : public Tool, private DrawingObserver {
public:
    enum State : int {
        Idle = 0,
        Sizing = 1, // dragging the box of a new text
        Typing = 2, // a new text, not yet in the drawing
        Attached = 100,
        Reframing = 101, // dragging a corner of a selected text's box
        Pressed = 1001, // pressed on an existing text
        Editing = 1002, // editing an existing text
    };
    // keyDown's codes besides the characters themselves.
    enum Key : int {
        kKeyNone = 0,
        kKeyEnd = 1,
        kKeyHome = 2,
        kKeyLeft = 3,
        kKeyUp = 4,
        kKeyRight = 5,
        kKeyDown = 6,
        kKeyDelete = 7,
        kKeyBackspace = 8,
        kKeyEnter = 13,
    };

    explicit TextTool(ToolView& view);
    ~TextTool() override;

    void attach(DrawObject& object) override;
    void activate() override;
    void deactivate() override;
    int hitHandle(float x, float y) override;
    void keyDown(int key, bool shiftHeld) override;
    void mouseDown(float x, float y, bool shift) override;
    void mouseDrag(float x, float y, bool shift) override;
    void mouseUp(float x, float y, bool shift) override;
    // While editing: selects the word under the point.
    void doubleClick(float x, float y, bool shift) override;
    Rect overlayBox() const override;
    void drawOverlay() override;

    // Opens an existing text for editing with the caret at a point (the
    // selection tool's double click).
    void editExisting(TextObject& text, Point at);

    State state() const { return m_state; }
    bool editing() const { return m_state == Typing || m_state == Editing; }
    // The text being typed or edited; nullptr when none.
    TextObject* editedText() const;
    // Whether ending the editing now records a step (so Undo has work).
    bool hasPendingStep() const;
    std::size_t caret() const { return m_caret; }
    // The selected characters as [first, last).
    std::pair<std::size_t, std::size_t> selection() const;

    // The editing commands of the keyboard and the clipboard.
    std::string selectedCharacters() const;
    void selectAll();
    // Replaces the selected characters; a line feed (or CR LF) becomes a
    // hard break, other control characters are dropped.
    void insertCharacters(std::string_view characters);
    // Shows or hides the caret (its blink).
    void blink();
    // A text colour chosen while a text is edited (the colour bar, the
    // style bar) goes to that text as well: a new text takes it as part of
    // its creation, an existing one through a step of its own.
    void takeTextColor(const Color& color);

private:
    // DrawingObserver: an edited text that leaves the drawing is let go.
    void objectsRemoved() override;

    // The character index nearest to a drawing point.
    std::size_t charAt(Point p) const;
    void placeCaret(Point p);
    // Deletes [first, last) and puts the caret at first.
    void erase(std::size_t first, std::size_t last);
    void applyKey(int key);
    // Lays the text out again and repaints what it covered and covers.
    void textChanged(const Rect& before);
    // The caret on (its blink restarted) and the typing prompt, after a
    // key or a click; `before` as for textChanged.
    void showCaret(const Rect& before);
    // Ends the editing session: records it, selects the text, state 0.
    void finishEditing();
    void startEditing(TextObject& text);
    // Takes m_object's runs and frame as the state an edit or a reframe is undone to.
    void keepStateBefore();
    // The rubber band of a box being dragged, drawn inverted (twice erases it).
    void toggleRubberBand();
    // The caret's foot and head in drawing space.
    std::pair<Point, Point> caretSegment() const;
    Rect caretBox() const;
    void clearState();

    State m_state = Idle;
    std::unique_ptr<TextObject> m_creating; // a new text while it is typed
    TextObject* m_object = nullptr; // an existing text: attached or edited
    std::size_t m_caret = 0;
    std::size_t m_anchor = 0; // the selection runs from here to the caret
    bool m_caretShown = true;
    bool m_dragSelecting = false;
    // The box being dragged (drawing space) and whether it is on the screen.
    Point m_press, m_corner;
    bool m_rubberShown = false;
    int m_handle = -1;
    // The text as it was when editing or a corner drag began (undo).
    std::vector<TextRun> m_runsBefore;
    Point m_corner1Before, m_corner2Before;
    Rect m_boxBefore;
};

} // namespace zavora
