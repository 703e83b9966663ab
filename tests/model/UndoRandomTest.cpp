// Random edits, undos and redos: after every step the drawing's dump is the
// state the history says it is at, an edit that records nothing changes
// nothing, and undoing Cut, Paste, Duplicate or Insert restores the selection.

#include "DrawingDump.h"
#include "model/CommandIds.h"
#include "model/Drawing.h"
#include "model/GraphicsKernel.h"
#include "model/GroupObject.h"
#include "model/ImageObject.h"
#include "model/UndoCommand.h"
#include "platform/Reporter.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <optional>
#include <random>

namespace zavora {
namespace {

using test::dumpDrawing;

class RandomEditor {
public:
    RandomEditor(Drawing& drawing, uint32_t seed)
        : d(drawing)
        , rng(seed)
    { }

    int uniform(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); }
    float real(float lo, float hi) { return std::uniform_real_distribution<float>(lo, hi)(rng); }
    bool chance(int percent) { return uniform(1, 100) <= percent; }
    Color color() { return Color::fromInts(uniform(0, 100), uniform(0, 100), uniform(0, 100)); }

    std::unique_ptr<DrawObject> randomLeaf()
    {
        const float x = real(-200, 200), y = real(-200, 200);
        std::unique_ptr<DrawObject> o;
        switch (uniform(0, 8)) {
        case 0:
            o = std::make_unique<LineObject>(x, y, x + real(-50, 50), y + real(-50, 50));
            break;
        case 1:
            o = std::make_unique<RectangleObject>(x, y, x + real(1, 80), y + real(1, 80));
            break;
        case 2:
            o = std::make_unique<RoundRectObject>(x, y, x + real(10, 80), y + real(10, 80), 4, 6);
            break;
        case 3:
            o = std::make_unique<EllipseObject>(x, y, real(1, 40), real(1, 40));
            break;
        case 4:
            o = std::make_unique<ArcObject>(x, y, real(1, 40), real(1, 40), real(0, 180), real(180, 360));
            break;
        case 5:
            o = std::make_unique<PolygonObject>(
                PointList { { x, y }, { x + 30, y }, { x + 15, y + real(5, 40) } }, chance(50));
            break;
        case 6:
            o = std::make_unique<CurveObject>(
                NodeList { makeNode(x, y), makeNode(x + 20, y + 30), makeNode(x + 60, y) }, chance(30));
            break;
        case 7:
            o = std::make_unique<TextObject>("some text to lay out", chance(70) ? &font : nullptr,
                real(6, 30), 14, TextAlign(uniform(0, 3)));
            o->translate(x, y);
            break;
        default: {
            auto image = std::make_unique<ImageObject>();
            image->allocatePixels(2, 2);
            image->setPixel(1, 1, { 200, 10, 10 });
            image->placeAt(x, y);
            o = std::move(image);
        }
        }
        if (chance(50))
            o->setFillColor(color());
        if (chance(30))
            o->setDash(uniform(0, 3));
        if (chance(20))
            o->setUrl("https://example.org/" + std::to_string(uniform(0, 9)));
        if (chance(30))
            o->setArrows(kArrowSmall, kArrowCircle);
        return o;
    }

    void populate()
    {
        for (int i = 0; i < 12; ++i)
            d.append(randomLeaf());
        auto group = std::make_unique<GroupObject>();
        auto inner = std::make_unique<GroupObject>();
        inner->appendChild(randomLeaf());
        inner->appendChild(randomLeaf());
        group->appendChild(std::move(inner));
        group->appendChild(std::make_unique<TextObject>("grouped", &font, 12, 14, TextAlign::Left));
        group->appendChild(randomLeaf());
        d.append(std::move(group));
        auto compound = std::make_unique<CompoundPathObject>();
        compound->appendChild(std::make_unique<EllipseObject>(0, 0, 40, 40));
        compound->appendChild(std::make_unique<RectangleObject>(-10, -10, 10, 10));
        d.append(std::move(compound));
    }

    void randomSelection()
    {
        ObjectRefs picked;
        for (const auto& o : d.objects())
            if (chance(40))
                picked.push_back(o.get());
        std::shuffle(picked.begin(), picked.end(), rng);
        d.setSelection(picked);
    }

