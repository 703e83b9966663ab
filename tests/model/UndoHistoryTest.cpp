#include "model/UndoHistory.h"

#include "model/CommandIds.h"
#include "model/Drawing.h"
#include "model/GraphicsKernel.h"
#include "model/ShapeObjects.h"
#include "model/UndoCommand.h"
#include "platform/Reporter.h"

#include <gtest/gtest.h>

#include <functional>

namespace zavora {
namespace {

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
    while (h.undo()) { }
    EXPECT_EQ(h.redoCount(), 25u);
    EXPECT_EQ(a->boundingBox().left, 1); // the first move is gone for good
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
    h.redo(); // back at the saved state, still modified
    EXPECT_TRUE(d.isModified());
}

TEST_F(UndoHistoryTest, PaintCommandsRecordOnlyWithASelection)
{
    DrawObject* a = rect(0, 0, 10, 10);
    EXPECT_TRUE(d.applyPaintCommand(kCmdFillBlack));
    EXPECT_FALSE(h.canUndo());
    EXPECT_TRUE(d.defaultStyle().fillOn());
    EXPECT_FALSE(a->style().fillOn());

    // With a selection: the object and the default change, one step each.
    d.select(a);
    const Color red { 100, 0, 0 };
    EXPECT_FALSE(d.applyPaintCommand(kCmdLineColor)); // dialog cancelled
    EXPECT_TRUE(d.applyPaintCommand(kCmdLineColor, &red));
    EXPECT_EQ(h.undoCount(), 1u);
    EXPECT_EQ(a->style().lineColor(), red);
    EXPECT_EQ(d.defaultStyle().lineColor(), red);
    h.undo();

    // Pick up style records nothing.
    d.applyPaintCommand(kCmdPickUpStyle);
    EXPECT_EQ(d.defaultStyle(), PaintStyle());
    EXPECT_EQ(h.undoCount(), 0u);
}

TEST_F(UndoHistoryTest, StructuralEditsEmptyBothStacks)
{
    struct Case {
        const char* name;
        std::function<void(Drawing&)> op;
    };
    const std::vector<Case> cases = {
        // The random undo walk covers grouping, stacking, compounds and arrowheads.
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
    EXPECT_EQ(d.defaultStyle().fillColor(), blue);
    EXPECT_EQ(d.defaultStyle().textColor(), blue);

    // Its undo is the random walk's; here the right button's none.
    d.select(a);
    d.applySwatch(true, std::nullopt);
    EXPECT_FALSE(a->style().strokeOn());
    EXPECT_FALSE(d.defaultStyle().strokeOn());
    EXPECT_EQ(h.undoCount(), 1u);
}

} // namespace
} // namespace zavora
