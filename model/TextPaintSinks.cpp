#include "model/TextPaintSinks.h"

#include "model/PaintStyle.h"
#include "model/TextObject.h"

#include <algorithm>

namespace zavora {

void TextCanvasSink::saveState()
{
    TextLayoutSink::saveState();
    m_canvas->saveState();
}

void TextCanvasSink::restoreState()
{
    TextLayoutSink::restoreState();
    m_canvas->restoreState();
}

void TextCanvasSink::concat(const Matrix& m)
{
    TextLayoutSink::concat(m);
    m_canvas->concat(m);
}

void TextCanvasSink::selectFont(const FontEntry* font, float size)
{
    TextLayoutSink::selectFont(font, size);
    m_canvas->selectFont(currentFont(), size);
}

// --- Draw -----------------------------------------------------------------

TextDrawSink& TextDrawSink::instance()
{
    static TextDrawSink sink;
    return sink;
}

void TextDrawSink::draw(const TextObject& text, TextCanvas& canvas)
{
    m_canvas = &canvas;
    layOut(text, kPaint);
    m_canvas = nullptr;
}

void TextDrawSink::setTextColor(const Color& color)
{
    m_canvas->setTextColor(color);
}

void TextDrawSink::line(const PlacedLine& line)
{
    if (!line.text.empty())
        m_canvas->drawText(line.x, line.baseline, line.text, 0);
}

void TextDrawSink::justifiedLine(const PlacedLine& line)
{
    m_canvas->drawText(line.x, line.baseline, line.text, justificationExtra(line));
}

// --- Baseline strokes -----------------------------------------------------

TextBaselineSink& TextBaselineSink::instance()
{
    static TextBaselineSink sink;
    return sink;
}

void TextBaselineSink::draw(const TextObject& text, TextCanvas& canvas)
{
    m_canvas = &canvas;
    layOut(text, kGeometry);
    m_canvas = nullptr;
}

void TextBaselineSink::line(const PlacedLine& line)
{
    m_canvas->strokeSegment({ line.x, line.baseline }, { line.x + line.width, line.baseline });
}

void TextBaselineSink::justifiedLine(const PlacedLine& line)
{
    const float width = std::max(line.width, line.frameWidth);
    m_canvas->strokeSegment({ line.x, line.baseline }, { line.x + width, line.baseline });
}

// --- Range highlight ------------------------------------------------------

TextRangeHighlightSink& TextRangeHighlightSink::instance()
{
    static TextRangeHighlightSink sink;
    return sink;
}

void TextRangeHighlightSink::highlight(
    const TextObject& text, TextCanvas& canvas, std::size_t from, std::size_t to)
{
    if (from > to)
        std::swap(from, to);
    if (from == to)
        return;
    m_from = from;
    m_to = to;
    m_pastRange = false;
    m_canvas = &canvas;
    layOut(text, kGeometry);
    m_canvas = nullptr;
}

void TextRangeHighlightSink::invert(const PlacedLine& line, double extraPerSpace)
{
    if (line.start >= m_to) {
        m_pastRange = true;
        return;
    }
    // A range that runs on past the line's break reaches the line's end.
    if (m_from > line.end || (m_from == line.end && m_to <= line.end))
        return;
    const double x1 = line.x + prefixWidth(line, std::max(m_from, line.start), extraPerSpace);
    const double x2 = line.x + prefixWidth(line, std::min(m_to, line.end), extraPerSpace);
    if (x2 > x1)
        m_canvas->invertRect(static_cast<float>(x1), line.baseline + m_descent, static_cast<float>(x2),
            line.baseline + m_ascent);
}

void TextRangeHighlightSink::line(const PlacedLine& line)
{
    invert(line, 0);
}

void TextRangeHighlightSink::justifiedLine(const PlacedLine& line)
{
    invert(line, justificationExtra(line));
}

} // namespace zavora
