#include "model/Clipboard.h"

#include "DrawingDump.h"
#include "model/CommandIds.h"
#include "model/Drawing.h"
#include "model/GraphicsKernel.h"
#include "model/ShapeObjects.h"
#include "platform/Reporter.h"

#include <gtest/gtest.h>

namespace zavora {
namespace {

using Kind = RecordingReporter::Kind;

class ClipboardTest : public ::testing::Test {
protected:
    void SetUp() override { kernel().reset(); }

    DrawObject* rect(float x1, float y1, float x2, float y2)
    {
        return d.append(std::make_unique<RectangleObject>(x1, y1, x2, y2));
    }
    std::string status() const { return messages.last(Kind::Status); }
    static Point centre(const Rect& r) { return { (r.left + r.right) / 2, (r.bottom + r.top) / 2 }; }

    RecordingReporter messages;
    Drawing d;
    Clipboard& clip = d.clipboard();
};

TEST_F(ClipboardTest, CopyReportsTheCountAndLeavesDrawingAndHistory)
{
    DrawObject* a = rect(0, 0, 10, 10);
    DrawObject* b = rect(20, 0, 30, 10);
    DrawObject* c = rect(40, 0, 50, 10);
    d.select(a);
    d.moveSelection(1, 0);
    d.setModified(false);
    const std::string dump = test::dumpDrawing(d);

    d.setSelection({ c, a, b });
    d.runCommand(kCmdCopy);
    EXPECT_EQ(status(), "3 objects copied to clipboard");
    ASSERT_EQ(clip.size(), 3u);
    // Clones in selection order, none of them the drawing's own objects.
    EXPECT_EQ(clip.objects()[0]->boundingBox(), c->boundingBox());
    EXPECT_NE(clip.objects()[0].get(), c);
    EXPECT_EQ(test::dumpDrawing(d), dump);
    EXPECT_TRUE(d.history().canUndo());
    EXPECT_FALSE(d.isModified());

    d.clearSelection();
    d.runCommand(kCmdCopy);
    EXPECT_TRUE(clip.isEmpty());
}

TEST_F(ClipboardTest, CutIsOneStepThatUndoPutsBackInPlaceAndSelected)
{
    DrawObject* a = rect(0, 0, 10, 10);
    DrawObject* b = rect(20, 0, 30, 10);
    DrawObject* c = rect(40, 0, 50, 10);
    d.select(c);
    d.moveSelection(0, 5);
    d.setSelection({ c, a });
    d.runCommand(kCmdCut);
    EXPECT_EQ(status(), "2 objects cut to clipboard");
    // Copies in selection order; the drawing keeps only b.
    ASSERT_EQ(clip.size(), 2u);
    EXPECT_EQ(clip.objects()[0]->boundingBox(), c->boundingBox());
    EXPECT_EQ(clip.objects()[1]->boundingBox(), a->boundingBox());
    EXPECT_EQ(d.objects().size(), 1u);
    EXPECT_TRUE(d.selection().empty());

    // The very objects come back at their depths, selected, and the move
    // before the cut is still in the history.
    d.runCommand(kCmdUndo);
    EXPECT_EQ(d.objectAt(0), a);
    EXPECT_EQ(d.objectAt(1), b);
    EXPECT_EQ(d.objectAt(2), c);
    EXPECT_EQ(d.selection(), (ObjectRefs { c, a }));
    d.runCommand(kCmdUndo);
    EXPECT_EQ(c->boundingBox(), (Rect { 40, 0, 50, 10 }));
}

TEST_F(ClipboardTest, PasteTwiceGivesTwoIndependentCentredSets)
{
    rect(0, 0, 10, 10);
    rect(30, 20, 40, 40);
    d.selectAll();
    d.runCommand(kCmdCut);
    const Rect view { 200, 100, 600, 400 }; // centre (400, 250)

    ASSERT_TRUE(clip.paste(d, view));
    EXPECT_EQ(status(), "2 objects pasted from clipboard");
    const ObjectRefs first = d.selection();
    EXPECT_EQ(centre(d.selectionBox()), (Point { 400, 250 }));

    ASSERT_TRUE(clip.paste(d, view));
    const ObjectRefs second = d.selection();
    EXPECT_EQ(d.objectCount(), 4u);
    EXPECT_EQ(d.objectAt(2), second[0]); // on top of the first set
    EXPECT_EQ(centre(d.selectionBox()), (Point { 400, 250 }));
    second[0]->translate(5, 5);
    EXPECT_EQ(first[0]->boundingBox(), (Rect { 380, 230, 390, 240 }));
    // The clipboard still holds its objects where they were cut.
    EXPECT_EQ(clip.objects()[0]->boundingBox(), (Rect { 0, 0, 10, 10 }));

    // Each paste is one step: undo takes the second set out and gives the
    // first one its selection back.
    d.runCommand(kCmdUndo);
    EXPECT_EQ(d.objectCount(), 2u);
    EXPECT_EQ(d.selection(), first);
}

TEST_F(ClipboardTest, PasteSnapsTheOffsetToTheGrid)
{
    rect(0, 0, 10, 10); // centre (5, 5)
    d.selectAll();
    d.runCommand(kCmdCopy);
    d.setGrid({ 20, 20, 0, 1 });
    // Offset (67, -33) snaps to (60, -40).
    ASSERT_TRUE(clip.paste(d, Rect { 0, -100, 144, 44 }));
    EXPECT_EQ(d.selectionBox(), (Rect { 60, -40, 70, -30 }));
    d.setGrid({ 20, 20, 0, 0 });
    ASSERT_TRUE(clip.paste(d, Rect { 0, -100, 144, 44 }));
    EXPECT_EQ(d.selectionBox(), (Rect { 67, -33, 77, -23 }));
}

TEST_F(ClipboardTest, PasteOfAnEmptyClipboardChangesNothing)
{
    DrawObject* a = rect(0, 0, 10, 10);
    d.select(a);
    d.moveSelection(1, 1);
    d.setModified(false);
    const std::string dump = test::dumpDrawing(d);
    EXPECT_FALSE(clip.paste(d, Rect { 0, 0, 100, 100 }));
    EXPECT_EQ(status(), "Internal clipboard is empty");
    EXPECT_EQ(test::dumpDrawing(d), dump);
    EXPECT_EQ(d.selection(), (ObjectRefs { a }));
    EXPECT_TRUE(d.history().canUndo());
}

TEST_F(ClipboardTest, DuplicateReplacesTheSelectionWithOffsetClones)
{
    DrawObject* a = rect(0, 0, 10, 10);
    DrawObject* b = rect(50, 50, 60, 60);
    d.setGrid({ 9, 4, 0, 0 });
    d.setSelection({ b, a });
    d.moveSelection(1, 0);
    d.runCommand(kCmdDuplicate);
    EXPECT_EQ(status(), "2 objects duplicated");
    ASSERT_EQ(d.objectCount(), 4u);
    EXPECT_EQ(d.selection(), (ObjectRefs { d.objectAt(2), d.objectAt(3) }));
    EXPECT_EQ(d.objectAt(2)->boundingBox(), (Rect { 60, 54, 70, 64 })); // b's clone first
    EXPECT_EQ(d.objectAt(3)->boundingBox(), (Rect { 10, 4, 20, 14 }));
    EXPECT_EQ(a->boundingBox(), (Rect { 1, 0, 11, 10 }));
    // One step: undo takes the clones out and selects the sources again.
    d.runCommand(kCmdUndo);
    EXPECT_EQ(d.objectCount(), 2u);
    EXPECT_EQ(d.selection(), (ObjectRefs { b, a }));
    EXPECT_TRUE(d.history().canUndo()); // the move before it

    // A new drawing's grid is 18 points each way, so a copy never lands on
    // its source; an empty spacing (a file without a grid) takes it too.
    Drawing fresh;
    fresh.select(fresh.append(std::make_unique<RectangleObject>(0, 0, 10, 10)));
    fresh.runCommand(kCmdDuplicate);
    EXPECT_EQ(fresh.selection().front()->boundingBox(), (Rect { 18, 18, 28, 28 }));
    fresh.setGrid({ 0, -5, 1, 1 });
    EXPECT_EQ(fresh.grid(), (Grid { 18, 18, 1, 1 }));
}

} // namespace
} // namespace zavora
