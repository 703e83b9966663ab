// The tools' rules without a toolkit: a view with a one-to-one mapping and a
// screen canvas without pixels, the tools driven through their operations.
#include "model/CommandIds.h"
#include "model/Drawing.h"
#include "model/GroupObject.h"
#include "model/ShapeObjects.h"
#include "platform/RasterSurface.h"
#include "platform/Reporter.h"
#include "raster/ScreenCanvas.h"
#include "tools/SelectionTool.h"
#include "tools/ShapeTool.h"
#include "tools/ToolSet.h"
#include "tools/ToolView.h"

#include <gtest/gtest.h>

#include <cmath>

namespace zavora {
namespace {

class NoSurfaces : public SurfaceFactory {
public:
    std::unique_ptr<RasterSurface> createSurface(int32_t, int32_t) override { return nullptr; }
};

// One window pixel is one drawing point; feedback goes nowhere.
class PlainView : public ToolView {
public:
    PlainView()
        : m_canvas(m_factory)
    { }
    Drawing& drawing() override { return m_drawing; }
    ScreenCanvas& canvas() override { return m_canvas; }
    bool previewMode() const override { return true; }
    Point toDrawing(float px, float py) const override { return { px, py }; }
    Point toWindow(float x, float y) const override { return { x, y }; }
    Point pixelsToDrawing(float dx, float dy) const override { return { std::fabs(dx), std::fabs(dy) }; }
    void setCursorShape(int) override { }
    int cursorShape() const override { return 0; }
    void setToolButtonPressed(int, bool) override { }
    void redrawStatus() override { }
    void repaintArea(const Rect&, int) override { }
    bool editText(TextObject&, Point) override { return false; }
    NodeChoice nodeMenu(const NodeMenuState&) override { return NodeChoice::None; }
    void panBy(float, float) override { }
    void zoomToRect(float, float, float, float) override { }

    Drawing m_drawing;
    NoSurfaces m_factory;
    ScreenCanvas m_canvas;
};

class ToolLogic : public ::testing::Test {
protected:
    DrawObject* add(std::unique_ptr<DrawObject> object) { return view.m_drawing.append(std::move(object)); }
    void click(float x, float y, bool shift = false)
    {
        Tool& tool = *tools.currentTool();
        tool.mouseDown(x, y, shift);
        tool.mouseUp(x, y, shift);
    }
    void dragWith(Tool& tool, Point from, Point to, bool shift = false)
    {
        tool.mouseDown(from.x, from.y, shift);
        tool.mouseDrag((from.x + to.x) / 2, (from.y + to.y) / 2, shift);
        tool.mouseDrag(to.x, to.y, shift);
        tool.mouseUp(to.x, to.y, shift);
    }
    Drawing& drawing() { return view.m_drawing; }

