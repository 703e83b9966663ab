// The toolkit-free rules of the dialogs: the colour models and how typed text
// becomes a value.
#include "app/dialogs/DialogValues.h"
#include "app/dialogs/ColorModels.h"

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

TEST(DialogColorModels, HueSectorsAndGreys)
{
    struct Row {
        Rgb rgb;
        Hsb hsb;
    };
    const Row rows[] = {
        { { 0, 100, 0 }, { 100.0 / 3, 100, 100 } },
        { { 0, 0, 100 }, { 200.0 / 3, 100, 100 } },
        { { 100, 0, 50 }, { 100 - 50.0 / 6, 100, 100 } }, // wraps past red
        { { 40, 40, 40 }, { 0, 0, 40 } }, // a grey has neither hue nor saturation
        { { 0, 0, 0 }, { 0, 0, 0 } },
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::Message() << row.rgb.red << " " << row.rgb.green << " " << row.rgb.blue);
        const Hsb hsb = rgbToHsb(row.rgb);
        EXPECT_NEAR(hsb.hue, row.hsb.hue, 1e-9);
        EXPECT_NEAR(hsb.saturation, row.hsb.saturation, 1e-9);
        EXPECT_NEAR(hsb.brightness, row.hsb.brightness, 1e-9);
    }
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
}

TEST(DialogValues, StrictNumbersAndTheFieldsDefaults)
{
    EXPECT_EQ(parseWholeNumber(" -12 "), -12);
    EXPECT_EQ(parseWholeNumber("+7"), 7);
    for (const char* refused : { "", "12abc", "1.5", "99999999999" })
        EXPECT_FALSE(parseWholeNumber(refused)) << refused;
    EXPECT_EQ(parseNumber("1e2"), 100);
    EXPECT_FALSE(parseNumber("abc"));
    EXPECT_FALSE(parseNumber("nan"));

    struct Row {
        const char* field;
        int got, expected;
    };
    const Row rows[] = {
        { "grid 0", gridSpacing("0"), 1 },
        { "grid 100", gridSpacing("100"), 1 },
        { "grid 72", gridSpacing("72"), 72 },
        { "move -30", moveDistance("-30"), -30 },
        { "move 1.5", moveDistance("1.5"), 0 },
        // Kept inside the drawing's coordinate range.
        { "move 2e9", moveDistance("2000000000"), 1000000 },
        { "move -1000001", moveDistance("-1000001"), -1000000 },
        { "scale 0", scalePercent("0"), 100 },
        { "scale -50", scalePercent("-50"), -50 },
        { "scale 2e9", scalePercent("2000000000"), 10000 },
        { "scale -10001", scalePercent("-10001"), -10000 },
        { "rotate 45.5", rotateAngle("45.5"), 0 },
        { "zoom 5", zoomPercent("5", 100), 25 },
        { "zoom 5000", zoomPercent("5000", 100), 1200 },
        { "zoom empty", zoomPercent("", 300), 300 },
        { "zoom empty below", zoomPercent("abc", 5), 25 },
        { "paper 72", paperSide("72").value_or(0), 72 },
        { "paper 71", paperSide("71").value_or(0), 0 },
        { "paper 5184", paperSide("5184").value_or(0), 5184 },
        { "paper 5185", paperSide("5185").value_or(0), 0 },
    };
    for (const Row& row : rows)
        EXPECT_EQ(row.got, row.expected) << row.field;
}

TEST(DialogValues, JpegQualityMapsBothWays)
{
    for (auto [quality, level] :
        { std::pair { 0, 0 }, { 25, 0 }, { 26, 1 }, { 75, 1 }, { 76, 2 }, { 100, 2 } })
        EXPECT_EQ(jpegLevelForQuality(quality), level) << quality;
    for (int level = 0; level < 3; ++level)
        EXPECT_EQ(jpegLevelForQuality(jpegQualityForLevel(level)), level);
}

} // namespace
} // namespace zavora
