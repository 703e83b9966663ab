#include "model/TextObject.h"

#include "model/GraphicsKernel.h"
#include "model/GroupObject.h"
#include "model/ImageObject.h"
#include "model/ShapeObjects.h"

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
    auto fromFile = TextObject::fromTextFile("one\ntwo\n\nthree\n");
    EXPECT_EQ(fromFile->font(), others.find("Zapf"));
    EXPECT_EQ(fromFile->leading(), 26);
    EXPECT_EQ(fromFile->alignment(), TextAlign::Left);
}

TEST_F(TextImageGroupTest, NewTextHasTheDefaultFrameAndBlackFill)
{
    testfonts::FixedFont font("Helvetica");
    TextObject t("Hello", &font, 12, 14, TextAlign::Centre);
    EXPECT_EQ(t.style().fillColor(), Color::black());
    // Reflow fits the frame's height to the one line: ascent 8.4 and descent 2.4.
    const Rect box = t.boundingBox();
    EXPECT_NEAR(box.bottom, -10.8, 1e-4);
    EXPECT_EQ(box, (Rect { 0, box.bottom, 144, 0 }));
    EXPECT_FALSE(t.containsPoint(50, -5)); // text is never an area
}

TEST_F(TextImageGroupTest, ImagePixelsAndPlacement)
{
    ImageObject image;
    ASSERT_TRUE(image.allocatePixels(200, 100));
    EXPECT_TRUE(image.setPixel(3, 2, { 10, 20, 30 }));
    EXPECT_EQ(image.pixels()[(2 * 200 + 3) * 3 + 1], 20); // rows of RGB
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

TEST_F(TextImageGroupTest, GroupPassesStylesAndTransformsToNestedMembers)
{
    auto inner = std::make_unique<GroupObject>();
    auto* deep = new RectangleObject(0, 0, 10, 10);
    inner->appendChild(std::unique_ptr<DrawObject>(deep));
    auto outer = std::make_unique<GroupObject>();
    outer->appendChild(std::make_unique<EllipseObject>(50, 50, 10, 10));
    outer->appendChild(std::move(inner));

    outer->setFillColor(Color { 0, 100, 0 });
    EXPECT_EQ(deep->style().fillColor(), (Color { 0, 100, 0 }));

    EXPECT_EQ(outer->boundingBox(), (Rect { 0, 0, 60, 60 }));
    outer->translate(5, 0);
    EXPECT_EQ(deep->boundingBox(), (Rect { 5, 0, 15, 10 }));
    EXPECT_TRUE(outer->containsPoint(10, 5));
    EXPECT_FALSE(outer->containsPoint(30, 30));
}

} // namespace
} // namespace zavora
