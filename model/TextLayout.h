#pragma once
// The text layout: reflow writes line breaks into a text object's runs and
// fits its frame to them; the layout walk places the broken lines inside the
// frame and hands each one to a sink. Every user of laid-out text (screen
// drawing, measuring, hit tests, caret placement) is a sink of the same walk.
//
// Character indices count bytes of the runs' texts joined in order (what
// TextObject::text() returns); a run's end adds no index of its own.
//
// The sinks are process-wide and not re-entrant, like the geometry kernel.

#include "model/Geometry.h"

#include <cstddef>
#include <string_view>
#include <vector>

namespace zavora {

class FontEntry;
struct Color;
struct TextRun;
class TextObject;

// One placed line, in object space.
struct PlacedLine {
    float x = 0; // left end of the line
    float baseline = 0;
    std::string_view text; // without its terminating break
    std::size_t start = 0; // index of its first character
    std::size_t end = 0; // index just past its last character
    float width = 0; // natural width in its font and size
    bool last = false; // last line of its paragraph (ended at a hard break or a run's end)
    int spaces = 0; // space characters in the line
    float frameWidth = 0; // the width a justified line is spread to
};

// The abstract receiver of one layout walk. The base keeps the state every
// sink shares and a matrix stack of its own; sinks that draw map the state
// operations to their target instead.
class TextLayoutSink {
public:
    static constexpr int kPaint = 1; // layOut mode: paint (colours are set)
    static constexpr int kGeometry = 0; // any other value: geometry only
    // A longer stretch without a break is cut into lines of this many characters.
    static constexpr std::size_t kMaxLineLength = 511;

    virtual ~TextLayoutSink() = default;
    TextLayoutSink(const TextLayoutSink&) = delete;
    TextLayoutSink& operator=(const TextLayoutSink&) = delete;

    // The frame of the text being laid out (object space, y up).
    virtual float frameTop() const;
    virtual float frameLeft() const;
    virtual float frameRight() const;
    virtual float frameCentreX() const;
    virtual float frameWidth() const;
    // True ends the walk after the current line.
    virtual bool stopRequested() const { return m_stop; }

    virtual void saveState();
    virtual void restoreState();
    // Current matrix := m × current matrix.
    virtual void concat(const Matrix& m);
    virtual void setTextColor(const Color& color);
    // Records the font, size, ascent and descent (zero without a font).
    virtual void selectFont(const FontEntry* font, float size);

    // Called for every placed line except justified ones.
    virtual void line(const PlacedLine& line);
    // A justified line: spread from x to x + frameWidth over its spaces.
    virtual void justifiedLine(const PlacedLine& line);

    // The walk: mode kPaint also sets the text colour from the object's style.
    virtual void layOut(const TextObject& text, int mode);

protected:
    TextLayoutSink() = default;

    // Width of a piece of text in the current font and size.
    double measure(std::string_view text) const;
    // Extra width a justified line gives each of its spaces.
    static double justificationExtra(const PlacedLine& line);
    // Width of the line's characters before index `upTo` (clamped to the
    // line), each space widened by extraPerSpace.
    double prefixWidth(const PlacedLine& line, std::size_t upTo, double extraPerSpace) const;
    const KMatrix& currentMatrix() const { return m_matrix; }
    const FontEntry* currentFont() const { return m_font; }
    void requestStop() { m_stop = true; }

    const TextObject* m_object = nullptr;
    const FontEntry* m_font = nullptr;
    float m_size = 0;
    float m_leading = 0;
    float m_ascent = 0; // positive, above the baseline
    float m_descent = 0; // negative, below the baseline

private:
    bool m_stop = false;
    KMatrix m_matrix;
    std::vector<KMatrix> m_savedMatrices;
};

// Where reflow decides to break: turns soft breaks (line feeds) back into
// spaces, then writes a line feed where a line must wrap to fit `available`.
// Hard breaks (carriage returns) and run ends start a new line.
void breakRuns(std::vector<TextRun>& runs, double available);

} // namespace zavora
