#include "model/UndoHistory.h"

#include "DrawingDump.h"
#include "model/CommandIds.h"
#include "model/Drawing.h"
#include "model/GraphicsKernel.h"
#include "model/GroupObject.h"
#include "model/ShapeObjects.h"
#include "model/UndoCommand.h"
#include "platform/Reporter.h"

#include <gtest/gtest.h>

#include <functional>

namespace zavora {
namespace {

using test::dumpDrawing;

// Counts live instances, so a test can see every removed object destroyed exactly once.
struct CountedRect : RectangleObject {
    static inline int alive = 0;
    CountedRect(float x1, float y1, float x2, float y2)
        : RectangleObject(x1, y1, x2, y2)
    {
        ++alive;
    }
    ~CountedRect() override { --alive; }
};

class UndoHistoryTest : public ::testing::Test {
protected:
    void SetUp() override { kernel().reset(); }

    DrawObject* rect(float x1, float y1, float x2, float y2)
    {
        return d.append(std::make_unique<RectangleObject>(x1, y1, x2, y2));
    }
    std::vector<DrawObject*> list() const
    {
        std::vector<DrawObject*> out;
        for (const auto& o : d.objects())
            out.push_back(o.get());
        return out;
    }

    Drawing d;
    UndoHistory& h = d.history();
};

TEST_F(UndoHistoryTest, KeepsTheLastTwentyFiveEdits)
{
    DrawObject* a = rect(0, 0, 10, 10);
    d.select(a);
    for (int i = 0; i < 26; ++i)
        d.moveSelection(1, 0);
    EXPECT_EQ(h.undoCount(), 25u);
    int undone = 0;
    while (h.undo())
        ++undone;
    EXPECT_EQ(undone, 25);
    EXPECT_EQ(h.redoCount(), 25u);
    // The first move is gone for good.
    EXPECT_EQ(a->boundingBox().left, 1);
    while (h.redo()) { }
    EXPECT_EQ(a->boundingBox().left, 26);
    EXPECT_FALSE(h.redo());
}

TEST_F(UndoHistoryTest, ANewEditAfterUndoEmptiesRedo)
{
    DrawObject* a = rect(0, 0, 10, 10);
    d.select(a);
    d.moveSelection(5, 0);
    d.moveSelection(5, 0);
    ASSERT_TRUE(h.undo());
    EXPECT_TRUE(h.canRedo());
    d.scaleSelection(200, 100);
    EXPECT_FALSE(h.canRedo());
    EXPECT_FALSE(h.redo());
    EXPECT_EQ(h.undoCount(), 2u);
    // Undo and redo on empty stacks change nothing.
    Drawing empty;
    EXPECT_FALSE(empty.history().undo());
    EXPECT_FALSE(empty.history().redo());
    EXPECT_FALSE(empty.isModified());
}

TEST_F(UndoHistoryTest, UndoAndRedoMarkTheDrawingModified)
{
    DrawObject* a = rect(0, 0, 10, 10);
    d.select(a);
    d.moveSelection(3, 0);
    d.setModified(false); // saved here
    h.undo();
    EXPECT_TRUE(d.isModified());
    d.setModified(false);
    h.redo();
    EXPECT_TRUE(d.isModified());
    d.setModified(false);
    h.undo();
    h.redo(); // back at the saved state, still modified
    EXPECT_TRUE(d.isModified());
}

TEST_F(UndoHistoryTest, UndoingAMultiDepthDeleteRestoresEveryIndex)
{
    for (int i = 0; i < 7; ++i)
        rect(float(i), 0, float(i) + 5, 5);
    const std::vector<DrawObject*> before = list();
    const std::string dump = dumpDrawing(d);
    // Front, back and middle, selected out of stacking order.
    d.setSelection({ before[4], before[0], before[6], before[2] });
    d.runCommand(kCmdClear);
    EXPECT_EQ(list(), (std::vector<DrawObject*> { before[1], before[3], before[5] }));
    EXPECT_TRUE(d.selection().empty());
    EXPECT_TRUE(d.isModified());
    h.undo();
    EXPECT_EQ(list(), before);
    EXPECT_EQ(dumpDrawing(d), dump);
    h.redo();
    EXPECT_EQ(d.objectCount(), 3u);
    h.undo();
    EXPECT_EQ(list(), before);
}

TEST_F(UndoHistoryTest, UndoingAGroupRotationRestoresTheMembers)
{
    auto group = std::make_unique<GroupObject>();
    auto inner = std::make_unique<GroupObject>();
    inner->appendChild(std::make_unique<RectangleObject>(0, 0, 10, 20));
    group->appendChild(std::move(inner));
    group->appendChild(std::make_unique<EllipseObject>(50, 50, 10, 5));
    DrawObject* g = d.append(std::move(group));
    d.select(g);
    d.scaleSelection(150, 50); // members now carry different matrices
    const std::string scaled = dumpDrawing(d);
    d.rotateSelection(33);
    const std::string rotated = dumpDrawing(d);
    ASSERT_NE(rotated, scaled);
    h.undo();
    EXPECT_EQ(dumpDrawing(d), scaled);
    h.redo();
    EXPECT_EQ(dumpDrawing(d), rotated);
    d.runCommand(kCmdRotateMinus90);
    d.runCommand(kCmdUndo);
    EXPECT_EQ(dumpDrawing(d), rotated);
}

TEST_F(UndoHistoryTest, PaintCommandsRecordOnlyWithASelection)
{
    DrawObject* a = rect(0, 0, 10, 10);
    EXPECT_TRUE(d.applyPaintCommand(kCmdFillBlack));
    EXPECT_FALSE(h.canUndo());
    EXPECT_TRUE(d.defaultStyle().fillOn());
    EXPECT_FALSE(a->style().fillOn());

    d.select(a);
    d.applyPaintCommand(kCmdPen11);
    d.applyPaintCommand(kCmdPattern0 + 3);
    const Color red { 100, 0, 0 };
    EXPECT_FALSE(d.applyPaintCommand(kCmdLineColor)); // dialog cancelled
    EXPECT_TRUE(d.applyPaintCommand(kCmdLineColor, &red));
    EXPECT_EQ(h.undoCount(), 3u);
    EXPECT_EQ(a->style().lineWidth(), 5.0f);
    EXPECT_EQ(a->style().fillPattern(), 3);
    EXPECT_EQ(a->style().lineColor(), red);
    EXPECT_EQ(d.defaultStyle().lineColor(), red);
    h.undo();
    h.undo();
    h.undo();
    EXPECT_EQ(a->style(), PaintStyle());

    // Apply default style records the whole default record; pick up style records nothing.
    d.applyPaintCommand(kCmdApplyDefaultStyle);
    EXPECT_EQ(a->style(), d.defaultStyle());
    EXPECT_EQ(h.undoCount(), 1u);
    h.undo();
    d.applyPaintCommand(kCmdPickUpStyle);
    EXPECT_EQ(d.defaultStyle(), PaintStyle());
    EXPECT_EQ(h.undoCount(), 0u);
}

TEST_F(UndoHistoryTest, UndoingAStyleOnAGroupGivesEachMemberItsOwnStyleBack)
{
    auto group = std::make_unique<GroupObject>();
    auto red = std::make_unique<RectangleObject>(0, 0, 10, 10);
    red->setFillColor({ 100, 0, 0 });
    auto dashed = std::make_unique<EllipseObject>(20, 20, 5, 5);
    dashed->setDash(2);
    group->appendChild(std::move(red));
    group->appendChild(std::move(dashed));
    DrawObject* g = d.append(std::move(group));
    const std::string before = dumpDrawing(d);
    d.select(g);
    d.applyPaintCommand(kCmdFillWhite);
    d.applyPaintCommand(kCmdPen5);
    h.undo();
    h.undo();
    EXPECT_EQ(dumpDrawing(d), before);
}

TEST_F(UndoHistoryTest, ArrowheadsAndStructuralEditsEmptyBothStacks)
{
    struct Case {
        const char* name;
        std::function<void(Drawing&)> op;
    };
    const std::vector<Case> cases = {
        { "first arrow", [](Drawing& d) { d.applyPaintCommand(kCmdFirstBigArrow); } },
        { "group", [](Drawing& d) { d.runCommand(kCmdGroup); } },
        { "group then ungroup",
            [](Drawing& d) {
                d.runCommand(kCmdGroup);
                d.runCommand(kCmdUngroup);
            } },
        { "compound path", [](Drawing& d) { d.runCommand(kCmdMakeCompoundPath); } },
        { "bring to front", [](Drawing& d) { d.runCommand(kCmdBringToFront); } },
        { "send to back", [](Drawing& d) { d.runCommand(kCmdSendToBack); } },
        { "move forward", [](Drawing& d) { d.runCommand(kCmdMoveForward); } },
        { "move backward", [](Drawing& d) { d.runCommand(kCmdMoveBackward); } },
        { "unrecorded structural edit", [](Drawing& d) { d.markStructureEdited(); } },
        { "open", [](Drawing& d) { d.replaceAll({}); } },
        { "new", [](Drawing& d) { d.runCommand(kCmdNew); } },
    };
    RecordingReporter quiet;
    for (const Case& c : cases) {
        Drawing drawing;
        drawing.select(drawing.append(std::make_unique<RectangleObject>(0, 0, 10, 10)));
        drawing.select(drawing.append(std::make_unique<RectangleObject>(5, 5, 20, 20)));
        drawing.applyPaintCommand(kCmdFillBlack);
        drawing.applyPaintCommand(kCmdFillWhite);
        drawing.applyPaintCommand(kCmdTextBlack);
        drawing.history().undo();
        ASSERT_TRUE(drawing.history().canUndo() && drawing.history().canRedo());
        c.op(drawing);
        EXPECT_FALSE(drawing.history().canUndo()) << c.name;
        EXPECT_FALSE(drawing.history().canRedo()) << c.name;
    }
    // The arrowhead change itself reached the selection.
    DrawObject* a = rect(0, 0, 10, 10);
    d.select(a);
    d.applyPaintCommand(kCmdSecondCircle);
    EXPECT_EQ(a->arrows(), (std::pair<int, int> { kArrowNone, kArrowCircle }));
    EXPECT_TRUE(d.isModified());
}

TEST_F(UndoHistoryTest, CopySelectAndLockKeepTheHistory)
{
    RecordingReporter quiet;
    DrawObject* a = rect(0, 0, 10, 10);
    d.select(a);
    d.moveSelection(1, 1);
    for (int id : { kCmdCopy, kCmdSelectAll, kCmdDeselectAll, kCmdSelectAll, kCmdLock, kCmdUnlockAll })
        d.runCommand(id);
    EXPECT_EQ(h.undoCount(), 1u);
}

TEST_F(UndoHistoryTest, AlignAndSpaceEvenlyUndoExactly)
{
    DrawObject* a = rect(0, 0, 10, 10);
    DrawObject* b = rect(30, 40, 45, 60);
    DrawObject* c = rect(100, 7, 120, 9);
    d.setSelection({ a, b, c });
    const std::string start = dumpDrawing(d);
    d.runCommand(kCmdAlignTops);
    const std::string aligned = dumpDrawing(d);
    d.runCommand(kCmdSpaceEdgesHorizontally);
    const std::string spaced = dumpDrawing(d);
    ASSERT_NE(aligned, start);
    ASSERT_NE(spaced, aligned);
    d.setSelection({ a }); // redo works on its own copy of the selection
    h.undo();
    EXPECT_EQ(dumpDrawing(d), aligned);
    h.undo();
    EXPECT_EQ(dumpDrawing(d), start);
    h.redo();
    h.redo();
    EXPECT_EQ(dumpDrawing(d), spaced);
}

TEST_F(UndoHistoryTest, CommandsDestroyWhatTheyOwnExactlyOnce)
{
    CountedRect::alive = 0;
    {
        Drawing drawing;
        UndoHistory& history = drawing.history();
        // Undone additions die when a new push empties the redo stack.
        for (int i = 0; i < 3; ++i)
            history.execute(
                std::make_unique<AddObjectCommand>(drawing, std::make_unique<CountedRect>(0, 0, 1, 1)));
        EXPECT_EQ(CountedRect::alive, 3);
        history.undo();
        history.undo();
        EXPECT_EQ(drawing.objectCount(), 1u);
        drawing.selectAll();
        drawing.moveSelection(1, 1);
        EXPECT_EQ(CountedRect::alive, 1);

        // A done delete dies when it falls off the bottom of a full stack.
        drawing.runCommand(kCmdClear);
        EXPECT_EQ(CountedRect::alive, 1);
        DrawObject* other = drawing.append(std::make_unique<RectangleObject>(0, 0, 5, 5));
        drawing.select(other);
        for (std::size_t i = 0; i < UndoHistory::kDepth - 1; ++i)
            drawing.moveSelection(1, 0);
        EXPECT_EQ(CountedRect::alive, 1); // the delete is now the oldest of 25
        drawing.moveSelection(1, 0);
        EXPECT_EQ(CountedRect::alive, 0);

        // Objects owned by commands still on the stacks die with the drawing.
        history.execute(
            std::make_unique<AddObjectCommand>(drawing, std::make_unique<CountedRect>(0, 0, 1, 1)));
        drawing.selectAll();
        drawing.runCommand(kCmdClear); // owned by the delete on the undo stack
        history.execute(
            std::make_unique<AddObjectCommand>(drawing, std::make_unique<CountedRect>(0, 0, 1, 1)));
        history.undo(); // owned by the addition on the redo stack
        EXPECT_EQ(CountedRect::alive, 2);
        EXPECT_EQ(drawing.objectCount(), 0u);
    }
    EXPECT_EQ(CountedRect::alive, 0);
}

TEST_F(UndoHistoryTest, ColourBarRecordsOneCommandAndUpdatesTheDefault)
{
    DrawObject* a = rect(0, 0, 10, 10);
    const Color blue { 0, 0, 100 };
    d.applySwatch(false, blue); // nothing selected: default only
    EXPECT_FALSE(h.canUndo());
    EXPECT_TRUE(d.defaultStyle().fillOn());
    EXPECT_EQ(d.defaultStyle().fillColor(), blue);
    EXPECT_EQ(d.defaultStyle().textColor(), blue);

    d.select(a);
    d.applySwatch(true, std::nullopt);
    EXPECT_FALSE(a->style().strokeOn());
    EXPECT_FALSE(d.defaultStyle().strokeOn());
    d.applySwatch(false, std::nullopt);
    EXPECT_FALSE(d.defaultStyle().fillOn());
    EXPECT_EQ(h.undoCount(), 2u);
    h.undo();
    h.undo();
    EXPECT_EQ(a->style(), PaintStyle());
}

} // namespace
} // namespace zavora
