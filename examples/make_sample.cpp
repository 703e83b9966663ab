// Writes examples/sample.zvx: one page showing every object kind, the nine
// hatch patterns, the twelve pens and the five arrowheads, saved by the
// program's own native writer. Usage: zavora-make-sample OUT.zvx
#include "fonts/FontCatalogue.h"
#include "model/Drawing.h"
#include "model/FontLookup.h"
#include "model/GroupObject.h"
#include "model/ImageObject.h"
#include "model/PathObjects.h"
#include "model/ShapeObjects.h"
#include "model/TextObject.h"
#include "output/PostScriptPort.h"
#include "output/Traversal.h"
#include "platform/FontSystem.h"
#include "platform/OutputStream.h"
#include "platform/Profile.h"

#include <cstdio>
#include <filesystem>
#include <unistd.h>

using namespace zavora;

namespace {

class CatalogueLookup : public FontLookup {
public:
    explicit CatalogueLookup(const FontCatalogue& c)
        : m_catalogue(c)
    { }
    const FontEntry* find(std::string_view name) const override { return m_catalogue.find(name); }
    const FontEntry* firstFont() const override
    {
        auto e = m_catalogue.entries();
        return e.empty() ? nullptr : e.front();
    }

private:
    const FontCatalogue& m_catalogue;
};

PaintStyle style(Color fill, Color line, float width, bool filled = true)
{
    PaintStyle s;
    if (filled)
        s.setFillColor(fill);
    else
        s.setFillTransparent();
    s.setLineColor(line);
    s.setLineWidth(width);
    return s;
}

template <class T> T* add(Drawing& d, std::unique_ptr<T> object, const PaintStyle& s)
{
    object->setStyle(s);
    T* raw = object.get();
    d.append(std::move(object));
    return raw;
}

const Color kBlack { 0, 0, 0 };

void addText(Drawing& d, const FontCatalogue& fonts, const char* fontName, std::string_view text, float size,
    TextAlign align, Point topLeft, Point bottomRight, Color color)
{
    const FontEntry* font = fonts.find(fontName);
    if (!font)
        font = fonts.defaultTextFont();
    if (!font)
        return;
    auto t = std::make_unique<TextObject>(text, font, size, size * 1.2f, align);
    t->setFrame(topLeft, bottomRight);
    PaintStyle s;
    s.setTextColor(color);
    s.setLineInvisible();
    t->setStyle(s);
    d.append(std::move(t));
}

void build(Drawing& d, const FontCatalogue& fonts)
{
    d.setGrid({ 18, 18, 0, 0 });

    addText(d, fonts, "Helvetica-Bold", "Zavora Draw sample", 24, TextAlign::Centre, { 106, 770 },
        { 506, 740 }, kBlack);

    // Shapes.
    auto* rect = add(
        d, std::make_unique<RectangleObject>(36, 630, 126, 700), style({ 95, 30, 25 }, { 0, 0, 60 }, 2));
    rect->setUrl("https://example.org/rectangle");
    add(d, std::make_unique<RoundRectObject>(146, 630, 236, 700, 14, 14), style({ 100, 85, 20 }, kBlack, 1));
    add(d, std::make_unique<EllipseObject>(301, 665, 45, 35), style({ 20, 70, 35 }, { 0, 30, 0 }, 3));
    auto* arc
        = add(d, std::make_unique<ArcObject>(411, 650, 45, 40, 20, 160), style({}, { 60, 0, 60 }, 2, false));
    arc->setArrows(kArrowNone, kArrowSmall);
    auto* line = add(d, std::make_unique<LineObject>(486, 640, 576, 700), style({}, kBlack, 1.5f, false));
    line->setArrows(kArrowCircle, kArrowBig);

    // Paths.
    add(d,
        std::make_unique<PolygonObject>(
            PointList { { 36, 530 }, { 81, 600 }, { 126, 530 }, { 96, 545 }, { 66, 545 } }, true),
        style({ 30, 55, 95 }, kBlack, 1));
    auto* open = add(d,
        std::make_unique<PolygonObject>(
            PointList { { 146, 530 }, { 176, 600 }, { 206, 540 }, { 236, 600 } }, false),
        style({}, { 80, 20, 0 }, 2, false));
    open->setArrows(kArrowNone, kArrowFancy);
    NodeList closed { makeNode(256, 560), makeNode(296, 605), makeNode(336, 560), makeNode(296, 525) };
    smoothNodes(closed, true);
    add(d, std::make_unique<CurveObject>(closed, true), style({ 100, 60, 70 }, { 60, 0, 20 }, 1));
    NodeList wave { makeNode(356, 540), makeNode(386, 600), makeNode(416, 540), makeNode(446, 600) };
    smoothNodes(wave, false);
    auto* curve = add(d, std::make_unique<CurveObject>(wave, false), style({}, { 0, 40, 80 }, 2.5f, false));
    curve->setArrows(kArrowSquare, kArrowBig);
    auto ring = std::make_unique<CompoundPathObject>();
    ring->appendChild(std::make_unique<RectangleObject>(476, 525, 576, 605));
    ring->appendChild(std::make_unique<EllipseObject>(526, 565, 28, 28));
    ring->setStyle(style({ 45, 45, 45 }, kBlack, 1));
    d.append(std::move(ring));

    // The nine hatch patterns.
    for (int i = 0; i < kPatternCount; ++i) {
        float x = 36 + i * 61.5f;
        PaintStyle s = style({ 100, 100, 100 }, kBlack, 1);
        s.setFillPattern(i);
        add(d, std::make_unique<RectangleObject>(x, 440, x + 50, 500), s);
    }

    // The twelve pens.
    int row = 0;
    for (const Pen& pen : pens()) {
        float y = 420 - row * 8.5f;
        float x = row < 6 ? 36 : 316;
        if (row == 6)
            y = 420;
        if (row >= 6)
            y = 420 - (row - 6) * 8.5f;
        PaintStyle s = style({}, kBlack, 1, false);
        if (pen.isDash())
            s.setDash(pen.dashIndex);
        else
            s.setLineWidth(pen.width);
        add(d, std::make_unique<LineObject>(x, y, x + 260, y), s);
        ++row;
    }

    // The five arrowheads, at both ends.
    const int arrows[] = { kArrowFancy, kArrowSmall, kArrowBig, kArrowCircle, kArrowSquare };
    for (int i = 0; i < 5; ++i) {
        float x = 36 + i * 110;
        auto* a = add(
            d, std::make_unique<LineObject>(x + 10, 330, x + 90, 330), style({}, { 0, 0, 0 }, 2, false));
        a->setArrows(arrows[i], arrows[i]);
    }

    // Text in the four alignments.
    const char* words = "The quick brown fox jumps over the lazy dog.";
    addText(d, fonts, "Times-Roman", words, 12, TextAlign::Left, { 36, 300 }, { 166, 230 }, kBlack);
    addText(d, fonts, "Helvetica", words, 12, TextAlign::Centre, { 176, 300 }, { 306, 230 }, { 0, 0, 70 });
    addText(d, fonts, "Courier", words, 11, TextAlign::Right, { 316, 300 }, { 446, 230 }, { 70, 0, 0 });
    addText(d, fonts, "Helvetica-Oblique", words, 12, TextAlign::Justified, { 456, 300 }, { 576, 230 },
        { 0, 45, 0 });

    // A picture: a colour ramp, two points a pixel.
    auto image = std::make_unique<ImageObject>();
    if (image->allocatePixels(48, 48)) {
        for (int y = 0; y < 48; ++y)
            for (int x = 0; x < 48; ++x)
                image->setPixel(x, y,
                    { static_cast<uint8_t>(x * 5), static_cast<uint8_t>(y * 5),
                        static_cast<uint8_t>(255 - x * 5) });
        image->placeAt(36, 110);
        image->scale(36, 110, 2, 2);
        d.append(std::move(image));
    }

    // A group: a house, linked.
    auto house = std::make_unique<GroupObject>();
    auto walls = std::make_unique<RectangleObject>(176, 110, 256, 170);
    walls->setStyle(style({ 90, 80, 60 }, kBlack, 1));
    auto roof = std::make_unique<PolygonObject>(PointList { { 166, 170 }, { 216, 215 }, { 266, 170 } }, true);
    roof->setStyle(style({ 70, 15, 10 }, kBlack, 1));
    auto door = std::make_unique<RectangleObject>(206, 110, 226, 145);
    door->setStyle(style({ 40, 25, 10 }, kBlack, 1));
    house->appendChild(std::move(walls));
    house->appendChild(std::move(roof));
    house->appendChild(std::move(door));
    house->setUrl("https://example.org/house");
    d.append(std::move(house));

    // Transformed shapes: a rotated square and a skewed ellipse.
    auto* turned
        = add(d, std::make_unique<RectangleObject>(306, 120, 376, 190), style({ 60, 80, 100 }, kBlack, 1));
    turned->rotate(341, 155, 30);
    auto* slanted
        = add(d, std::make_unique<EllipseObject>(466, 155, 60, 35), style({ 100, 90, 60 }, { 50, 30, 0 }, 2));
    slanted->skew(466, 155, 0.4f, 0);
    addText(d, fonts, "Helvetica",
        "Every object kind, hatch pattern, pen and arrowhead, drawn and saved by the program itself.", 9,
        TextAlign::Centre, { 36, 80 }, { 576, 60 }, { 40, 40, 40 });
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUT.zvx\n", argv[0]);
        return 2;
    }
    // A throw-away settings file: the catalogue reads its font options there.
    char folder[] = "/tmp/zavora-sample-XXXXXX";
    if (!mkdtemp(folder)) {
        std::perror("mkdtemp");
        return 1;
    }
    Profile settings(std::filesystem::path(folder) / "zavora.ini");
    FontCatalogue catalogue(systemFontSystem(), settings, std::filesystem::path(folder) / "atm.ini");
    catalogue.load();
    CatalogueLookup lookup(catalogue);
    FontLookup::setCurrent(&lookup);

    int status = 1;
    {
        Drawing drawing;
        build(drawing, catalogue);
        FileOutputStream stream(argv[1]);
        if (stream.open()) {
            ZvxFilePort port(stream);
            port.setDocumentFonts(drawing.documentFonts());
            RenderOptions options;
            options.documentPath = argv[1];
            if (renderDrawing(drawing, port, options) == RenderResult::Completed) {
                port.flush();
                status = stream.close() ? 0 : 1;
            } else {
                stream.abandon();
            }
        }
    }
    FontLookup::setCurrent(nullptr);
    catalogue.free();
    std::filesystem::remove_all(folder);
    return status;
}
