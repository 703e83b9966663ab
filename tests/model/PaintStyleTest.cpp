#include "model/PaintStyle.h"

#include "model/CommandIds.h"

#include <gtest/gtest.h>

using namespace zavora;

TEST(PaintStyle, ColorsMaskTheirIntegersAndDeriveCmyk)
{
    EXPECT_EQ(Color::fromInts(256, 257, -1), (Color { 0, 1, 255 }));
    EXPECT_EQ(Color::fromInts(100, 0, 355), (Color { 100, 0, 99 }));

    EXPECT_EQ(toCmyk(Color::black()), (Cmyk { 1, 1, 1, 0 }));
    EXPECT_EQ(toCmyk(Color { 25, 50, 100 }), (Cmyk { 0.75f, 0.5f, 0, 0 }));
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

TEST(PaintStyle, DialogColourAndDefaultStyleChanges)
{
    // A dialog colour command with no colour changes nothing.
    PaintStyle style;
    EXPECT_FALSE(applyStyleChange(style, *styleChangeForCommand(kCmdTextColor)));
    EXPECT_EQ(style, PaintStyle());
    Color chosen { 1, 2, 3 };
    EXPECT_TRUE(applyStyleChange(style, *styleChangeForCommand(kCmdFillColor), &chosen));
    EXPECT_EQ(colorOf(style, ColorSlot::Fill), chosen);

    PaintStyle defaults;
    defaults.setDash(1);
    EXPECT_TRUE(applyStyleChange(style, *styleChangeForCommand(kCmdApplyDefaultStyle), nullptr, &defaults));
    EXPECT_EQ(style, defaults);
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

    // No chosen colour, arrows, pick-up, apply and unknown ids leave it alone.
    PaintStyle before = d;
    EXPECT_FALSE(applyStyleCommandToDefault(d, kCmdTextColor, nullptr));
    EXPECT_FALSE(applyStyleCommandToDefault(d, kCmdFirstBigArrow));
    EXPECT_FALSE(applyStyleCommandToDefault(d, kCmdPickUpStyle));
    EXPECT_FALSE(applyStyleCommandToDefault(d, kCmdApplyDefaultStyle));
    EXPECT_FALSE(applyStyleCommandToDefault(d, 1234));
    EXPECT_EQ(d, before);
}
