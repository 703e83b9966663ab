#include "model/FontEntry.h"
#include "fonts/FontCatalogue.h"

#include "tests/support/TestFonts.h"

#include <gtest/gtest.h>

using namespace zavora;

namespace {

// A font whose metrics the test sets directly, starting from none at all.
class FixedFont : public testfonts::FixedFont {
public:
    FixedFont(std::string name, int style, bool trueType = true)
        : testfonts::FixedFont(std::move(name), shape(style, trueType))
    {
        // The style bits alone; the tests set the metrics' own flags.
        m_metrics.bold = m_metrics.italic = false;
    }

private:
    static testfonts::FontShape shape(int style, bool trueType)
    {
        testfonts::FontShape s;
        s.trueType = trueType;
        s.style = style;
        s.ascent = s.descent = s.width = 0;
        s.face = "Face";
        return s;
    }
};

} // namespace

TEST(FontWidths, IntegerTotalNeverDriftsFromExactTotal)
{
    FixedFont font("X", 0);
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
    EXPECT_TRUE(isStandardFont(FixedFont("Helvetica", 0, false)));
    EXPECT_FALSE(isStandardFont(FixedFont("Palatino-Roman", 0, false)));
    EXPECT_FALSE(isStandardFont(FixedFont("helvetica", 0, false)));
    EXPECT_FALSE(isStandardFont(FixedFont("Helvetica", 0, true)));

    EXPECT_EQ(standardSubstitute(FixedFont("ArialMT", 0)), "Helvetica");
    EXPECT_EQ(standardSubstitute(FixedFont("TimesNewRomanPS-BoldItalicMT", 17)), "Times-BoldItalic");
    // Not in the table: by the style bits.
    EXPECT_EQ(standardSubstitute(FixedFont("DejaVuSerif", 0)), "Helvetica");
    EXPECT_EQ(standardSubstitute(FixedFont("DejaVuSerif-BoldItalic", 17)), "Helvetica-BoldOblique");
    // A symbol font is always Symbol, whatever its name says.
    FixedFont symbol("ArialMT", 0);
    symbol.m_metrics.symbol = true;
    EXPECT_EQ(standardSubstitute(symbol), "Symbol");
}
