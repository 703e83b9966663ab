#include "platform/qt/RasterDeviceContext.h"

#include "ImageCheck.h"
#include "platform/DebugLog.h"
#include "raster/HatchPatterns.h"

#include <gtest/gtest.h>

namespace zavora {
namespace {

constexpr uint32_t kWhite = 0xffffff;
constexpr uint32_t kBlack = 0x000000;

using test::countInk;

TEST(RasterDeviceContext, PatternBrushesFollowTheTableAlignedToTheDeviceOrigin)
{
    const ColorRef ink = makeColorRef(0, 0, 200);
    const ColorRef back = makeColorRef(250, 240, 10);
    for (int index = 0; index < 9; ++index) {
        const HatchPattern* hatch = hatchPattern(index);
        ASSERT_NE(hatch, nullptr);
        RasterDeviceContext dc(48, 40);
        dc.selectPen(DcPen::null());
        dc.selectBrush(DcBrush::patterned(hatch->rows));
        dc.setTextColor(ink);
        dc.setBkColor(back);
        // An odd offset: the tiles must still start at device (0, 0).
        const DcPoint area[] = { { 3, 5 }, { 45, 5 }, { 45, 37 }, { 3, 37 } };
        dc.polygon(area);

        QImage expected(48, 40, QImage::Format_RGB32);
        expected.fill(0xffffffffu);
        for (int y = 5; y < 37; ++y)
            for (int x = 3; x < 45; ++x) {
                const bool isInk = (hatch->rows[y % 8] >> (7 - x % 8)) & 1;
                expected.setPixel(x, y, isInk ? qRgb(0, 0, 200) : qRgb(250, 240, 10));
            }
        EXPECT_TRUE(test::imagesMatch(dc.image(), expected, "hatch" + std::to_string(index)));
    }
    EXPECT_EQ(hatchPattern(-1), nullptr);
    EXPECT_EQ(hatchPattern(9), nullptr);
}

TEST(RasterDeviceContext, WidePensHaveTheirCapsAndJoins)
{
    // Flat ends and mitres are the scan converter's random stroke test and the port's curve test.
    const DcPoint corner[] = { { 10, 20 }, { 50, 20 }, { 50, 60 } };
    // A CreatePen pen wider than 1 has round ends reaching past the end point.
    RasterDeviceContext round(80, 80);
    round.selectPen(DcPen::solid(kBlackRef, 6));
    round.polyline(corner);
    EXPECT_EQ(round.pixel(8, 20), kBlack);
    EXPECT_EQ(round.pixel(52, 17), kWhite);
    EXPECT_EQ(round.pixel(52, 18), kBlack); // the round corner, 3 pixels about the point
    int roundColumn = 0;
    for (int y = 0; y < 80; ++y)
        roundColumn += round.pixel(30, y) == kBlack;
    EXPECT_EQ(roundColumn, 6);
    // Its pieces overlap, yet XOR touches each pixel of the area once: the
    // changed pixels are the copied ones, and a second drawing restores all.
    const DcPoint curve[] = { { 10, 70 }, { 20, 50 }, { 26, 46 }, { 30, 45 }, { 34, 46 }, { 70, 70 } };
    RasterDeviceContext copied(80, 80), xored(80, 80);
    copied.selectPen(DcPen::solid(kBlackRef, 5));
    copied.polyline(curve);
    test::fillNoise(xored, xored.width(), xored.height(), 9);
    const QImage before = xored.image().copy();
    xored.setRop2(Rop2::XorPen);
    xored.selectPen(DcPen::solid(kWhiteRef, 5));
    xored.polyline(curve);
    for (int y = 0; y < 80; ++y)
        for (int x = 0; x < 80; ++x)
            EXPECT_EQ(xored.pixel(x, y) != (before.pixel(x, y) & 0xffffff), copied.pixel(x, y) == kBlack)
                << x << "," << y;
    xored.polyline(curve);
    EXPECT_EQ(test::differingPixels(xored.image(), before), 0);
}

TEST(RasterDeviceContext, RasterModesAreBitwiseOnEveryPixelTheyTouchOnce)
{
    RasterDeviceContext dc(60, 60);
    test::fillNoise(dc, dc.width(), dc.height(), 11);
    const QImage before = dc.image().copy();
    const ColorRef pen = makeColorRef(0x81, 0x42, 0x24);
    dc.setRop2(Rop2::XorPen);
    dc.selectPen(DcPen::solid(pen, 1));
    // A closed outline: the corners must be touched once, not cancelled out.
    const DcPoint box[] = { { 10, 10 }, { 40, 10 }, { 40, 30 }, { 10, 30 }, { 10, 10 } };
    dc.polyline(box);
    int changed = 0;
    for (int y = 0; y < 60; ++y)
        for (int x = 0; x < 60; ++x) {
            const uint32_t was = before.pixel(x, y) & 0xffffff;
            const uint32_t now = dc.pixel(x, y);
            if (now != was) {
                ++changed;
                EXPECT_EQ(now, was ^ 0x814224u) << x << "," << y;
            }
        }
    EXPECT_EQ(changed, 2 * 30 + 2 * 20);
    EXPECT_EQ(dc.image().pixel(10, 10) >> 24, 0xffu); // still opaque
}

TEST(RasterDeviceContext, GlyphMasksPaintInTheTextColourUnderTheRasterMode)
{
    // Coverage 0, 64, 128, 255 along one row; the mono mask has the last two set.
    GlyphMask gray { MaskDepth::Gray, 1, 3, 4, 1, 4, { 0, 64, 128, 255 } };
    GlyphMask mono { MaskDepth::Mono, 1, 3, 4, 1, 1, { 0x30 } };
    const DcPoint origin { 10, 10 }; // the masks' top-left pixel lands at (11, 7)
    const ColorRef ink = makeColorRef(0x81, 0x42, 0x24);
    for (const auto& [mask, rop] : { std::pair { &mono, Rop2::CopyPen }, std::pair { &gray, Rop2::CopyPen },
             std::pair { &mono, Rop2::Not }, std::pair { &gray, Rop2::Not } }) {
        SCOPED_TRACE(testing::Message() << (mask == &gray ? "gray" : "mono") << " rop " << int(rop));
        RasterDeviceContext dc(20, 20);
        test::fillNoise(dc, dc.width(), dc.height(), 5);
        const QImage before = dc.image().copy();
        dc.setTextColor(ink);
        dc.setRop2(rop);
        ASSERT_TRUE(dc.paintGlyphMask(*mask, origin));
        for (int y = 0; y < 20; ++y)
            for (int x = 0; x < 20; ++x) {
                const uint32_t was = before.pixel(x, y) & 0xffffff, now = dc.pixel(x, y);
                const int column = y == 7 ? x - 11 : -1;
                const int cover = column >= 0 && column < 4 ? mask->coverage(column, 0) : 0;
                if (rop == Rop2::Not) {
                    EXPECT_EQ(now, cover >= 128 ? ~was & 0xffffff : was) << x << "," << y;
                    continue;
                }
                // Each channel part of the way from the old colour to the ink; exact at 0 and 255.
                for (int shift : { 0, 8, 16 }) {
                    const double from = (was >> shift) & 0xff, to = (0x814224u >> shift) & 0xff;
                    EXPECT_NEAR((now >> shift) & 0xff, from + (to - from) * cover / 255, cover % 255 ? 1 : 0)
                        << x << "," << y;
                }
            }
        if (rop == Rop2::Not) { // drawn twice, inverted marks vanish
            dc.paintGlyphMask(*mask, origin);
            EXPECT_EQ(test::differingPixels(dc.image(), before), 0);
        }
    }
    // Off the edges it paints what is inside; in a path bracket it declines.
    RasterDeviceContext dc(20, 20);
    EXPECT_TRUE(dc.paintGlyphMask(mono, { -4, 5 })); // the set pixels fall on x -1 and 0
    EXPECT_EQ(countInk(dc), 1);
    dc.beginPath();
    EXPECT_FALSE(dc.paintGlyphMask(mono, origin));
}

TEST(RasterDeviceContext, PolyFiguresRejectCountsBeyondTheirPoints)
{
    DebugLog::instance().setEchoToStderr(false);
    DebugLog::instance().clear();
    RasterDeviceContext dc(20, 20);
    dc.selectBrush(DcBrush::solid(kBlackRef));
    const DcPoint points[] = { { 1, 1 }, { 10, 1 }, { 10, 10 } };
    const int32_t tooMany[] = { 3, 2 };
    const int32_t negative[] = { -1, 3 };
    dc.polyPolygon(points, tooMany);
    dc.polyPolyline(points, negative);
    EXPECT_EQ(countInk(dc), 0);
    EXPECT_EQ(DebugLog::instance().lines().size(), 2u);
    DebugLog::instance().setEchoToStderr(true);
}

} // namespace
} // namespace zavora
