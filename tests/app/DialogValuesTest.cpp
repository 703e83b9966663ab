// The toolkit-free rules of the dialogs: the colour models and how typed text
// becomes a value.
#include "app/dialogs/ColorModels.h"
#include "app/dialogs/DialogValues.h"

#include <gtest/gtest.h>

#include <cmath>

namespace zavora {
namespace {

void expectRgb(const Rgb& rgb, double r, double g, double b)
{
    EXPECT_NEAR(rgb.red, r, 1e-9);
    EXPECT_NEAR(rgb.green, g, 1e-9);
    EXPECT_NEAR(rgb.blue, b, 1e-9);
}

TEST(DialogColorModels, PrimariesAndGreysInHsbAndCmyk)
{
    const Hsb red = rgbToHsb({ 100, 0, 0 });
    EXPECT_DOUBLE_EQ(red.hue, 0);
    EXPECT_DOUBLE_EQ(red.saturation, 100);
    EXPECT_DOUBLE_EQ(red.brightness, 100);
    const CmykPercent cmyk = rgbToCmyk({ 100, 0, 0 });
    EXPECT_EQ(cmyk.cyan, 0);
    EXPECT_EQ(cmyk.magenta, 100);
    EXPECT_EQ(cmyk.yellow, 100);
    EXPECT_EQ(cmyk.black, 0);

    // Green is a third of a turn, blue two thirds; the hue wraps past red.
    EXPECT_NEAR(rgbToHsb({ 0, 100, 0 }).hue, 100.0 / 3, 1e-9);
    EXPECT_NEAR(rgbToHsb({ 0, 0, 100 }).hue, 200.0 / 3, 1e-9);
    EXPECT_NEAR(rgbToHsb({ 100, 0, 50 }).hue, 100 - 50.0 / 6, 1e-9);

    // A grey has neither hue nor saturation; black not even a brightness.
    const Hsb grey = rgbToHsb({ 40, 40, 40 });
    EXPECT_EQ(grey.hue, 0);
    EXPECT_EQ(grey.saturation, 0);
    EXPECT_NEAR(grey.brightness, 40, 1e-9);
    EXPECT_EQ(rgbToHsb({ 0, 0, 0 }).saturation, 0);
}

TEST(DialogColorModels, CmykBlackAddsToEveryInk)
{
    expectRgb(cmykToRgb({ 50, 0, 0, 60 }), 0, 40, 40);
    expectRgb(cmykToRgb({ 0, 0, 0, 100 }), 0, 0, 0);
    expectRgb(cmykToRgb({ 10, 20, 30, 0 }), 90, 80, 70);
}

TEST(DialogColorModels, HsbRoundTripsThroughEverySector)
{
    for (double r : { 0.0, 13.0, 50.0, 77.0, 100.0 })
        for (double g : { 0.0, 25.0, 64.0, 100.0 })
            for (double b : { 0.0, 5.0, 90.0, 100.0 }) {
                SCOPED_TRACE(testing::Message() << r << " " << g << " " << b);
                expectRgb(hsbToRgb(rgbToHsb({ r, g, b })), r, g, b);
            }
    // A hue of a full turn is red again.
    expectRgb(hsbToRgb({ 100, 100, 100 }), 100, 0, 0);
    expectRgb(hsbToRgb({ 50, 100, 60 }), 0, 60, 60);
}

TEST(DialogValues, WholeNumbersAreStrict)
{
    EXPECT_EQ(parseWholeNumber(" -12 "), -12);
    EXPECT_EQ(parseWholeNumber("+7"), 7);
    EXPECT_FALSE(parseWholeNumber(""));
    EXPECT_FALSE(parseWholeNumber("12abc"));
    EXPECT_FALSE(parseWholeNumber("1.5"));
    EXPECT_FALSE(parseWholeNumber("99999999999"));
    EXPECT_EQ(parseNumber("2.5"), 2.5);
    EXPECT_EQ(parseNumber("1e2"), 100);
    EXPECT_FALSE(parseNumber("abc"));
    EXPECT_FALSE(parseNumber("nan"));
}

TEST(DialogValues, FieldsFallBackToTheirDefaults)
{
    EXPECT_EQ(gridSpacing("0"), 1);
    EXPECT_EQ(gridSpacing("100"), 1);
    EXPECT_EQ(gridSpacing("x"), 1);
    EXPECT_EQ(gridSpacing("72"), 72);
    EXPECT_EQ(moveDistance("-30"), -30);
    EXPECT_EQ(moveDistance("ten"), 0);
    EXPECT_EQ(scalePercent("0"), 100);
    EXPECT_EQ(scalePercent("-50"), -50);
    // Kept inside the drawing's coordinate range.
    EXPECT_EQ(moveDistance("2000000000"), 1000000);
    EXPECT_EQ(moveDistance("-1000001"), -1000000);
    EXPECT_EQ(scalePercent("2000000000"), 10000);
    EXPECT_EQ(scalePercent("-10001"), -10000);
    EXPECT_EQ(rotateAngle("45.5"), 0);
    EXPECT_EQ(zoomPercent("5", 100), 25);
    EXPECT_EQ(zoomPercent("5000", 100), 1200);
    EXPECT_EQ(zoomPercent("", 300), 300);
    EXPECT_EQ(zoomPercent("", 5), 25);
    EXPECT_FALSE(paperSide("71"));
    EXPECT_EQ(paperSide("72"), 72);
    EXPECT_EQ(paperSide("5184"), 5184);
    EXPECT_FALSE(paperSide("5185"));
}

TEST(DialogValues, JpegQualityMapsBothWays)
{
    EXPECT_EQ(jpegQualityForLevel(0), 25);
    EXPECT_EQ(jpegQualityForLevel(1), 75);
    EXPECT_EQ(jpegQualityForLevel(2), 100);
    EXPECT_EQ(jpegLevelForQuality(0), 0);
    EXPECT_EQ(jpegLevelForQuality(25), 0);
    EXPECT_EQ(jpegLevelForQuality(26), 1);
    EXPECT_EQ(jpegLevelForQuality(75), 1);
    EXPECT_EQ(jpegLevelForQuality(76), 2);
    EXPECT_EQ(jpegLevelForQuality(100), 2);
    for (int level = 0; level < 3; ++level)
        EXPECT_EQ(jpegLevelForQuality(jpegQualityForLevel(level)), level);
}

} // namespace
} // namespace zavora
