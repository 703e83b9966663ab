#pragma once
// The layout sinks that paint: the text itself, its baselines as strokes (the
// wireframe view) and the inverted highlight of a selected range. They paint
// through a TextCanvas, which the screen output implements; coordinates given
// to the canvas are object space, mapped by the matrices it is handed.

#include "model/TextLayout.h"

#include <cstddef>
#include <string_view>

namespace zavora {

class TextCanvas {
public:
    virtual ~TextCanvas() = default;

    virtual void saveState() = 0;
    virtual void restoreState() = 0;
    // Current matrix := m × current matrix.
    virtual void concat(const Matrix& m) = 0;
    // Percentages 0 to 100.
    virtual void setTextColor(const Color& color) = 0;
    // font may be nullptr (an empty catalogue): nothing is drawn then.
    virtual void selectFont(const FontEntry* font, float size) = 0;
    // The text with its baseline starting at (x, y), every space widened by
    // extraPerSpace (justified lines).
    virtual void drawText(float x, float y, std::string_view text, double extraPerSpace) = 0;
    virtual void strokeSegment(Point from, Point to) = 0;
    // Inverts the pixels of the rectangle.
    virtual void invertRect(float left, float bottom, float right, float top) = 0;
};

// Shared part of the painting sinks: the state operations go to the canvas.
class TextCanvasSink : public TextLayoutSink {
public:
    void saveState() override;
    void restoreState() override;
    void concat(const Matrix& m) override;
    void selectFont(const FontEntry* font, float size) override;

protected:
    TextCanvasSink() = default;
    TextCanvas* m_canvas = nullptr;
};

class TextDrawSink : public TextCanvasSink {
public:
    static TextDrawSink& instance();

    // The lines in the object's text colour.
    void draw(const TextObject& text, TextCanvas& canvas);

    void setTextColor(const Color& color) override;
    void line(const PlacedLine& line) override;
    void justifiedLine(const PlacedLine& line) override;

private:
    TextDrawSink() = default;
};

// Each line as one stroke along its baseline, over the width it is drawn at.
class TextBaselineSink : public TextCanvasSink {
public:
    static TextBaselineSink& instance();

    void draw(const TextObject& text, TextCanvas& canvas);

    void line(const PlacedLine& line) override;
    void justifiedLine(const PlacedLine& line) override;

private:
    TextBaselineSink() = default;
};

// Inverts, on every line the index range [from, to) reaches, the stretch from
// the range's start (or the line's start) to its end (or the line's end),
// between the descent and the ascent.
class TextRangeHighlightSink : public TextCanvasSink {
public:
    static TextRangeHighlightSink& instance();

    void highlight(const TextObject& text, TextCanvas& canvas, std::size_t from, std::size_t to);

    void line(const PlacedLine& line) override;
    void justifiedLine(const PlacedLine& line) override;

private:
    TextRangeHighlightSink() = default;
    void invert(const PlacedLine& line, double extraPerSpace);
    bool stopRequested() const override { return m_pastRange || TextCanvasSink::stopRequested(); }

    std::size_t m_from = 0;
    std::size_t m_to = 0;
    bool m_pastRange = false;
};

} // namespace zavora
