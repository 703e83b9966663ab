#pragma once
// A block of text in one font, size, leading and alignment, placed inside a
// frame whose top-left corner is the object origin. Every change of text,
// font, size, leading, alignment or frame reflows the text (TextLayout.h):
// soft breaks are rewritten and the frame is fitted to the lines.

#include "model/DrawObject.h"
#include "model/OutputPort.h"
#include "model/ShapeObjects.h"

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace zavora {

class FontEntry;
class FontLookup;

// One run of text: line feeds are soft breaks, carriage returns hard ones.
struct TextRun {
    std::string text;
    const FontEntry* font = nullptr; // owned by the catalogue
    float size = 0;

    bool operator==(const TextRun&) const = default;
};

// The font of a new text object: the first of the preferred PostScript names
// that the current catalogue knows, else its first font, else nullptr.
const FontEntry* defaultTextFont();
const FontEntry* defaultTextFont(const FontLookup& catalogue);
const std::vector<std::string_view>& preferredTextFontNames();
// The font text is laid out and drawn with: the font itself, or when its
// metrics cannot be read (its files are gone) the default text font, so the
// text keeps its place. The first such use of each font is reported.
const FontEntry* drawableFont(const FontEntry* font);

class TextObject : public DrawObject {
public:
    static constexpr float kDefaultFrameSide = 144; // two inches

    // One run holding a copy of text; default frame, fill on, black fill; reflowed.
    TextObject(std::string_view text, const FontEntry* font, float size, float leading, TextAlign alignment);
    TextObject(const TextObject& other) = default;

    // The text of a plain text file: every pair of line feeds becomes two
    // hard breaks, a final line feed is dropped; default font, 24 on 26, left.
    static std::unique_ptr<TextObject> fromTextFile(std::string_view fileText);

    ObjectType type() const override { return ObjectType::Text; }
    // None: text is hit through its box.
    void buildOutline() const override { }
    // Mode kDrawFinal: the laid-out lines in the text colour; any other mode:
    // each line's baseline as a stroke (the wireframe view).
    void drawOnScreen(ScreenPainter& painter, int mode) const override;
    // The frame's corners (the layout walk draws the real handles).
    std::vector<Point> handlePoints() const override;
    void emit(OutputPort& port) const override;
    std::unique_ptr<DrawObject> clone() const override;
    EditToolId editTool() const override { return EditToolId::Text; }

    // Never hit as a filled area or through the outline-point search: clicks
    // rely on the lines and the box.
    bool containsPoint(float x, float y) const override;
    bool nearestOutlinePoint(Point& point, float tolerance, float& distanceSquared) const override;
    // Whether a laid-out line's baseline meets the rectangle (drawing space,
    // corners in any order). A text without a font has no lines: its frame
    // stands in for them.
    bool touchesRect(float x1, float y1, float x2, float y2) const override;
    // Whether the point (drawing space) lies on a laid-out line, between its
    // baseline and the ascent.
    bool linesContain(float x, float y) const;
    // Whether the text box (drawing space) contains the point.
    bool boxContains(float x, float y) const;

    const std::vector<TextRun>& runs() const { return m_runs; }
    // An empty list leaves one empty run in the first run's font and size.
    void setRuns(std::vector<TextRun> runs);
    // All runs' text, in order.
    std::string text() const;
    // The text becomes the first run's; later runs go.
    void setText(std::string text);
    const FontEntry* font() const { return m_runs.front().font; }
    float size() const { return m_runs.front().size; }
    float leading() const { return m_leading; }
    TextAlign alignment() const { return m_alignment; }
    const RectangleObject& frame() const { return m_frame; }
    // The frame as left, bottom, right, top in object space, whatever the
    // order of its corners.
    Rect frameRect() const;

    // Set on the first run.
    void setFontAndSize(const FontEntry* font, float size);
    void setLeading(float leading);
    void setAlignment(TextAlign alignment);
    void setFrame(Point corner1, Point corner2);

    // Breaks the lines to the frame's width (widening it for a word that does
    // not fit), sets the frame's bottom below the last line and drops the
    // cached box. Without a font nothing can be measured: the text and the
    // frame stay as they are.
    void reflow();
    // Puts back values this object held earlier (undo), without laying the
    // text out: a new layout of laid-out text need not give the same breaks.
    void restoreText(std::vector<TextRun> runs, float leading, TextAlign alignment, Point corner1, Point corner2);

protected:
    // The frame's four corners mapped by the matrix.
    Rect computeBox() const override;

private:
    float m_leading;
    TextAlign m_alignment;
    RectangleObject m_frame;
    std::vector<TextRun> m_runs; // never empty
};

// Calls f for every text object in object, descending into groups.
void forEachTextObject(DrawObject& object, const std::function<void(TextObject&)>& f);
void forEachTextObject(const DrawObject& object, const std::function<void(const TextObject&)>& f);

} // namespace zavora
