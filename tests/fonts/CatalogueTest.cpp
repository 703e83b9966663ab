#include "FontTestSupport.h"

#include "fonts/FaceCache.h"
#include "fonts/FontCatalogue.h"
#include "model/TextObject.h"
#include "platform/FontSystem.h"
#include "platform/Profile.h"

#include <gtest/gtest.h>

using namespace zavora;
using namespace zavora::test;

namespace {

class CountingSink : public OutlineSink {
public:
    void moveTo(double x, double y) override { add(x, y), ++contours; }
    void lineTo(double x, double y) override { add(x, y); }
    void conicTo(double, double, double x, double y) override { add(x, y); }
    void cubicTo(double, double, double, double, double x, double y) override { add(x, y); }
    void add(double x, double y)
    {
        minX = std::min(minX, x), maxX = std::max(maxX, x);
        minY = std::min(minY, y), maxY = std::max(maxY, y);
    }
    int contours = 0;
    double minX = 1e9, maxX = -1e9, minY = 1e9, maxY = -1e9;
};

} // namespace

TEST(SystemCatalogue, DrawsTextAsPlacedOutlinesOpeningEachFaceOnce)
{
    TempFolder dir;
    Profile settings(dir.path() / "zavora.ini");
    ListedFontSystem fonts;
    FontCatalogue catalogue(fonts, settings, dir.path() / "atm.ini");
    catalogue.type1().loadCatalogue();
    const FontEntry* helvetica = catalogue.find("Helvetica");
    ASSERT_NE(helvetica, nullptr) << "the standard fonts (fonts-urw-base35) are missing";
    const int opensBefore = fonts.opens;
    CountingSink sink;
    for (int i = 0; i < 3; ++i)
        ASSERT_TRUE(catalogue.type1().drawString(sink, 100, 200, *helvetica, 10, "HI"));
    EXPECT_EQ(fonts.opens, opensBefore + 1);
    EXPECT_EQ(sink.contours, 6);
    // H and I at 10 points: cap height 7.29, the I starts one H width (7.22) along.
    EXPECT_NEAR(sink.maxY, 207.29, 0.01);
    EXPECT_NEAR(sink.minY, 200, 0.01);
    EXPECT_GT(sink.minX, 100);
    EXPECT_GT(sink.maxX, 107.22);
    // Not one of this renderer's fonts.
    EXPECT_FALSE(catalogue.trueType().drawString(sink, 0, 0, *helvetica, 10, "x"));
}

TEST(FaceCache, KeepsTheRecentlyUsedFacesAndTheirMasks)
{
    const std::filesystem::path folder = "/usr/share/fonts/type1/urw-base35";
    const std::filesystem::path a = folder / "NimbusSans-Regular.t1", b = folder / "NimbusRoman-Regular.t1",
                                c = folder / "NimbusMonoPS-Regular.t1";
    for (const auto& file : { a, b, c })
        ZAVORA_REQUIRE_FILE(file);
    ListedFontSystem fonts;
    FaceCache cache(fonts, 2);
    auto faceA = cache.open(a, 0);
    ASSERT_NE(faceA, nullptr);
    cache.open(b, 0);
    EXPECT_EQ(cache.open(a, 0), faceA);
    EXPECT_EQ(fonts.opens, 2);
    cache.open(c, 0); // closes b, the least recently used
    EXPECT_EQ(cache.open(a, 0), faceA);
    EXPECT_EQ(fonts.opens, 3);
    cache.open(b, 0);
    EXPECT_EQ(fonts.opens, 4);
    // A file that is no font is tried once.
    EXPECT_EQ(cache.open(folder / "missing.t1", 0), nullptr);
    EXPECT_EQ(cache.open(folder / "missing.t1", 0), nullptr);
    EXPECT_EQ(fonts.opens, 5);

    // Masks are rendered once per glyph, mapping and pen place.
    const GlyphRaster upright { 12, 0, 0, -12, 0.25, 0, MaskDepth::Mono };
    const GlyphMask* h = faceA->mask('H', CharCode::Unicode, upright);
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(faceA->mask('H', CharCode::Unicode, upright), h);
    EXPECT_GT(h->height, 6);
    EXPECT_GT(h->top, 6); // the capital stands on the baseline
    GlyphRaster turned = upright; // a quarter turn: the H lies on its side
    turned.xx = 0, turned.yx = -12, turned.xy = -12, turned.yy = 0;
    const GlyphMask* side = faceA->mask('H', CharCode::Unicode, turned);
    ASSERT_NE(side, nullptr);
    EXPECT_NEAR(side->width, h->height, 1);
    EXPECT_NEAR(side->height, h->width, 1);
    EXPECT_EQ(faceA->mask(0x4E00, CharCode::Unicode, upright), nullptr); // no such glyph
}
