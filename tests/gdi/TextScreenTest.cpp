// Text on the screen canvas and in GdiPort renders, checked against the line
// boxes of a geometry walk and against the frame's edges.

// Model and raster headers before any Qt header: Qt defines `emit` as a macro.
#include "ScreenTestSupport.h"
#include "model/FontEntry.h"
#include "model/PaintStyle.h"
#include "model/ShapeObjects.h"
#include "model/TextLayout.h"
#include "model/TextObject.h"
#include "model/TextPaintSinks.h"
#include "raster/DeviceTextCanvas.h"
#include "raster/GdiPort.h"

#include "ImageCheck.h"

#include "tests/support/SystemFonts.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

namespace zavora::test {
namespace {

// Each placed line's box in drawing space: x .. x + drawn width, baseline +
// descent .. baseline + ascent.
struct LineBox {
    float left, bottom, right, top;
};

class LineBoxSink : public TextLayoutSink {
public:
    std::vector<LineBox> boxes;
    void line(const PlacedLine& l) override { add(l, l.width); }
    void justifiedLine(const PlacedLine& l) override { add(l, std::max(l.width, l.frameWidth)); }

private:
    void add(const PlacedLine& l, float width)
    {
        const Point a = transformPoint(currentMatrix(), { l.x, l.baseline + m_descent });
        const Point b = transformPoint(currentMatrix(), { l.x + width, l.baseline + m_ascent });
        if (!l.text.empty())
            boxes.push_back(
                { std::min(a.x, b.x), std::min(a.y, b.y), std::max(a.x, b.x), std::max(a.y, b.y) });
    }
};

const char* const kParagraph = "Pack my box with five dozen liquor jugs while the quick brown fox jumps "
                               "over a lazy dog near the river bank.";

class TextScreenTest : public CanvasFixture {
protected:
    static void SetUpTestSuite() { s_fonts = std::make_unique<testfonts::SystemCatalogue>(); }
    static void TearDownTestSuite() { s_fonts.reset(); }
    void SetUp() override
    {
        kernel().reset();
        helvetica = s_fonts->catalogue().find("Helvetica");
        ASSERT_NE(helvetica, nullptr) << "the standard fonts (fonts-urw-base35) are needed for text tests";
    }

    // A text whose frame's top-left corner lies at (left, top) of the drawing.
    std::unique_ptr<TextObject> makeText(const std::string& s, float left, float top, float width,
        TextAlign align = TextAlign::Left, float size = 12, float leading = 14)
    {
        auto t = std::make_unique<TextObject>(s, helvetica, size, leading, align);
        t->setFrame({ 0, 0 }, { width, -144 });
        t->setMatrix(Matrix { 1, 0, 0, 1, left, top });
        return t;
    }

    std::vector<LineBox> lineBoxes(const TextObject& t)
    {
        LineBoxSink sink;
        sink.layOut(t, TextLayoutSink::kGeometry);
        return sink.boxes;
    }

    // Window pixel of a drawing point under the canvas' view.
    Point toWindow(Point p) const { return transformPoint(canvas->viewMatrix(), p); }

