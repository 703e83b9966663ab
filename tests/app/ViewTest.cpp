// The view's arithmetic: mapping, zoom rules, scrolling and the pointer read-out.
#include "app/View.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>

namespace zavora {
namespace {

View sized(int w, int h, bool landscape = false)
{
    View v;
    v.setLandscape(landscape);
    v.resize(w, h);
    return v;
}

// Fit in window centres the letter page; in landscape the client is exchanged
// (min(600 / 684, 800 / 864)), page x runs down the window and page y right.
TEST(View, FitInWindowCentresThePageInEitherOrientation)
{
    for (bool landscape : { false, true }) {
        View v = sized(800, 600, landscape);
        v.fitInWindow();
        EXPECT_FLOAT_EQ(v.zoom(), landscape ? 600.0f / 684.0f : 600.0f / 864.0f);
        EXPECT_EQ(v.zoomMode(), ZoomMode::FitInWindow);
        const Point centre = v.toWindow(306, 396), right = v.toWindow(406, 396), up = v.toWindow(306, 496);
        EXPECT_NEAR(centre.x, 400, 1e-3);
        EXPECT_NEAR(centre.y, 300, 1e-3);
        EXPECT_TRUE(landscape ? right.y > centre.y : right.x > centre.x) << landscape;
        EXPECT_TRUE(landscape ? up.x > centre.x : up.y < centre.y) << landscape;
    }
}

TEST(View, WindowAndDrawingMappingsUndoEachOther)
{
    for (bool landscape : { false, true }) {
        View v = sized(731, 517, landscape);
        v.setZoomPercent(237);
        v.setOffsets(-40.5f, 113);
        v.buildViewMatrix();
        for (Point p : { Point { 0, 0 }, Point { 612, 792 }, Point { -100, 55.5f } }) {
            Point w = v.toWindow(p.x, p.y);
            Point back = v.toDrawing(w.x, w.y);
            EXPECT_NEAR(back.x, p.x, 1e-3);
            EXPECT_NEAR(back.y, p.y, 1e-3);
        }
        Point d = v.pixelsToDrawing(2, -4);
        EXPECT_NEAR(d.x, 2 / 2.37f, 1e-5);
        EXPECT_NEAR(d.y, 4 / 2.37f, 1e-5);
    }
}

TEST(View, ZoomStaysWithinLimits)
{
    View v = sized(800, 600);
    v.setZoomPercent(5000);
    EXPECT_EQ(v.zoom(), View::kMaxZoom);
    v.setZoomPercent(1);
    EXPECT_EQ(v.zoom(), View::kMinZoom);
    v.setZoomPercent(NAN);
    EXPECT_EQ(v.zoom(), 1);
    // A tiny window would fit the page below the lower limit.
    View small = sized(20, 20);
    small.fitInWindow();
    EXPECT_EQ(small.zoom(), View::kMinZoom);
}

TEST(View, FitWidthAndZoomToRect)
{
    View v = sized(800, 600);
    v.setOffsets(50, 60);
    v.fitWidth();
    EXPECT_FLOAT_EQ(v.zoom(), 800.0f / 684.0f);
    EXPECT_EQ(v.offsetX(), 0);
    EXPECT_EQ(v.offsetY(), 60); // only the fitted axis is reset

    v.zoomToRect(100, 200, 300, 250);
    EXPECT_FLOAT_EQ(v.zoom(), std::min(800.0f / 200, 600.0f / 50));
    EXPECT_EQ(v.offsetX(), 200 - 306);
    EXPECT_EQ(v.offsetY(), 225 - 396);
    EXPECT_EQ(v.zoomMode(), ZoomMode::User);

    // Too thin a rectangle fits the page instead.
    v.zoomToRect(100, 200, 100.0005f, 400);
    EXPECT_EQ(v.zoomMode(), ZoomMode::FitInWindow);
    EXPECT_FLOAT_EQ(v.zoom(), 600.0f / 864.0f);
}

TEST(View, ScrollingStopsAtHalfThePage)
{
    View v = sized(800, 600);
    v.fitInWindow();
    int steps = 0;
    while (v.step(ScrollBar::Vertical, ScrollStep::Back))
        ASSERT_LT(++steps, 100);
    EXPECT_EQ(v.offsetY(), 396); // 22 steps of 18
    while (v.step(ScrollBar::Horizontal, ScrollStep::Forward))
        ASSERT_LT(++steps, 200);
    EXPECT_EQ(v.offsetX(), 306);

    // Landscape: the vertical bar moves along the page's x.
    View l = sized(800, 600, true);
    l.fitInWindow();
    ASSERT_TRUE(l.step(ScrollBar::Vertical, ScrollStep::Forward));
    EXPECT_EQ(l.offsetX(), 18);
    ASSERT_TRUE(l.step(ScrollBar::Horizontal, ScrollStep::Back));
    EXPECT_EQ(l.offsetY(), -18);
}

TEST(View, ScrollBarsFollowThePageZoomAndOffsets)
{
    View v = sized(800, 600);
    v.setZoomPercent(100);
    EXPECT_EQ(v.scrollBar(ScrollBar::Horizontal), (ScrollBarState { 1412, 800, 306 }));
    EXPECT_EQ(v.scrollBar(ScrollBar::Vertical), (ScrollBarState { 1392, 600, 396 }));
    v.step(ScrollBar::Vertical, ScrollStep::Back); // up: offsetY +18, thumb 18 pixels up
    EXPECT_EQ(v.scrollBar(ScrollBar::Vertical).position, 378);

    // Dragging the thumb to where it is changes nothing; elsewhere moves by the pixel difference.
    for (bool landscape : { false, true }) {
        View w = sized(640, 480, landscape);
        w.setZoomPercent(200);
        w.setOffsets(36, -72);
        w.buildViewMatrix();
        for (ScrollBar bar : { ScrollBar::Horizontal, ScrollBar::Vertical }) {
            ScrollBarState before = w.scrollBar(bar);
            w.trackThumb(bar, before.position);
            EXPECT_NEAR(w.offsetX(), 36, 0.5f);
            EXPECT_NEAR(w.offsetY(), -72, 0.5f);
            w.trackThumb(bar, before.position + 40);
            EXPECT_NEAR(w.scrollBar(bar).position, before.position + 40, 1);
            w.setOffsets(36, -72);
            w.buildViewMatrix();
        }
    }
}

TEST(View, PointerReadOutInEachUnitWhateverTheLocale)
{
    // A comma-decimal locale must not leak into the read-out.
    const char* old = std::setlocale(LC_NUMERIC, "de_DE.UTF-8");
    EXPECT_EQ(View::pointerText(2, { 72, 0 }), "2.54, 0.00");
    EXPECT_EQ(View::pointerText(0, { 72, -36 }), "1.00, -0.50");
    EXPECT_EQ(View::pointerText(1, { 72.3f, 10 }), "72.3, 10.0");
    if (old)
        std::setlocale(LC_NUMERIC, "C");
}

} // namespace
} // namespace zavora
