#include "model/FontEntry.h"
#include "fonts/FontCatalogue.h"

#include "tests/support/TestFonts.h"

#include <gtest/gtest.h>

using namespace zavora;

namespace {

// A TrueType font unless said otherwise; the style bits as given.
testfonts::FixedFont font(const char* name, int style = 0, bool trueType = true)
{
    return testfonts::FixedFont(name, { .trueType = trueType, .style = style });
}

} // namespace

TEST(FontWidths, IntegerTotalNeverDriftsFromExactTotal)
{
    testfonts::FixedFont font("X");
    for (int c = 0; c < 256; ++c)
        font.m_metrics.widths[c] = 200 + (c * 37) % 700;
    std::string text;
    for (int i = 0; i < 2000; ++i)
        text += static_cast<char>(32 + (i * 53) % 200);
    for (double size : { 7.0, 9.5, 12.0, 23.7, 144.0 }) {
        std::vector<int> widths;
        int total = font.charWidths(text, size, widths);
        double exact = font.stringWidth(text, size);
        EXPECT_EQ(total, static_cast<int>(exact)) << size;
        long long running = 0, units = 0;
        for (std::size_t i = 0; i < text.size(); ++i) {
            running += widths[i];
            units += font.m_metrics.widths[static_cast<unsigned char>(text[i])];
            double exactSoFar = units * size / 1000.0;
            ASSERT_LE(exactSoFar - running, 1.0) << size << " at " << i;
            ASSERT_GE(exactSoFar - running, 0.0) << size << " at " << i;
        }
    }
    std::vector<int> widths { 1 };
    EXPECT_EQ(font.charWidths("", 12, widths), 0);
    EXPECT_TRUE(widths.empty());
}

TEST(StandardFonts, OnlyType1NamesAreStandardAndSubstitutesComeFromTableThenStyle)
{
    EXPECT_TRUE(isStandardFont(font("Helvetica", 0, false)));
    EXPECT_FALSE(isStandardFont(font("helvetica", 0, false)));
    EXPECT_FALSE(isStandardFont(font("Helvetica", 0, true)));

    EXPECT_EQ(standardSubstitute(font("TimesNewRomanPS-BoldItalicMT", 17)), "Times-BoldItalic");
    // Not in the table: by the style bits.
    EXPECT_EQ(standardSubstitute(font("DejaVuSerif-BoldItalic", 17)), "Helvetica-BoldOblique");
    // A symbol font is always Symbol, whatever its name says.
    testfonts::FixedFont symbol("ArialMT", { .trueType = true });
    symbol.m_metrics.symbol = true;
    EXPECT_EQ(standardSubstitute(symbol), "Symbol");
}
