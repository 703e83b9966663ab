#include "model/TextSinks.h"

#include "model/FontEntry.h"
#include "model/Geometry.h"
#include "model/TextObject.h"

#include <algorithm>
#include <cmath>
#include <optional>

namespace zavora {

namespace {

Point apply(const KMatrix& m, double x, double y)
{
    return { static_cast<float>(m.a * x + m.c * y + m.tx), static_cast<float>(m.b * x + m.d * y + m.ty) };
}

// The point in the space the matrix maps from; nullopt for a flat matrix.
std::optional<Point> applyInverse(const KMatrix& m, Point p)
{
    const double det = m.a * m.d - m.b * m.c;
    if (det == 0 || !std::isfinite(det))
        return std::nullopt;
    const double x = p.x - m.tx, y = p.y - m.ty;
    return Point { static_cast<float>((m.d * x - m.c * y) / det),
        static_cast<float>((m.a * y - m.b * x) / det) };
}

// The extent a line takes on the page: a justified line reaches the frame width.
float drawnWidth(const PlacedLine& line, bool justified)
{
    return justified ? std::max(line.width, line.frameWidth) : line.width;
}

} // namespace

// --- Metrics --------------------------------------------------------------

TextMetricsSink& TextMetricsSink::instance()
{
    static TextMetricsSink sink;
    return sink;
}

Rect TextMetricsSink::measure(const TextObject& text, Point origin)
{
    m_origin = origin;
    m_any = false;
    m_box = { origin.x, origin.y, origin.x, origin.y };
    if (!text.runs().front().font)
        return m_box;
    const FontEntry* first = text.runs().front().font;
    const float firstAscent = static_cast<float>(first->ascent(text.runs().front().size));
    layOut(text, kGeometry);
    m_box.bottom += firstAscent;
    m_box.top += firstAscent;
    return m_box;
}

void TextMetricsSink::widen(float x, float width, float baseline)
{
    const float yLow = baseline + m_descent, yHigh = baseline + m_ascent;
    if (!m_any) {
        m_box = { x, yLow, x + width, yHigh };
        m_any = true;
        return;
    }
    m_box.left = std::min(m_box.left, x);
    m_box.right = std::max(m_box.right, x + width);
    m_box.bottom = std::min(m_box.bottom, yLow);
    m_box.top = std::max(m_box.top, yHigh);
}

void TextMetricsSink::line(const PlacedLine& line)
{
    widen(line.x, line.width, line.baseline);
}

void TextMetricsSink::justifiedLine(const PlacedLine& line)
{
    TextMetricsSink::line(line);
}

// --- Outline hit ----------------------------------------------------------

TextOutlineHitSink& TextOutlineHitSink::instance()
{
    static TextOutlineHitSink sink;
    return sink;
}

bool TextOutlineHitSink::hit(const TextObject& text, const Rect& pick, bool testFrame)
{
    m_pick = normalized(pick);
    m_found = false;
    if (testFrame) {
        const KMatrix m(text.matrix());
        const Rect f = text.frameRect();
        const Point corners[4] = { apply(m, f.left, f.top), apply(m, f.right, f.top),
            apply(m, f.right, f.bottom), apply(m, f.left, f.bottom) };
        for (int k = 0; k < 4; ++k)
            if (segmentMeetsRect(corners[k], corners[(k + 1) % 4], m_pick))
                return true;
    }
    layOut(text, kGeometry);
    return m_found;
}

void TextOutlineHitSink::testSegment(float x, float y, float width)
{
    if (segmentMeetsRect(apply(currentMatrix(), x, y), apply(currentMatrix(), x + width, y), m_pick)) {
        m_found = true;
        requestStop();
    }
}

void TextOutlineHitSink::line(const PlacedLine& line)
{
    testSegment(line.x, line.baseline, line.width);
}

void TextOutlineHitSink::justifiedLine(const PlacedLine& line)
{
    testSegment(line.x, line.baseline, drawnWidth(line, true));
}

// --- Interior hit ---------------------------------------------------------

TextInteriorHitSink& TextInteriorHitSink::instance()
{
    static TextInteriorHitSink sink;
    return sink;
}

bool TextInteriorHitSink::hit(const TextObject& text, Point point)
{
    m_found = false;
    const Rect box = text.boundingBox();
    if (point.x < box.left || point.x > box.right || point.y < box.bottom || point.y > box.top)
        return false;
    const std::optional<Point> local = applyInverse(KMatrix(text.matrix()), point);
    if (!local)
        return false;
    m_point = *local;
    layOut(text, kGeometry);
    return m_found;
}

void TextInteriorHitSink::testBox(float x, float y, float width)
{
    if (m_point.x >= x && m_point.x <= x + width && m_point.y >= y && m_point.y <= y + m_ascent) {
        m_found = true;
        requestStop();
    }
}

void TextInteriorHitSink::line(const PlacedLine& line)
{
    testBox(line.x, line.baseline, line.width);
}

void TextInteriorHitSink::justifiedLine(const PlacedLine& line)
{
    testBox(line.x, line.baseline, drawnWidth(line, true));
}

// --- Character from point -------------------------------------------------

CharFromPointSink& CharFromPointSink::instance()
{
    static CharFromPointSink sink;
    return sink;
}

std::size_t CharFromPointSink::charAt(const TextObject& text, Point point)
{
    m_found = false;
    m_index = text.text().size();
    const std::optional<Point> local = applyInverse(KMatrix(text.matrix()), point);
    if (!local)
        return m_index;
    m_point = *local;
    layOut(text, kGeometry);
    return m_index;
}

void CharFromPointSink::place(const PlacedLine& line, double extraPerSpace)
{
    if (m_found || !(line.baseline + m_descent < m_point.y))
        return;
    m_found = true;
    // Half a point of slack stands in for comparing rounded values: rounding
    // both sides would flip a point that lies exactly on a character's edge
    // to either side, depending on float noise.
    const double px = m_point.x - 0.5;
    double prefix = 0;
    std::size_t k = 0;
    while (k < line.text.size() && px > line.x + prefix) {
        const unsigned char c = static_cast<unsigned char>(line.text[k]);
        prefix += m_font ? m_font->charWidth(c, m_size) : 0.0;
        if (c == ' ')
            prefix += extraPerSpace;
        ++k;
    }
    m_index = line.start + k;
    requestStop();
}

void CharFromPointSink::line(const PlacedLine& line)
{
    place(line, 0);
}

void CharFromPointSink::justifiedLine(const PlacedLine& line)
{
    place(line, justificationExtra(line));
}

// --- Point from character -------------------------------------------------

PointFromCharSink& PointFromCharSink::instance()
{
    static PointFromCharSink sink;
    return sink;
}

Point PointFromCharSink::pointAt(const TextObject& text, std::size_t index)
{
    m_index = index;
    m_found = false;
    m_objectPoint = {};
    layOut(text, kGeometry);
    return apply(KMatrix(text.matrix()), m_objectPoint.x, m_objectPoint.y);
}

void PointFromCharSink::place(const PlacedLine& line, double extraPerSpace)
{
    // Remember every line's end, so an index past the text lands after the last one.
    const std::size_t upTo = std::min(m_index, line.end);
    if (upTo < line.start)
        return;
    const double prefix = prefixWidth(line, upTo, extraPerSpace);
    m_objectPoint = { static_cast<float>(line.x + prefix), line.baseline };
    if (m_index <= line.end) {
        m_found = true;
        requestStop();
    }
}

void PointFromCharSink::line(const PlacedLine& line)
{
    place(line, 0);
}

void PointFromCharSink::justifiedLine(const PlacedLine& line)
{
    place(line, justificationExtra(line));
}

} // namespace zavora
