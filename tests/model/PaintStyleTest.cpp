#include "model/PaintStyle.h"

#include "model/CommandIds.h"

#include <gtest/gtest.h>

using namespace zavora;

// CMYK is the writers' goldens'.
TEST(PaintStyle, ColorsMaskTheirIntegers)
{
    EXPECT_EQ(Color::fromInts(256, 257, -1), (Color { 0, 1, 255 }));
    EXPECT_EQ(Color::fromInts(100, 0, 355), (Color { 100, 0, 99 }));
}

TEST(PaintStyle, DashAfterWidthKeepsWidthButStrokesOnePoint)
{
    PaintStyle style;
    style.setLineInvisible();
    applyStyleChange(style, *styleChangeForCommand(kCmdPen11));
    EXPECT_TRUE(style.strokeOn());

    applyStyleChange(style, *styleChangeForCommand(kCmdPen0));
    EXPECT_EQ(style.dashIndex(), 0);
    EXPECT_EQ(style.lineWidth(), 5.0f);
    EXPECT_EQ(style.strokeWidth(), 1.0f);

    // Invisible resets the dash so a later colour brings back a solid line.
    style.setDash(2);
    style.setLineInvisible();
    EXPECT_EQ(style.dashIndex(), -1);
    style.setLineColor(Color::white());
    EXPECT_TRUE(style.strokeOn());
    EXPECT_EQ(style.lineColor(), Color::white());
}

TEST(PaintStyle, DefaultStyleUpdatesAreLighterThanSelectionChanges)
{
    // Invisible: stroke off only, the dash stays.
    PaintStyle d;
    d.setDash(2);
    EXPECT_TRUE(applyStyleCommandToDefault(d, kCmdLineInvisible));
    EXPECT_FALSE(d.strokeOn());
    EXPECT_EQ(d.dashIndex(), 2);

    // Transparent: fill off only, colour and pattern stay.
    d.setFillColor(Color::black());
    d.setFillPattern(4);
    EXPECT_TRUE(applyStyleCommandToDefault(d, kCmdFillTransparent));
    EXPECT_FALSE(d.fillOn());
    EXPECT_EQ(d.fillColor(), Color::black());
    EXPECT_EQ(d.fillPattern(), 4);

    // Text colour: the fill colour stays.
    EXPECT_TRUE(applyStyleCommandToDefault(d, kCmdTextWhite));
    EXPECT_EQ(d.textColor(), Color::white());
    EXPECT_EQ(d.fillColor(), Color::black());

    // A dialog command without a chosen colour leaves it alone.
    PaintStyle before = d;
    EXPECT_FALSE(applyStyleCommandToDefault(d, kCmdTextColor, nullptr));
    EXPECT_EQ(d, before);
}
