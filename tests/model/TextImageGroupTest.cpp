#include "model/TextObject.h"

#include "model/GraphicsKernel.h"
#include "model/ImageObject.h"

#include "tests/support/TestFonts.h"

#include <gtest/gtest.h>

#include <limits>

namespace zavora {
namespace {

class TextImageGroupTest : public ::testing::Test {
protected:
    void SetUp() override { kernel().reset(); }
};

// The preference order is the font catalogue test's; here the lookup and a text file.
TEST_F(TextImageGroupTest, DefaultFontComesFromTheCurrentLookup)
{
    EXPECT_EQ(defaultTextFont(), nullptr); // no catalogue
    {
        testfonts::FixedCatalogue empty({});
        EXPECT_EQ(defaultTextFont(), nullptr);
    }
    testfonts::FixedCatalogue others({ "Zapf", "Other" });
    EXPECT_EQ(defaultTextFont()->postScriptName(), "Zapf");
    // The line-feed rules and the size are the text-file insert's test.
    EXPECT_EQ(TextObject::fromTextFile("one\ntwo")->font(), others.find("Zapf"));
}

TEST_F(TextImageGroupTest, ImagePixelsAndPlacement)
{
    ImageObject image;
    ASSERT_TRUE(image.allocatePixels(200, 100));
    EXPECT_TRUE(image.setPixel(3, 2, { 10, 20, 30 }));
    EXPECT_FALSE(image.pixel(200, 0));
    EXPECT_FALSE(image.setPixel(-1, 0, { 1, 2, 3 }));

    // Impossible sizes fail and leave the pixels alone.
    EXPECT_FALSE(image.allocatePixels(-5, 10));
    EXPECT_FALSE(
        image.allocatePixels(std::numeric_limits<int32_t>::max(), std::numeric_limits<int32_t>::max()));
    EXPECT_EQ(*image.pixel(3, 2), (std::array<uint8_t, 3> { 10, 20, 30 }));

    image.placeAt(50, 60); // one pixel, one point
    EXPECT_EQ(image.boundingBox(), (Rect { 50, 60, 250, 160 }));
    EXPECT_TRUE(image.containsPoint(100, 100)); // opaque though fill is off
    EXPECT_FALSE(image.containsPoint(260, 100));
}

} // namespace
} // namespace zavora