    RecordingReporter messages;
    PlainView view;
    ToolSet tools { view };
};

TEST(ToolOutline, LinesAndShapesWithoutAreaMeetAMarquee)
{
    LineObject across(-10, 5, 30, 5);
    EXPECT_TRUE(SelectionTool::outlineMeets(across, { 0, 0, 10, 10 }));
    EXPECT_FALSE(SelectionTool::outlineMeets(across, { 0, 6, 10, 10 }));
    // A diagonal passing beside the corner misses it.
    LineObject diagonal(0, 20, 20, 0);
    EXPECT_FALSE(SelectionTool::outlineMeets(diagonal, { 0, 0, 9, 9 }));
    EXPECT_TRUE(SelectionTool::outlineMeets(diagonal, { 0, 0, 11, 11 }));
    // Moved through its matrix, the line is met where it stands now.
    LineObject moved(0, 0, 10, 0);
    moved.translate(100, 100);
    EXPECT_FALSE(SelectionTool::outlineMeets(moved, { 0, -1, 10, 1 }));
    EXPECT_TRUE(SelectionTool::outlineMeets(moved, { 105, 99, 106, 101 }));
    // A rectangle of no width inside the marquee; corners in any order.
    RectangleObject thin(5, 0, 5, 10);
    EXPECT_TRUE(SelectionTool::outlineMeets(thin, { 20, 20, 0, -5 }));
    // A group is met through a member line.
    GroupObject group;
    group.appendChild(std::make_unique<LineObject>(0, 0, 50, 0));
    group.appendChild(std::make_unique<LineObject>(0, 50, 50, 50));
    EXPECT_TRUE(SelectionTool::outlineMeets(group, { 20, 45, 30, 55 }));
    EXPECT_FALSE(SelectionTool::outlineMeets(group, { 20, 10, 30, 40 }));
}

TEST_F(ToolLogic, ToolChangeMidGesturePutsTheShapeBackOrDropsIt)
{
    auto* rect = static_cast<RectangleObject*>(add(std::make_unique<RectangleObject>(0, 0, 40, 40)));
    drawing().setSelection({ rect });
    Tool& selection = *tools.currentTool();
    selection.mouseDown(40, 40, false);
    selection.mouseDrag(70, 80, false);
    ASSERT_EQ(rect->corner2(), (Point { 70, 80 }));
    tools.selectTool(405);
    // Nothing was recorded, so nothing may stay changed.
    EXPECT_EQ(rect->corner2(), (Point { 40, 40 }));

    // A shape being drawn is dropped; the release reaches the new tool.
    tools.currentTool()->mouseDown(0, 0, false);
    tools.currentTool()->mouseDrag(40, 40, false);
    tools.selectTool(456);
    tools.currentTool()->mouseUp(40, 40, false);
    EXPECT_EQ(drawing().objectCount(), 1u);
    EXPECT_FALSE(drawing().history().canUndo());
}

// A click attaches the rectangle tool to the selected rectangle; whatever then
// takes it away, the tool must let go and draw a new one, even from its corner.
TEST_F(ToolLogic, ShapeToolsLetGoOfShapesThatLeaveTheDrawingOrTheSelection)
{
    struct Case {
        const char* name;
        int command; // what the user does after the click; 0: a click on empty paper
        bool oldRectangleStays;
    };
    for (const Case& c : { Case { "New", kCmdNew, false }, Case { "Undo", kCmdUndo, false },
             Case { "Cut", kCmdCut, false }, Case { "Clear", kCmdClear, false },
             Case { "Group", kCmdGroup, true }, Case { "Deselect", 0, true } }) {
        SCOPED_TRACE(c.name);
        drawing().newDrawing();
        ASSERT_TRUE(tools.selectTool(405));
        dragWith(*tools.currentTool(), { 0, 0 }, { 40, 40 });
        auto* old = static_cast<RectangleObject*>(drawing().objectAt(0));
        ASSERT_NE(old, nullptr);
        ASSERT_TRUE(tools.selectTool(456));
        click(20, 20); // inside the selected rectangle, on no handle
        ASSERT_EQ(drawing().selection(), (ObjectRefs { old }));
        if (c.command)
            drawing().runCommand(c.command);
        else
            click(200, 200);

        ASSERT_TRUE(tools.selectTool(405));
        const std::size_t before = drawing().deepCount();
        dragWith(*tools.currentTool(), { 40, 40 }, { 70, 60 });
        EXPECT_EQ(drawing().deepCount(), before + 1);
        auto* drawn = dynamic_cast<RectangleObject*>(drawing().objectAt(drawing().objectCount() - 1));
        ASSERT_NE(drawn, nullptr);
        EXPECT_EQ(drawn->corner1(), (Point { 40, 40 }));
        EXPECT_EQ(drawn->corner2(), (Point { 70, 60 }));
        if (c.oldRectangleStays) {
            EXPECT_EQ(old->corner2(), (Point { 40, 40 }));
        }
    }
}

// A handle grabbed in a larger selection leaves its object alone selected,
// and the status bar says so rather than keeping the old count.
TEST_F(ToolLogic, GrabbingAHandleSelectsItsObjectAlone)
{
    auto* first = static_cast<RectangleObject*>(add(std::make_unique<RectangleObject>(0, 0, 40, 40)));
    DrawObject* second = add(std::make_unique<RectangleObject>(100, 100, 140, 140));
    drawing().setSelection({ first, second });
    Tool& selection = *tools.currentTool();
    selection.mouseDown(43, 43, false); // 3 pixels off the corner
    EXPECT_EQ(drawing().selection(), (ObjectRefs { first }));
    EXPECT_EQ(messages.last(RecordingReporter::Kind::Status), "1 object selected");
    selection.mouseDrag(60, 50, false);
    selection.mouseUp(60, 50, false);
    EXPECT_EQ(first->corner2(), (Point { 60, 50 }));
}

TEST_F(ToolLogic, ObjectSnapPullsTheEndsOntoNearbyOutlines)
{
    add(std::make_unique<RectangleObject>(0, 0, 100, 100));
    drawing().setObjectSnap({ 1, 5 });
    ASSERT_TRUE(tools.selectTool(401));
    dragWith(*tools.currentTool(), { 3, 50 }, { 50, 50 });
    ASSERT_EQ(drawing().objectCount(), 2u);
    auto* line = static_cast<LineObject*>(drawing().objectAt(1));
    EXPECT_NEAR(line->first().x, 0, 1e-3);
    EXPECT_NEAR(line->first().y, 50, 1e-3);
    EXPECT_EQ(line->second(), (Point { 50, 50 })); // nothing within 5 points
}

} // namespace
} // namespace zavora