    static std::unique_ptr<testfonts::SystemCatalogue> s_fonts;
    const FontEntry* helvetica = nullptr;
};

std::unique_ptr<testfonts::SystemCatalogue> TextScreenTest::s_fonts;

// For every alignment each line's ink lies inside its box from the geometry
// walk and reaches both its ends: the painting places lines as the layout
// does, and all of it in the text colour.
TEST_F(TextScreenTest, InkFillsEachLaidOutLineBoxForEveryAlignment)
{
    for (TextAlign align : { TextAlign::Left, TextAlign::Centre, TextAlign::Right, TextAlign::Justified }) {
        SCOPED_TRACE(testing::Message() << "alignment " << int(align));
        makeCanvas(400, 300, 2);
        auto t = makeText(kParagraph, 10, 140, 150, align);
        t->setTextColor(Color { 100, 0, 0 });
        const std::vector<LineBox> boxes = lineBoxes(*t);
        ASSERT_GE(boxes.size(), 3u);
        canvas->drawObject(*t, kDrawFinal);
        std::vector<int> x0(boxes.size(), canvas->width()), x1(boxes.size(), -1);
        int stray = 0, otherColour = 0;
        countView([&](int x, int y, uint32_t p) {
            if (p == kWhitePixel)
                return false;
            otherColour += p == 0xff0000 ? 0 : 1;
            bool inside = false;
            for (size_t i = 0; i < boxes.size(); ++i) {
                // A pixel and a half of slack for rounding at the edges.
                const Point a = toWindow({ boxes[i].left, boxes[i].top }),
                            b = toWindow({ boxes[i].right, boxes[i].bottom });
                if (x >= a.x - 1.5f && x <= b.x + 1.5f && y >= a.y - 1.5f && y <= b.y + 1.5f) {
                    x0[i] = std::min(x0[i], x), x1[i] = std::max(x1[i], x);
                    inside = true;
                }
            }
            stray += inside ? 0 : 1;
            return true;
        });
        EXPECT_EQ(stray, 0);
        EXPECT_EQ(otherColour, 0);
        for (size_t i = 0; i < boxes.size(); ++i) {
            ASSERT_GE(x1[i], 0) << "line " << i;
            // Glyph side bearings keep ink a little inside the advance box.
            EXPECT_NEAR(x0[i], toWindow({ boxes[i].left, 0 }).x, 6) << "line " << i;
            EXPECT_NEAR(x1[i], toWindow({ boxes[i].right, 0 }).x, 6) << "line " << i;
        }
    }
}

TEST_F(TextScreenTest, NoLetterIsLostAtSixPoints)
{
    // At 72 dpi a 6 point stem is half a pixel wide: each letter must still
    // leave ink inside its own advance, plain and smoothed, in every kind of font.
    const std::string line = "cupidatat abcdefghijklmnopqrstuvwxyz ABCDEFGHIJKLMNOPQRSTUVWXYZ 0123456789";
    const float size = 6, left = 4, top = 20;
    const int width = 400, height = 24;
    for (const char* name :
        { "Helvetica", "Times-Roman", "Times-Italic", "Courier", "Helvetica-Bold", "DejaVuSans" }) {
        const FontEntry* font = s_fonts->catalogue().find(name);
        if (!font) {
            ASSERT_NE(std::string(name), "Helvetica") << "the standard fonts are needed";
            continue; // a TrueType font the machine may lack
        }
        for (bool smooth : { false, true }) {
            SCOPED_TRACE(testing::Message() << name << (smooth ? " smoothed" : " plain"));
            std::unique_ptr<RasterSurface> surface = factory.createSurface(width, height);
            surface->setAntialiasing(smooth);
            GdiPort port(surface->dc(), Matrix { 1, 0, 0, -1, 0, float(height) });
            const float box[4] = { left, 0, float(width), top };
            port.text(
                PaintStyle {}, Matrix { 1, 0, 0, 1, 0, 0 }, line, font, size, size, TextAlign::Left, box);
            RasterDeviceContext& pixels = static_cast<QtRasterSurface&>(*surface).rasterDc();
            const double baseline = height - (top - font->ascent(size));
            const int y0 = int(std::floor(baseline - font->ascent(size))),
                      y1 = int(std::ceil(baseline - font->descent(size)));
            double pen = left;
            for (char c : line) {
                const double advance = font->charWidth(static_cast<unsigned char>(c), size);
                int ink = 0;
                for (int y = std::max(y0, 0); y < std::min(y1, height); ++y)
                    for (int x = int(std::floor(pen)); x < int(std::ceil(pen + advance)); ++x)
                        ink += pixels.pixel(x, y) != kWhitePixel;
                if (c != ' ')
                    EXPECT_GT(ink, 0) << "'" << c << "' at " << pen;
                pen += advance;
            }
        }
    }
}

TEST_F(TextScreenTest, PageRendersOfMixedRunsMatchTheScreen)
{
    const FontEntry* courier = s_fonts->catalogue().find("Courier");
    ASSERT_NE(courier, nullptr);
    makeCanvas(320, 140, 1);
    auto t = makeText("small sans", 10, 130, 300, TextAlign::Left, 12, 34);
    t->setRuns({ { "small sans", helvetica, 12 }, { "BIG MONO", courier, 30 } });
    const std::vector<LineBox> boxes = lineBoxes(*t);
    ASSERT_EQ(boxes.size(), 2u);
    canvas->drawObject(*t, kDrawFinal);

    // The page render, through the port as a bitmap export draws it, under
    // the canvas' own view: the same pixels as the screen.
    std::unique_ptr<RasterSurface> page = factory.createSurface(320, 140);
    GdiPort port(page->dc(), canvas->viewMatrix().toMatrix());
    t->emit(port);
    EXPECT_TRUE(imagesMatch(static_cast<QtRasterSurface&>(*page).image(), viewImage(), "mixed-runs"));
}

TEST_F(TextScreenTest, HighlightInvertsTheRangeAndASecondOneRestoresTheView)
{
    makeCanvas(300, 120, 1);
    auto t = makeText("Select some of this text", 10, 100, 250, TextAlign::Left, 18, 20);
    canvas->drawObject(*t, kDrawFinal);
    const QImage before = viewImage();
    canvas->paintText([&](TextCanvas& c) { TextRangeHighlightSink::instance().highlight(*t, c, 7, 11); });
    const QImage once = viewImage();
    // "some" inverted: the changed pixels lie between the prefix widths.
    const float x1 = 10 + float(helvetica->stringWidth("Select ", 18));
    const float x2 = 10 + float(helvetica->stringWidth("Select some", 18));
    int changed = 0, outside = 0;
    for (int y = 0; y < once.height(); ++y)
        for (int x = 0; x < once.width(); ++x)
            if ((once.pixel(x, y) & 0xffffff) != (before.pixel(x, y) & 0xffffff)) {
                ++changed;
                outside += (x < x1 - 1 || x > x2 + 1) ? 1 : 0;
            }
    const float height = float(helvetica->ascent(18) - helvetica->descent(18));
    EXPECT_NEAR(changed, (x2 - x1) * height, (x2 - x1 + height) * 2);
    EXPECT_EQ(outside, 0);
    canvas->paintText([&](TextCanvas& c) { TextRangeHighlightSink::instance().highlight(*t, c, 7, 11); });
    EXPECT_TRUE(imagesMatch(viewImage(), before, "text-highlight-twice"));
}

TEST_F(TextScreenTest, TextSmoothingSoftensTheGlyphsAloneAndNeverInvertedText)
{
    // Pixels other than the pure colours drawn: smoothed edges.
    auto blends = [&] {
        return countView(
            [](int, int, uint32_t p) { return p != kWhitePixel && p != kBlackPixel && p != 0xff0000; });
    };
    EllipseObject ring(200, 45, 30, 20);
    ring.setFillColor(Color { 100, 0, 0 });
    ring.setLineWidth(3);
    for (bool smooth : { false, true }) {
        SCOPED_TRACE(smooth ? "smoothed text" : "plain text");
        makeCanvas(260, 90, 1);
        canvas->setTextSmoothing(smooth);
        canvas->drawObject(ring, kDrawFinal);
        // The shapes keep their exact red and black whatever the text does.
        EXPECT_EQ(blends(), 0);
        canvas->drawObject(*makeText("small type", 5, 80, 140, TextAlign::Left, 9, 11), kDrawFinal);
        const int soft = blends();
        EXPECT_TRUE(smooth ? soft > 40 : soft == 0) << soft;
    }
    // The canvas' own smoothing is for the shapes.
    makeCanvas(260, 90, 1);
    canvas->setAntialiasing(true);
    canvas->drawObject(ring, kDrawFinal);
    EXPECT_GT(blends(), 40);

    // Inverted on the window: never smoothed, and a second drawing erases the first.
    makeCanvas(200, 80, 1);
    canvas->setTextSmoothing(true);
    auto t = makeText("Rubber", 10, 70, 150, TextAlign::Left, 24, 26);
    const QImage before = windowImage();
    canvas->setTarget(DrawTarget::Inverted);
    canvas->drawObject(*t, kDrawFinal);
    const QImage once = windowImage();
    EXPECT_GT(differingPixels(once, before), 100);
    // Black and white only: nothing changes on the way to one bit per pixel.
    EXPECT_EQ(differingPixels(once.convertToFormat(QImage::Format_Mono), once), 0);
    canvas->drawObject(*t, kDrawFinal);
    EXPECT_TRUE(imagesMatch(windowImage(), before, "smoothed-text-inverted-twice"));
}

} // namespace
} // namespace zavora::test
