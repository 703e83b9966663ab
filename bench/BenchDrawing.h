#pragma once
// The generated drawings the benchmarks share. The file benchmarks' one holds
// 100 000 objects of every kind (lines, rectangles, rounded rectangles,
// ellipses, arcs, polygons, curves, small images, text blocks) in varied
// colours and pens, rotated, some grouped, some linked; the window benchmarks
// scatter small shapes over a page. Fixed seeds make every run the same drawing.

#include "model/Drawing.h"
#include "model/FontEntry.h"
#include "model/FontLookup.h"
#include "model/GroupObject.h"
#include "model/ImageObject.h"
#include "model/PathObjects.h"
#include "model/ShapeObjects.h"
#include "model/TextObject.h"

#include <cstdint>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <string_view>

namespace zavora::bench {

constexpr int kObjects = 100000;

class BenchFont : public FontEntry {
public:
    BenchFont()
    {
        m_metrics.ascent = 718;
        m_metrics.widths.fill(556);
        m_metrics.metricsLoaded = true;
    }
    bool isTrueType() const override { return false; }
    std::string postScriptName() const override { return "Helvetica"; }
    std::string faceName() const override { return "Helvetica"; }
    int styleBits() const override { return 0; }
    const FontMetrics& metrics() const override { return m_metrics; }
    bool download(OutputStream&, const DownloadOptions&) const override { return false; }

private:
    FontMetrics m_metrics;
};

// A catalogue of the one bench font, installed as the current lookup so the
// reader finds the font the writer named.
class BenchCatalogue : public FontLookup {
public:
    const FontEntry* find(std::string_view name) const override
    {
        return name == "Helvetica" ? &m_font : nullptr;
    }
    const FontEntry* firstFont() const override { return &m_font; }

private:
    BenchFont m_font;
};

inline const FontEntry& benchFont()
{
    static BenchCatalogue fonts;
    FontLookup::setCurrent(&fonts);
    return *fonts.firstFont();
}

constexpr int kBasicShapes = 6;

// Basic shape `kind` (0 to kBasicShapes - 1: line, rectangle, rounded
// rectangle, ellipse, arc, polygon) placed at x, y with the extent w, h.
inline std::unique_ptr<DrawObject> makeBasicShape(int kind, float x, float y, float w, float h)
{
    switch (kind) {
    case 0:
        return std::make_unique<LineObject>(x, y, x + w, y + h);
    case 1:
        return std::make_unique<RectangleObject>(x, y, x + w, y + h);
    case 2:
        return std::make_unique<RoundRectObject>(x, y, x + w, y + h, 6, 6);
    case 3:
        return std::make_unique<EllipseObject>(x, y, w, h);
    case 4:
        return std::make_unique<ArcObject>(x, y, w, h, 30, 300);
    case 5:
        return std::make_unique<PolygonObject>(
            PointList { { x, y }, { x + w, y }, { x + w / 2, y + h }, { x, y + h / 2 } }, true);
    default:
        return nullptr;
    }
}

// A 4 x 3 pixel image placed at x, y.
inline std::unique_ptr<DrawObject> makeSmallImage(float x, float y)
{
    auto image = std::make_unique<ImageObject>();
    image->allocatePixels(4, 3);
    image->placeAt(x, y);
    return image;
}

// The drawing `fill` makes of `count` objects, made once per count.
template <class Fill> const Drawing& drawingOnce(int count, Fill fill)
{
    static std::map<int, std::unique_ptr<Drawing>> made;
    auto& slot = made[count];
    if (!slot) {
        slot = std::make_unique<Drawing>();
        fill(*slot, count);
    }
    return *slot;
}

inline std::unique_ptr<DrawObject> makeObject(int i, std::mt19937& rng)
{
    std::uniform_real_distribution<float> pos(0, 5000), size(5, 80);
    const float x = pos(rng), y = pos(rng), w = size(rng), h = size(rng);
    std::unique_ptr<DrawObject> o;
    switch (i % 9) {
    case 0:
        o = makeBasicShape(0, x, y, w, h);
        o->setArrows(i % 5 == 0 ? kArrowBig : kArrowNone, kArrowNone);
        break;
    case 6:
        o = std::make_unique<CurveObject>(
            NodeList { { x, y, x, y, x + w, y, 0 }, { x + w, y + h, x + w, y, x, y + h, kCornerNode } },
            false);
        break;
    case 7:
        o = makeSmallImage(x, y);
        break;
    case 8: {
        auto text = std::make_unique<TextObject>(
            "A line of text\rand (another)", &benchFont(), 12, 14, static_cast<TextAlign>(i % 4));
        text->setFrame({ x, y }, { x + 120, y + 40 });
        o = std::move(text);
        break;
    }
    default:
        o = makeBasicShape(i % 9, x, y, w, h);
    }
    if (i % 3 == 0)
        o->setFillColor(Color::fromInts(i % 256, (i / 7) % 256, 40));
    if (i % 11 == 0)
        o->setDash(i % 4);
    if (i % 13 == 0)
        o->setLineWidth(float(i % 6));
    if (i % 17 == 0)
        o->setFillPattern(i % 9);
    if (i % 50 == 0)
        o->setUrl("http://example.com/object/" + std::to_string(i));
    o->rotate(x, y, float(i % 90));
    return o;
}

// The generated drawing, made once: every hundredth place holds a group of four.
inline const Drawing& benchDrawing()
{
    static Drawing drawing;
    if (drawing.objectCount() == 0) {
        std::mt19937 rng(7);
        int made = 0;
        while (made < kObjects) {
            if (made % 100 == 0 && made + 5 <= kObjects) {
                auto group = std::make_unique<GroupObject>();
                for (int k = 0; k < 4; ++k)
                    group->appendChild(makeObject(made++, rng));
                drawing.append(std::move(group));
                ++made;
            } else {
                drawing.append(makeObject(made++, rng));
            }
        }
    }
    return drawing;
}

// Appends `count` small rectangles, ellipses, triangles and lines scattered
// over a letter page, each filled with its own colour.
inline void appendScatteredShapes(Drawing& drawing, int count, std::uint32_t seed)
{
    std::mt19937 random(seed);
    std::uniform_real_distribution<float> x(0, 600), y(0, 780), size(2, 40), percent(0, 100);
    for (int i = 0; i < count; ++i) {
        const float x0 = x(random), y0 = y(random), s = size(random);
        std::unique_ptr<DrawObject> object;
        switch (i % 4) {
        case 0:
            object = std::make_unique<RectangleObject>(x0, y0, x0 + s, y0 + s * 0.7f);
            break;
        case 1:
            object = std::make_unique<EllipseObject>(x0, y0, s / 2, s / 3);
            break;
        case 2:
            object = std::make_unique<PolygonObject>(
                PointList { { x0, y0 }, { x0 + s, y0 + s / 2 }, { x0 + s / 3, y0 + s } }, true);
            break;
        default:
            object = std::make_unique<LineObject>(x0, y0, x0 + s, y0 - s);
            break;
        }
        PaintStyle style;
        style.setFillColor({ percent(random), percent(random), percent(random) });
        object->setStyle(style);
        drawing.append(std::move(object));
    }
}

} // namespace zavora::bench
