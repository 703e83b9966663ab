#include "ScreenTestSupport.h"

#include "model/Drawing.h"
#include "model/ShapeObjects.h"
#include "platform/Reporter.h"

#include "ImageCheck.h"

#include <QRect>

#include <algorithm>

namespace zavora {
namespace {

using test::kBlackPixel;
using test::kWhitePixel;

class ScreenCanvasTest : public test::CanvasFixture { };

// Hands out surfaces until `failFrom`, then nothing (memory running out).
class FailingFactory : public SurfaceFactory {
public:
    explicit FailingFactory(int failFrom)
        : m_failFrom(failFrom)
    { }
    std::unique_ptr<RasterSurface> createSurface(int32_t width, int32_t height) override
    {
        if (m_made++ >= m_failFrom)
            return nullptr;
        return m_real.createSurface(width, height);
    }

private:
    QtSurfaceFactory m_real;
    int m_failFrom;
    int m_made = 0;
};

TEST_F(ScreenCanvasTest, EachBufferThatCannotBeMadeIsReportedAndDrawingGoesOn)
{
    RecordingReporter messages;
    FailingFactory factory(3); // window, view and clean buffers; the two temporary ones fail
    ScreenCanvas failing(factory);
    EXPECT_FALSE(failing.createBuffers(40, 40));
    const RecordingReporter::Message expected { Reporter::Kind::Error,
        "Insufficient memory - Please reduce window size" };
    EXPECT_EQ(messages.messages(), (std::vector<RecordingReporter::Message> { expected, expected }));
    EXPECT_EQ(failing.buffer(ScreenBuffer::Temp1), nullptr);
    EXPECT_FALSE(failing.copyBufferToBuffer(ScreenBuffer::View, ScreenBuffer::Temp1));
    failing.handleMark({ 10, 10 });
    EXPECT_EQ(static_cast<QtRasterSurface*>(failing.buffer(ScreenBuffer::View))->rasterDc().pixel(10, 10),
        kBlackPixel);

    // With nothing at all, every routine quietly does nothing.
    FailingFactory none(0);
    ScreenCanvas empty(none);
    empty.createBuffers(40, 40);
    Drawing drawing;
    drawing.append(std::make_unique<RectangleObject>(0, 0, 10, 10));
    empty.redraw(drawing, kDrawFinal);
    empty.redraw(drawing, kDrawFinal, { 0, 0, 5, 5 });
    empty.setTarget(DrawTarget::Inverted);
    empty.handleMark({ 1, 1 });
    EXPECT_FALSE(empty.copyBufferToWindow(ScreenBuffer::View));
}

TEST_F(ScreenCanvasTest, InvertedDrawingTwiceRestoresTheWindowBitForBit)
{
    for (bool antialias : { false, true }) {
        SCOPED_TRACE(antialias ? "antialiased" : "aliased");
        makeCanvas(120, 100, 1.5);
        canvas->setAntialiasing(antialias);
        test::fillNoise(canvas->window()->dc(), 120, 100, 7);
        const QImage before = windowImage();

        RectangleObject rect(10, 10, 60, 40);
        EllipseObject ellipse(40, 30, 25, 15);
        PaintStyle hatched;
        hatched.setFillColor({ 100, 0, 0 });
        hatched.setFillPattern(5);
        hatched.setLineWidth(4);
        ellipse.setStyle(hatched);
        LineObject line(5, 60, 70, 5);
        line.setArrows(0, kArrowSquare);
        line.setLineWidth(2);
        const DcPoint run[] = { { 3, 3 }, { 90, 40 }, { 3, 40 }, { 90, 3 } };
        const int32_t counts[] = { 4 };
        const std::vector<PathElement> curve { { PathKind::Move, 10, 90 },
            { PathKind::Curve, 40, 20, 80, 120, 110, 60 }, { PathKind::Close } };

        canvas->setTarget(DrawTarget::Inverted);
        auto drawAll = [&] {
            canvas->drawObject(rect, kDrawOutline);
            canvas->drawObject(ellipse, kDrawFinal);
            canvas->drawObject(line, kDrawFinal);
            canvas->polylines(run, counts, { 0, 0, 100 }, 3, kSolidDash);
            canvas->polylines(run, counts, { 0, 0, 100 }, 1, 2); // a styled pen: dash-dot
            canvas->polygons(run, counts, { 0, 100, 0 }, 2, Color::black());
            canvas->path(curve, true, true, { 0, 0, 100 }, 5, kSolidDash, { 100, 100, 0 }, kNoPattern, {});
            canvas->handleMark({ 50, 50 });
            canvas->drawHandles(rect);
        };
        drawAll();
        EXPECT_GT(test::differingPixels(windowImage(), before), 1000);
        drawAll();
        EXPECT_TRUE(test::imagesMatch(windowImage(), before, "inverted-twice"));
    }
}

TEST_F(ScreenCanvasTest, DrawingOnTheWindowInvalidatesWhatItTouches)
{
    makeCanvas(100, 80);
    std::vector<QRect> areas;
    canvas->setInvalidateHandler(
        [&](int32_t x, int32_t y, int32_t w, int32_t h) { areas.emplace_back(x, y, w, h); });
    canvas->handleMark({ 20, 20 });
    canvas->handleMark({ 40, 40 });
    EXPECT_TRUE(areas.empty()) << "the view buffer shows nothing yet";
    ASSERT_TRUE(canvas->copyBufferToWindow(ScreenBuffer::View, { 5, 6, 24, 26 }));
    EXPECT_EQ(areas, (std::vector<QRect> { { 5, 6, 20, 21 } })) << "inclusive corners";
    EXPECT_EQ(std::pair(win(20, 20), win(40, 40)), std::pair(kBlackPixel, kWhitePixel))
        << "only the rectangle";

    // Direct and inverted drawing cover every pixel they change.
    const DcPoint run[] = { { 10, 30 }, { 60, 50 } };
    const int32_t counts[] = { 2 };
    for (DrawTarget target : { DrawTarget::Direct, DrawTarget::Inverted }) {
        areas.clear();
        canvas->setTarget(target);
        const QImage before = windowImage();
        canvas->polylines(run, counts, Color::black(), 3, kSolidDash);
        const QImage after = windowImage();
        EXPECT_NE(after, before) << "drawn on the window";
        for (int y = 0; y < 80; ++y)
            for (int x = 0; x < 100; ++x)
                if (before.pixel(x, y) != after.pixel(x, y))
                    EXPECT_TRUE(std::any_of(
                        areas.begin(), areas.end(), [&](const QRect& a) { return a.contains(x, y); }))
                        << x << "," << y;
    }
}

// The shell's grid test notes a grid too dense to show; here the exact dots
// and the repainted area.
TEST_F(ScreenCanvasTest, GridDotsFollowTheDensityRules)
{
    makeCanvas(120, 120);
    // 10 points at zoom 1: below 12 pixels, dots only along every fifth line.
    EXPECT_TRUE(canvas->gridDots({ 10, 10, 0, 0 }));
    EXPECT_EQ(view(50, 110), kBlackPixel);
    // Columns 0, 5, 10 carry a dot on every row, rows 5 and 10 on every column.
    EXPECT_EQ(viewInk(), 3 * 12 + 2 * 12 - 3 * 2) << "grid columns 0..11, rows 1..12 fall inside";

    // 20 points: every grid point, and only inside the repainted area.
    makeCanvas(120, 120);
    EXPECT_TRUE(canvas->gridDots({ 20, 20, 0, 0 }, { 30, 30, 89, 89 }));
    EXPECT_EQ(view(40, 40), kBlackPixel);
    EXPECT_EQ(view(60, 80), kBlackPixel);
    EXPECT_EQ(view(20, 40), kWhitePixel) << "left of the area";
    EXPECT_EQ(viewInk(), 9);
}

} // namespace
} // namespace zavora
