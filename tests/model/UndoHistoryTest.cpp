#include "model/UndoHistory.h"

#include "DrawingDump.h"
#include "model/Clipboard.h"
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
    template <class T, class... Args> T* add(Args&&... args)
    {
        return static_cast<T*>(d.append(std::make_unique<T>(std::forward<Args>(args)...)));
    }
    std::string status() const { return messages.last(RecordingReporter::Kind::Status); }
    static Point centre(const Rect& r) { return { (r.left + r.right) / 2, (r.bottom + r.top) / 2 }; }

    RecordingReporter messages;
    Drawing d;
    UndoHistory& h = d.history();
    Clipboard& clip = d.clipboard();
};

// Commands and the clipboard edits share the drawing fixture.
using UndoCommandTest = UndoHistoryTest;
using ClipboardTest = UndoHistoryTest;

// A paint edit always updates the default style; with a selection it also
// changes the objects, as one step.
TEST_F(UndoHistoryTest, PaintEditsRecordOnlyWithASelection)
{
    const Color red { 100, 0, 0 }, blue { 0, 0, 100 };
    const struct {
        const char* why;
        std::function<void(Drawing&)> apply;
        std::function<bool(const PaintStyle&)> applied;
    } cases[] = {
        { "fill command", [](Drawing& d) { d.applyPaintCommand(kCmdFillBlack); },
            [](const PaintStyle& s) { return s.fillOn(); } },
        { "dialog colour", [&](Drawing& d) { d.applyPaintCommand(kCmdLineColor, &red); },
            [&](const PaintStyle& s) { return s.lineColor() == red; } },
        { "colour bar, left", [&](Drawing& d) { d.applySwatch(false, blue); },
            [&](const PaintStyle& s) { return s.fillColor() == blue; } },
        { "colour bar, right on none", [](Drawing& d) { d.applySwatch(true, std::nullopt); },
            [](const PaintStyle& s) { return !s.strokeOn(); } },
    };
    for (const auto& c : cases) {
        for (const bool selected : { false, true }) {
            SCOPED_TRACE(std::string(c.why) + (selected ? ", selected" : ""));
            Drawing drawing;
            DrawObject* a = drawing.append(std::make_unique<RectangleObject>(0, 0, 10, 10));
            if (selected)
                drawing.select(a);
            c.apply(drawing);
            EXPECT_TRUE(c.applied(drawing.defaultStyle()));
            EXPECT_EQ(c.applied(a->style()), selected);
            EXPECT_EQ(drawing.history().undoCount(), selected ? 1u : 0u);
        }
    }
    // The colour bar's default takes the text colour too; pick up style records nothing.
    d.applySwatch(false, blue);
    EXPECT_EQ(d.defaultStyle().textColor(), blue);
    d.select(rect(0, 0, 10, 10));
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
    // The random undo walk makes the unrecorded ones (group, stacking, compounds, arrowheads).
    const std::vector<Case> cases = {
        { "open", [](Drawing& d) { d.replaceAll({}); } },
        { "new", [](Drawing& d) { d.runCommand(kCmdNew); } },
    };
    for (const Case& c : cases) {
        Drawing drawing;
        drawing.select(drawing.append(std::make_unique<RectangleObject>(0, 0, 10, 10)));
        drawing.applyPaintCommand(kCmdFillBlack);
        drawing.applyPaintCommand(kCmdFillWhite);
        drawing.history().undo();
        ASSERT_TRUE(drawing.history().canUndo() && drawing.history().canRedo());
        c.op(drawing);
        EXPECT_FALSE(drawing.history().canUndo()) << c.name;
        EXPECT_FALSE(drawing.history().canRedo()) << c.name;
    }
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

// Text commands reach text inside groups; fill-or-text colour colours texts
// and fills the rest.
TEST_F(UndoCommandTest, TextCommandsReachTextInsideGroups)
{
    test::EvenFont small { "Small" }, big { "Big" };
    auto* loose = add<TextObject>("a few words", &small, 12, 14, TextAlign::Left);
    loose->setRuns({ { "a few words", &small, 12 }, { " and more in another run", &big, 20 } });
    loose->setFillTransparent();
    auto* rect = add<RectangleObject>(0, 0, 10, 10);
    auto group = std::make_unique<GroupObject>();
    group->appendChild(std::make_unique<TextObject>("b", &small, 30, 40, TextAlign::Right));
    DrawObject* g = d.append(std::move(group));
    auto* inner = static_cast<TextObject*>(static_cast<GroupObject*>(g)->children()[0].get());
    const ObjectRefs all { loose, rect, g };
    const Color red { 100, 0, 0 };

    h.execute(std::make_unique<TextLeadingCommand>(d, all, 99));
    h.execute(std::make_unique<TextFontCommand>(d, all, &big, 90)); // widens the frames
    h.execute(std::make_unique<FillOrTextColorCommand>(d, all, red));
    for (const TextObject* t : std::initializer_list<const TextObject*> { loose, inner }) {
        EXPECT_EQ(t->leading(), 99);
        EXPECT_EQ(t->size(), 90);
        EXPECT_EQ(t->style().textColor(), red);
    }
    EXPECT_FALSE(loose->style().fillOn()); // the text setter leaves the fill flag alone
    EXPECT_EQ(rect->style().fillColor(), red);
    EXPECT_EQ(rect->style().textColor(), Color::black());
}

TEST_F(UndoCommandTest, AddObjectUndoTakesItOutAndEmptiesTheSelection)
{
    auto* keep = add<RectangleObject>(0, 0, 10, 10);
    auto command = std::make_unique<AddObjectCommand>(d, std::make_unique<EllipseObject>(0, 0, 5, 5));
    AddObjectCommand* add = command.get();
    d.history().execute(std::move(command));
    d.setSelection({ keep, add->object() });
    d.history().undo();
    EXPECT_FALSE(add->inDrawing());
    EXPECT_TRUE(d.selection().empty());
}

// Their undo, which selects again what they replaced, is the random walk's,
// as is that a copy changes nothing.
TEST_F(ClipboardTest, CopyAndCutCloneInSelectionOrder)
{
    DrawObject *a = rect(0, 0, 10, 10), *b = rect(20, 0, 30, 10), *c = rect(40, 0, 50, 10);
    d.setModified(false);
    d.setSelection({ c, a, b });
    d.runCommand(kCmdCopy);
    EXPECT_EQ(status(), "3 objects copied to clipboard");
    ASSERT_EQ(clip.size(), 3u);
    // Clones in selection order, none of them the drawing's own objects.
    EXPECT_EQ(clip.objects()[0]->boundingBox(), c->boundingBox());
    EXPECT_NE(clip.objects()[0].get(), c);
    EXPECT_FALSE(d.isModified());

    d.setSelection({ c, a });
    d.runCommand(kCmdCut);
    ASSERT_EQ(clip.size(), 2u);
    EXPECT_EQ(clip.objects()[1]->boundingBox(), a->boundingBox());
    EXPECT_EQ(d.objects().size(), 1u);
    EXPECT_TRUE(d.selection().empty());
    EXPECT_EQ(h.undoCount(), 1u);

    d.clearSelection();
    d.runCommand(kCmdCopy);
    EXPECT_TRUE(clip.isEmpty());
}

// Each paste is a new set of clones centred on the view, the offset snapped
// to the grid when snapping is on.
TEST_F(ClipboardTest, PasteMakesIndependentSetsCentredOnTheView)
{
    EXPECT_FALSE(clip.paste(d, Rect { 0, 0, 100, 100 })); // the random walk checks it changes nothing
    EXPECT_EQ(status(), "Internal clipboard is empty");
    rect(0, 0, 10, 10);
    rect(30, 20, 40, 40);
    d.selectAll();
    d.runCommand(kCmdCut);
    const Rect view { 200, 100, 600, 400 }; // centre (400, 250)

    ASSERT_TRUE(clip.paste(d, view));
    const ObjectRefs first = d.selection();
    EXPECT_EQ(centre(d.selectionBox()), (Point { 400, 250 }));
    ASSERT_TRUE(clip.paste(d, view));
    const ObjectRefs second = d.selection();
    EXPECT_EQ(d.objectAt(2), second[0]); // on top of the first set
    EXPECT_EQ(centre(d.selectionBox()), (Point { 400, 250 }));
    second[0]->translate(5, 5);
    EXPECT_EQ(first[0]->boundingBox(), (Rect { 380, 230, 390, 240 }));
    // The clipboard still holds its objects where they were cut.
    EXPECT_EQ(clip.objects()[0]->boundingBox(), (Rect { 0, 0, 10, 10 }));

    d.setGrid({ 20, 20, 0, 1 }); // the offset (52, -48) snaps to (60, -40)
    ASSERT_TRUE(clip.paste(d, Rect { 0, -100, 144, 44 }));
    EXPECT_EQ(d.selectionBox(), (Rect { 60, -40, 100, 0 }));
}

TEST_F(ClipboardTest, DuplicateReplacesTheSelectionWithOffsetClones)
{
    DrawObject* a = rect(0, 0, 10, 10);
    DrawObject* b = rect(50, 50, 60, 60);
    d.setGrid({ 9, 4, 0, 0 });
    d.setSelection({ b, a });
    d.moveSelection(1, 0);
    d.runCommand(kCmdDuplicate);
    ASSERT_EQ(d.objectCount(), 4u);
    EXPECT_EQ(d.selection(), (ObjectRefs { d.objectAt(2), d.objectAt(3) }));
    EXPECT_EQ(d.objectAt(2)->boundingBox(), (Rect { 60, 54, 70, 64 })); // b's clone first
    EXPECT_EQ(d.objectAt(3)->boundingBox(), (Rect { 10, 4, 20, 14 }));
    EXPECT_EQ(a->boundingBox(), (Rect { 1, 0, 11, 10 }));

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