    template <class T> T* randomTopLevel(ObjectType type)
    {
        std::vector<T*> found;
        for (const auto& o : d.objects())
            if (o->type() == type)
                found.push_back(static_cast<T*>(o.get()));
        return found.empty() ? nullptr : found[std::size_t(uniform(0, int(found.size()) - 1))];
    }

    // The selection as stacking indices in selection order.
    std::string selectionDump() const
    {
        std::string out;
        for (const DrawObject* o : d.selection())
            out += std::to_string(d.indexOf(o).value_or(999999)) + ' ';
        return out;
    }

    // One recorded-or-not edit of the kinds commands and tools make. For the
    // clipboard edits and Insert, whose undo gives back the selection, the
    // selection they started from.
    std::optional<std::string> edit()
    {
        if (chance(30))
            randomSelection();
        const std::string selectionBefore = selectionDump();
        UndoHistory& h = d.history();
        const ObjectRefs sel = d.selection();
        static const int paintIds[] = { kCmdLineInvisible, kCmdLineBlack, kCmdLineWhite, kCmdLineColor,
            kCmdPen0, kCmdPen3, kCmdPen4, kCmdPen11, kCmdFillTransparent, kCmdFillBlack, kCmdFillWhite,
            kCmdFillColor, kCmdPattern0 + 4, kCmdNoPattern, kCmdTextBlack, kCmdTextWhite, kCmdTextColor,
            kCmdApplyDefaultStyle, kCmdPickUpStyle };
        static const int arrangeIds[] = { kCmdClear, kCmdRotatePlus90, kCmdRotateMinus90, kCmdAlignLeft,
            kCmdAlignRight, kCmdAlignTops, kCmdAlignBottoms, kCmdAlignCentersVertically,
            kCmdAlignCentersHorizontally, kCmdSpaceEdgesVertically, kCmdSpaceEdgesHorizontally,
            kCmdSpaceCentersHorizontally, kCmdSpaceCentersVertically };
        // The adding edits grow the drawing by a share of itself; past a
        // size they give way to Cut, which shrinks it.
        int kind = uniform(0, 17);
        if (kind >= 15 && d.objectCount() > 24)
            kind = 14;
        switch (kind) {
        case 0:
            d.runCommand(arrangeIds[uniform(0, std::size(arrangeIds) - 1)]);
            break;
        case 1:
            d.moveSelectionByDialog(uniform(-50, 50), uniform(-50, 50));
            break;
        case 2:
            d.scaleSelection(float(uniform(10, 300)), float(uniform(10, 300)));
            break;
        case 3:
            d.rotateSelection(float(uniform(-180, 180)));
            break;
        case 4: {
            const Color chosen = color();
            d.applyPaintCommand(paintIds[uniform(0, std::size(paintIds) - 1)], &chosen);
            break;
        }
        case 5: {
            const bool right = chance(50);
            std::optional<Color> c;
            if (chance(70))
                c = color();
            d.applySwatch(right, c);
            break;
        }
        case 6:
            if (!sel.empty())
                h.execute(std::make_unique<UrlCommand>(d, sel,
                    chance(30) ? std::string() : "https://example.org/u" + std::to_string(uniform(0, 9))));
            break;
        case 7:
            if (!sel.empty()) {
                const int which = uniform(0, 2);
                if (which == 0)
                    h.execute(std::make_unique<TextLeadingCommand>(d, sel, real(1, 300)));
                else if (which == 1)
                    h.execute(std::make_unique<TextAlignmentCommand>(d, sel, TextAlign(uniform(0, 3))));
                else
                    h.execute(
                        std::make_unique<TextFontCommand>(d, sel, chance(80) ? &font : nullptr, real(4, 72)));
            }
            break;
        case 8:
            h.execute(std::make_unique<AddObjectCommand>(d, randomLeaf()));
            break;
        case 9: {
            // A handle reshape by a shape tool: the object changes first, the command holds the old state.
            static const ObjectType shapes[] = { ObjectType::Line, ObjectType::Rectangle,
                ObjectType::RoundRect, ObjectType::Ellipse, ObjectType::Arc };
            const ObjectType type = shapes[uniform(0, 4)];
            DrawObject* shape = randomTopLevel<DrawObject>(type);
            if (!shape)
                break;
            std::unique_ptr<DrawObject> before = shape->clone();
            const float a = real(-100, 100), b = real(-100, 100);
            switch (type) {
            case ObjectType::Line:
                static_cast<LineObject*>(shape)->setEnds({ a, b }, { b, a });
                break;
            case ObjectType::Rectangle:
                static_cast<RectangleObject*>(shape)->setCorners({ a, b }, { a + 10, b + 20 });
                break;
            case ObjectType::RoundRect:
                static_cast<RoundRectObject*>(shape)->setRadii(real(0, 20), real(0, 20));
                break;
            case ObjectType::Ellipse:
                static_cast<EllipseObject*>(shape)->setGeometry(a, b, real(1, 30), real(1, 30));
                break;
            default:
                static_cast<ArcObject*>(shape)->setAngles(real(0, 90), real(90, 360));
                break;
            }
            if (chance(50))
                shape->setLineColor(color());
            h.push(makeShapeEditCommand(d, *shape, *before));
            break;
        }
        case 10:
            if (auto* poly = randomTopLevel<PolygonObject>(ObjectType::Polygon)) {
                PointList before = poly->vertices();
                const bool closed = poly->isClosed();
                PointList changed = before;
                changed.push_back({ real(-50, 50), real(-50, 50) });
                poly->setVertices(changed, !closed);
                h.push(std::make_unique<PolygonEditCommand>(d, *poly, std::move(before), closed));
            } else if (auto* curve = randomTopLevel<CurveObject>(ObjectType::Curve)) {
                NodeList before = curve->nodes();
                const bool closed = curve->isClosed();
                curve->smooth();
                curve->setClosed(!closed);
                h.push(std::make_unique<CurveEditCommand>(d, *curve, std::move(before), closed));
            }
            break;
        case 11:
            if (auto* text = randomTopLevel<TextObject>(ObjectType::Text)) {
                std::vector<TextRun> before = text->runs();
                const Point c1 = text->frame().corner1(), c2 = text->frame().corner2();
                if (chance(50)) {
                    text->setText(chance(50) ? "edited " + std::to_string(uniform(0, 99))
                                             : "averyveryverylongwordthatwidensthe frame");
                    h.push(std::make_unique<TextEditCommand>(d, *text, std::move(before), c1, c2));
                } else {
                    text->setFrame({ 0, 0 }, { real(10, 300), -real(10, 300) });
                    h.push(std::make_unique<TextFrameCommand>(d, *text, std::move(before), c1, c2));
                }
            }
            break;
        case 12:
            if (!sel.empty())
                h.execute(std::make_unique<ReflectCommand>(
                    d, sel, Point { real(-9, 9), real(-9, 9) }, real(0, 180)));
            break;
        case 13:
            if (!sel.empty())
                h.execute(std::make_unique<SkewCommand>(
                    d, sel, Point { real(-9, 9), real(-9, 9) }, real(-1, 1), real(-1, 1)));
            break;
        case 14:
            d.runCommand(chance(70) ? kCmdCut : kCmdCopy);
            return selectionBefore;
        case 15:
            d.clipboard().paste(d, Rect { real(-300, 0), real(-300, 0), real(0, 300), real(0, 300) });
            return selectionBefore;
        case 16:
            if (chance(30))
                d.setGrid({ uniform(1, 72), uniform(1, 72), 0, 0 });
            d.runCommand(kCmdDuplicate);
            return selectionBefore;
        default: {
            // Insert: a file's objects, a group among them.
            OwnedObjects inserted;
            for (int i = uniform(1, 3); i > 0; --i)
                inserted.push_back(randomLeaf());
            auto group = std::make_unique<GroupObject>();
            group->appendChild(randomLeaf());
            inserted.push_back(std::move(group));
            h.execute(std::make_unique<AddObjectsCommand>(d, std::move(inserted)));
            return selectionBefore;
        }
        }
        return std::nullopt;
    }

