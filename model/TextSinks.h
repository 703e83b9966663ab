#pragma once
// The layout sinks that need no screen: measuring, the two hit tests and the
// caret's two directions. Each is a process-wide singleton built on first use.
//
// The sinks that paint go through a canvas the screen provides
// (TextPaintSinks.h).

#include "model/TextLayout.h"

#include <cstddef>

namespace zavora {

// Measures laid-out text at a given origin: operations 1 to 5 answer from the
// origin rather than the frame, so every line is placed relative to it.
class TextMetricsSink : public TextLayoutSink {
public:
    static TextMetricsSink& instance();

    // The box of all lines (left, bottom, right, top), its top at origin.y plus
    // the first font's ascent. Text without a font measures to an empty box at
    // the origin.
    Rect measure(const TextObject& text, Point origin);

    float frameTop() const override { return m_origin.y; }
    float frameLeft() const override { return m_origin.x; }
    float frameRight() const override { return m_origin.x; }
    float frameCentreX() const override { return m_origin.x; }
    float frameWidth() const override { return 0; }
    void line(const PlacedLine& line) override;
    void justifiedLine(const PlacedLine& line) override;

private:
    TextMetricsSink() = default;
    void widen(float x, float width, float baseline);

    Point m_origin;
    Rect m_box;
    bool m_any = false;
};

// Hit test through the lines' baselines: a baseline segment, under the
// object's matrix, that meets the pick rectangle is a hit.
class TextOutlineHitSink : public TextLayoutSink {
public:
    static TextOutlineHitSink& instance();

    // Drawing coordinates, corners in any order. With testFrame the frame's
    // outline is tested first and a hit there counts.
    bool hit(const TextObject& text, const Rect& pick, bool testFrame = false);

    void line(const PlacedLine& line) override;
    void justifiedLine(const PlacedLine& line) override;

private:
    TextOutlineHitSink() = default;
    void testSegment(float x, float y, float width);

    Rect m_pick;
    bool m_found = false;
};

// Interior hit test: the point lies in a line's box (x to x + width, baseline
// to baseline + ascent) under the object's matrix.
class TextInteriorHitSink : public TextLayoutSink {
public:
    static TextInteriorHitSink& instance();

    // Drawing coordinates. A point outside the object's box is a miss at once.
    bool hit(const TextObject& text, Point point);

    void line(const PlacedLine& line) override;
    void justifiedLine(const PlacedLine& line) override;

private:
    TextInteriorHitSink() = default;
    void testBox(float x, float y, float width);

    Point m_point; // object space
    bool m_found = false;
};

// The character under a point, for placing the caret by mouse.
class CharFromPointSink : public TextLayoutSink {
public:
    static CharFromPointSink& instance();

    // The point in drawing coordinates. The index of the character the caret
    // goes before; past all lines, the end of the text.
    std::size_t charAt(const TextObject& text, Point point);
    // Whether the last charAt found a line at the point's height.
    bool found() const { return m_found; }

    void line(const PlacedLine& line) override;
    void justifiedLine(const PlacedLine& line) override;

private:
    CharFromPointSink() = default;
    void place(const PlacedLine& line, double extraPerSpace);

    Point m_point; // object space
    std::size_t m_index = 0;
    bool m_found = false;
};

// Where the caret stands before a character: the line holding the index, at
// the width of the line's prefix up to it.
class PointFromCharSink : public TextLayoutSink {
public:
    static PointFromCharSink& instance();

    // Drawing coordinates of the caret's foot on the baseline; an index past
    // the text gives the end of the last line.
    Point pointAt(const TextObject& text, std::size_t index);
    // The same point in object space.
    Point objectPoint() const { return m_objectPoint; }
    bool found() const { return m_found; }

    void line(const PlacedLine& line) override;
    void justifiedLine(const PlacedLine& line) override;

private:
    PointFromCharSink() = default;
    void place(const PlacedLine& line, double extraPerSpace);

    std::size_t m_index = 0;
    Point m_objectPoint;
    bool m_found = false;
};

} // namespace zavora
