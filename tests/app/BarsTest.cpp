// The frame's bars on the real widgets: every button's command, their
// enabling from the menu rules, the pressed tool button, the colour bar's
// swatches and scrolling.
#include "ShellTestSupport.h"

#include "app/BarButton.h"
#include "app/BarWindow.h"
#include "app/ButtonBars.h"
#include "app/ColorBar.h"
#include "app/DrawingWindow.h"
#include "app/MainFrame.h"
#include "app/MainMenu.h"
#include "app/ShellCommands.h"
#include "model/FontLookup.h"
#include "model/ShapeObjects.h"
#include "model/TextObject.h"
#include "tools/ToolSet.h"

#include <QAction>
#include <QImage>
#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTest>

#include <algorithm>
#include <vector>

namespace zavora {
namespace {

using namespace shelltest;

class Bars : public ShellTest {
protected:
    MainFrame* frame() { return m_shell->frame(); }
    Drawing& drawing() { return m_shell->drawing(); }

    RectangleObject* addRectangle()
    {
        auto* rect = static_cast<RectangleObject*>(drawing().append(std::make_unique<RectangleObject>(0, 0, 50, 50)));
        rect->setFillColor(Color { 0, 0, 100 });
        return rect;
    }
    BarButton* button(BarWindow* bar, int commandId)
    {
        for (BarButton* b : bar->findChildren<BarButton*>())
            if (b->commandId() == commandId)
                return b;
        return nullptr;
    }
};

TEST_F(Bars, EveryButtonSendsItsCommand)
{
    start();
    // The entries are the bars' own table; here the widgets follow it.
    struct BarCase {
        BarWindow* bar;
        std::span<const BarEntry> expected;
    };
    for (const BarCase& c : { BarCase { frame()->standardBar(), standardBarEntries() },
             BarCase { frame()->styleBar(), styleBarEntries() }, BarCase { frame()->toolbox(), toolboxEntries() } }) {
        const QList<BarButton*> buttons = c.bar->findChildren<BarButton*>();
        std::size_t b = 0;
        for (const BarEntry& e : c.expected) {
            if (e.isSeparator())
                continue;
            SCOPED_TRACE(e.commandId);
            ASSERT_LT(b, std::size_t(buttons.size()));
            BarButton* button = buttons[qsizetype(b)];
            EXPECT_FALSE(button->icon().pixmap(16, 16).isNull());
            // The click itself, away from the frame (some commands open dialogs).
            QObject::disconnect(button, &BarButton::commandClicked, frame(), nullptr);
            button->setEnabled(true);
            QSignalSpy sent(button, &BarButton::commandClicked);
            QTest::mouseClick(button, Qt::LeftButton);
            ASSERT_EQ(sent.count(), 1);
            EXPECT_EQ(sent.at(0).at(0).toInt(), e.commandId);
            ++b;
        }
        EXPECT_EQ(b, std::size_t(buttons.size()));
    }
}

TEST_F(Bars, ClicksReachTheFrameAndTheKeyboardGoesBackToTheDrawing)
{
    start();
    frame()->show();
    frame()->activateWindow();
    RectangleObject* rect = addRectangle();
    drawing().select(rect);
    runUntilIdle();
    frame()->drawingWindow()->clearFocus();

    // A tool button: the tool becomes current and only its button is pressed,
    // also when the current tool's button is clicked again.
    for (int tool : { 405, 405, 456 }) {
        QTest::mouseClick(button(frame()->toolbox(), tool), Qt::LeftButton);
        EXPECT_EQ(frame()->drawingWindow()->tools().currentCommand(), tool);
        for (BarButton* b : frame()->toolbox()->findChildren<BarButton*>())
            EXPECT_EQ(b->isChecked(), b->commandId() == tool) << b->commandId();
        EXPECT_TRUE(frame()->drawingWindow()->hasFocus());
        frame()->drawingWindow()->clearFocus();
    }
    const Rect box = rect->boundingBox();
    QTest::mouseClick(button(frame()->styleBar(), kCmdFlipHorizontal), Qt::LeftButton);
    EXPECT_TRUE(drawing().history().canUndo());
    EXPECT_EQ(rect->boundingBox(), box); // flipped in place

    // A refused tool (nothing selected, its button not yet disabled by the
    // idle update) leaves the toolbox as it was.
    drawing().deselectAll();
    BarButton* rotate = button(frame()->toolbox(), kCmdRotateTool);
    rotate->setEnabled(true);
    QTest::mouseClick(rotate, Qt::LeftButton);
    EXPECT_EQ(frame()->drawingWindow()->tools().currentCommand(), 456);
    EXPECT_FALSE(rotate->isChecked());
    EXPECT_TRUE(button(frame()->toolbox(), 456)->isChecked());
}

TEST_F(Bars, EnablingFollowsTheSelectionUndoAndClipboard)
{
    start();
    // Needing a selection, by the menu rules and the frame's transform tools
    // (those also need to be in this build).
    const int needSelection[] = { kCmdCut, kCmdBringToFront, kCmdRotateMinus90, kCmdFlipVertical };
    const int transformTools[] = { kCmdScaleTool, kCmdRotateTool, kCmdSkewTool, kCmdReflectTool };
    const int always[] = { kCmdNew, kCmdSave, kCmdFont, kCmdSelectionTool };
    auto enabled = [&](int id) {
        for (BarWindow* bar : { frame()->standardBar(), frame()->styleBar(), frame()->toolbox() })
            if (BarButton* b = button(bar, id))
                return b->isEnabled();
        ADD_FAILURE() << "no button " << id;
        return false;
    };
    RectangleObject* rect = addRectangle();
    for (bool selected : { false, true, false }) {
        if (selected)
            drawing().select(rect);
        else
            drawing().deselectAll();
        frame()->idleWork();
        for (int id : needSelection)
            EXPECT_EQ(enabled(id), selected) << id;
        for (int id : transformTools)
            EXPECT_EQ(enabled(id), selected && MainMenu::isEnabled(id, frame()->menuState())) << id;
        for (int id : always)
            EXPECT_TRUE(enabled(id)) << id;
    }
    EXPECT_FALSE(enabled(kCmdUndo) || enabled(kCmdRedo) || enabled(kCmdPaste));
    drawing().select(rect);
    drawing().runCommand(kCmdCopy);
    drawing().runCommand(kCmdRotatePlus90);
    frame()->idleWork();
    EXPECT_TRUE(enabled(kCmdUndo) && enabled(kCmdPaste));
    EXPECT_FALSE(enabled(kCmdRedo));
}

// The table positions of the colours the bar paints, left to right.
std::vector<int> shownColors(ColorBar* bar)
{
    const QImage picture = bar->grab().toImage();
    const ColorTable& colors = colorBarColors();
    std::vector<int> shown;
    for (int k = 1; ColorBar::swatchRect(k).right() < bar->rightButtonRect().left(); ++k) {
        const std::uint32_t rgb = picture.pixel(ColorBar::swatchRect(k).center()) & 0xFFFFFFu;
        const auto at = std::find(colors.begin(), colors.end(), rgb);
        if (at == colors.end())
            break;
        shown.push_back(int(at - colors.begin()));
    }
    return shown;
}

TEST_F(Bars, SwatchClicksPaintTheSelectionInOneStepAndSetTheDefaults)
{
    start({}, "/usr/bin/zavora", true);
    frame()->resize(1600, 700); // wide enough to show red
    ColorBar* bar = frame()->colorBar();
    const std::vector<int> shown = shownColors(bar);
    ASSERT_GT(shown.size(), 95u);
    ASSERT_EQ(shown[0], 0);
    ASSERT_EQ(colorBarColors()[size_t(shown[95])], 0xFF0000u);
    const QPoint red = ColorBar::swatchRect(96).center();
    RectangleObject* rect = addRectangle();

    // Left click on red: the rectangle is filled red, the text (inside a
    // selected group) turns red, all in one step.
    const FontEntry* font = FontLookup::current() ? FontLookup::current()->find("Helvetica") : nullptr;
    ASSERT_NE(font, nullptr);
    auto* text = static_cast<TextObject*>(
        drawing().append(std::make_unique<TextObject>("Red", font, 12, 14, TextAlign::Left)));
    drawing().deselectAll();
    drawing().select(text);
    drawing().select(addRectangle());
    drawing().group();
    drawing().select(rect);
    drawing().history().clear();
    const PaintStyle textBefore = text->style();
    QTest::mouseClick(bar, Qt::LeftButton, {}, red);
    const Color redPercent { 100, 0, 0 };
    EXPECT_EQ(rect->style().fillColor(), redPercent);
    EXPECT_EQ(text->style().textColor(), redPercent);
    EXPECT_EQ(drawing().defaultStyle().fillColor(), redPercent);
    ASSERT_TRUE(drawing().history().undo());
    EXPECT_EQ(rect->style().fillColor(), (Color { 0, 0, 100 }));
    EXPECT_EQ(text->style(), textBefore);
    EXPECT_FALSE(drawing().history().canUndo());

    // A right click with nothing selected: only the default outline changes.
    drawing().deselectAll();
    QTest::mouseClick(bar, Qt::RightButton, {}, red);
    EXPECT_TRUE(drawing().defaultStyle().strokeOn());
    EXPECT_EQ(drawing().defaultStyle().lineColor(), redPercent);
    EXPECT_FALSE(drawing().history().canUndo());
}

// Holds a scroll button until the bar stops moving; gives the first colour shown.
int holdUntilStill(ColorBar* bar, const QPoint& at)
{
    QTest::mousePress(bar, Qt::LeftButton, {}, at);
    QElapsedTimer clock;
    clock.start();
    int last = -1, still = 0;
    while (clock.elapsed() < 8000 && still < 5) {
        runUntilIdle(40);
        const std::vector<int> shown = shownColors(bar);
        const int first = shown.empty() ? -1 : shown.front();
        still = first == last ? still + 1 : 0;
        last = first;
    }
    QTest::mouseRelease(bar, Qt::LeftButton, {}, at);
    return last;
}

TEST_F(Bars, ScrollingStopsAtBothEnds)
{
    start();
    frame()->resize(1600, 600); // wide, for fewer steps to the end
    ColorBar* bar = frame()->colorBar();
    const QPoint left = bar->leftButtonRect().center();
    const QPoint right = bar->rightButtonRect().center();

    const int end = holdUntilStill(bar, right);
    EXPECT_GT(end, 0);
    const std::vector<int> shown = shownColors(bar);
    ASSERT_FALSE(shown.empty());
    EXPECT_EQ(shown.back(), ColorBar::kColorCount - 1);
    EXPECT_EQ(holdUntilStill(bar, right), end); // cannot scroll: nothing happens

    EXPECT_EQ(holdUntilStill(bar, left), 0);

    // Too narrow for a single colour: nothing to scroll to, the bar stays as drawn.
    bar->resize(60, bar->height());
    ASSERT_TRUE(shownColors(bar).empty());
    const QImage before = bar->grab().toImage();
    holdUntilStill(bar, bar->rightButtonRect().center());
    EXPECT_TRUE(bar->grab().toImage() == before) << "the bar pressed a button or scrolled";
}

} // namespace
} // namespace zavora