    // An unrecorded structural edit; each must leave both stacks empty.
    void structuralEdit()
    {
        randomSelection();
        switch (uniform(0, 5)) {
        case 0:
            d.runCommand(kCmdGroup);
            break;
        case 1:
            d.selectAll();
            d.runCommand(kCmdUngroup);
            break;
        case 2:
            d.runCommand(chance(50) ? kCmdBringToFront : kCmdMoveBackward);
            break;
        case 3:
            d.runCommand(chance(50) ? kCmdSendToBack : kCmdMoveForward);
            break;
        case 4:
            d.applyPaintCommand(chance(50) ? kCmdFirstFancyArrow : kCmdSecondSquare);
            break;
        default:
            d.runCommand(kCmdMakeCompoundPath);
            break;
        }
    }

    Drawing& d;
    std::mt19937 rng;
    test::EvenFont font { "Even" };
};

TEST(UndoRandomTest, EveryUndoAndRedoReturnsTheExactRecordedState)
{
    kernel().reset();
    RecordingReporter quiet;
    Drawing d;
    constexpr uint32_t kSeed = 20240611;
    RandomEditor editor(d, kSeed);
    editor.populate();
    UndoHistory& h = d.history();

    int steps = 0, undos = 0, redos = 0, pushes = 0;
    for (int episode = 0; episode < 160; ++episode) {
        SCOPED_TRACE("seed " + std::to_string(kSeed) + " episode " + std::to_string(episode));
        if (editor.chance(35)) {
            const std::string before = dumpDrawing(d);
            editor.structuralEdit();
            // One that found nothing to do (say, Ungroup without a group) may keep the history.
            if (dumpDrawing(d) != before) {
                ASSERT_FALSE(h.canUndo());
                ASSERT_FALSE(h.canRedo());
            }
        }
        h.clear();
        // undoStates.back() is the current state; below it the states undo returns to.
        std::vector<std::string> undoStates { dumpDrawing(d) };
        std::vector<std::string> redoStates;
        // Per recorded step, the selection its undo must give back (when it promises one).
        std::vector<std::optional<std::string>> undoSelections { std::nullopt }, redoSelections;
        int episodePushes = 0;
        // 25 pushes at most, so nothing falls off the bottom and undo-all reaches the start.
        while (episodePushes < int(UndoHistory::kDepth)) {
            ++steps;
            const int roll = editor.uniform(1, 100);
            if (roll <= 20) {
                const bool did = h.undo();
                ASSERT_EQ(did, undoStates.size() > 1);
                if (did) {
                    ++undos;
                    redoStates.push_back(undoStates.back());
                    undoStates.pop_back();
                    if (const std::optional<std::string>& selection = undoSelections.back()) {
                        ASSERT_EQ(editor.selectionDump(), *selection) << "selection after undo";
                    }
                    redoSelections.push_back(undoSelections.back());
                    undoSelections.pop_back();
                }
                ASSERT_EQ(dumpDrawing(d), undoStates.back()) << "after undo";
            } else if (roll <= 32) {
                const bool did = h.redo();
                ASSERT_EQ(did, !redoStates.empty());
                if (did) {
                    ++redos;
                    undoStates.push_back(redoStates.back());
                    redoStates.pop_back();
                    // Only the first undo of a step is held to the selection of before.
                    undoSelections.push_back(std::nullopt);
                    redoSelections.pop_back();
                }
                ASSERT_EQ(dumpDrawing(d), undoStates.back()) << "after redo";
            } else {
                const UndoCommand* top = h.top();
                const std::optional<std::string> selectionBefore = editor.edit();
                const std::string now = dumpDrawing(d);
                if (h.top() != top) {
                    ++episodePushes;
                    undoStates.push_back(now);
                    redoStates.clear();
                    undoSelections.push_back(selectionBefore);
                    redoSelections.clear();
                    ASSERT_FALSE(h.canRedo());
                } else {
                    ASSERT_EQ(now, undoStates.back()) << "an unrecorded edit changed the drawing";
                }
            }
            ASSERT_EQ(h.undoCount() + 1, undoStates.size());
            ASSERT_EQ(h.redoCount(), redoStates.size());
        }
        pushes += episodePushes;
        const std::string end = undoStates.back();
        while (h.undo()) { }
        ASSERT_EQ(dumpDrawing(d), undoStates.front()) << "undo all";
        while (h.redo()) { }
        ASSERT_EQ(dumpDrawing(d), end) << "redo all";
    }
    EXPECT_GT(steps, 3000);
    EXPECT_GT(pushes, 2000);
    EXPECT_GT(undos, 400);
    EXPECT_GT(redos, 100);
    std::printf("%d steps, %d pushes, %d undos, %d redos, %zu objects at the end\n", steps, pushes, undos,
        redos, d.deepCount());
}

} // namespace
} // namespace zavora
