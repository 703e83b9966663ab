#include "model/UndoCommand.h"

#include "DrawingDump.h"
#include "model/GraphicsKernel.h"
#include "model/GroupObject.h"

#include <gtest/gtest.h>

namespace zavora {
namespace {

using test::dumpDrawing;

class UndoCommandTest : public ::testing::Test {
protected:
    void SetUp() override { kernel().reset(); }

    template <class T, class... Args> T* add(Args&&... args)
    {
        return static_cast<T*>(d.append(std::make_unique<T>(std::forward<Args>(args)...)));
    }

    // Edits through f, pushes the swap command that `make` builds from the
    // former state, and checks undo and redo against the dumps.
    void checkSwap(const std::function<std::unique_ptr<UndoCommand>()>& editAndMake)
    {
        const std::string before = dumpDrawing(d);
        d.history().push(editAndMake());
        const std::string after = dumpDrawing(d);
        ASSERT_NE(after, before);
        d.history().undo();
        EXPECT_EQ(dumpDrawing(d), before);
        d.history().redo();
        EXPECT_EQ(dumpDrawing(d), after);
        d.history().undo();
        EXPECT_EQ(dumpDrawing(d), before);
    }

    Drawing d;
};

TEST_F(UndoCommandTest, TextEditsSwapTheRunAndTheFrame)
{
    test::EvenFont font;
    auto* text = add<TextObject>("Hello there", &font, 12, 14, TextAlign::Left);
    text->setRuns({ { "Hello there", &font, 12 }, { " second run", &font, 30 } });
    checkSwap([&] {
        std::vector<TextRun> before = text->runs();
        const Point c1 = text->frame().corner1(), c2 = text->frame().corner2();
        // One long word widens the frame as it is laid out; the later run stays.
        std::vector<TextRun> runs = text->runs();
        runs.front().text = "Goodbye\rextraordinarilylongwordthatcannotfitintwoinches";
        text->setRuns(runs);
        return std::make_unique<TextEditCommand>(d, *text, before, c1, c2);
    });
    EXPECT_EQ(text->runs().size(), 2u);
    EXPECT_EQ(text->runs().front().text, "Hello there");
    EXPECT_EQ(text->boundingBox().right, TextObject::kDefaultFrameSide);
    checkSwap([&] {
        std::vector<TextRun> before = text->runs();
        const Point c1 = text->frame().corner1(), c2 = text->frame().corner2();
        text->setFrame({ 0, 0 }, { 30, -20 }); // narrower: the lines break anew
        return std::make_unique<TextFrameCommand>(d, *text, std::move(before), c1, c2);
    });
    EXPECT_EQ(text->boundingBox().right, TextObject::kDefaultFrameSide);
}

TEST_F(UndoCommandTest, TextAttributesReachTextInsideGroupsAndComeBack)
{
    test::EvenFont small, big;
    auto* loose = add<TextObject>("a few words", &small, 12, 14, TextAlign::Left);
    loose->setRuns({ { "a few words", &small, 12 }, { " and more in another run", &big, 20 } });
    auto group = std::make_unique<GroupObject>();
    group->appendChild(std::make_unique<TextObject>("b", &small, 30, 40, TextAlign::Right));
    group->appendChild(std::make_unique<RectangleObject>(0, 0, 10, 10));
    DrawObject* g = d.append(std::move(group));
    auto* inner = static_cast<TextObject*>(static_cast<GroupObject*>(g)->children()[0].get());
    const std::string before = dumpDrawing(d);
    const ObjectRefs both { loose, g };

    d.history().execute(std::make_unique<TextLeadingCommand>(d, both, 99));
    d.history().execute(std::make_unique<TextFontCommand>(d, both, &big, 90)); // widens the frames
    for (const TextObject* t : std::initializer_list<const TextObject*> { loose, inner }) {
        EXPECT_EQ(t->leading(), 99);
        EXPECT_EQ(t->size(), 90);
    }
    d.history().undo();
    d.history().undo();
    EXPECT_EQ(dumpDrawing(d), before);
}

TEST_F(UndoCommandTest, FillOrTextColourColoursTextAndFillsTheRest)
{
    auto* text = add<TextObject>("t", nullptr, 12, 14, TextAlign::Left);
    auto* rect = add<RectangleObject>(0, 0, 10, 10);
    auto group = std::make_unique<GroupObject>();
    group->appendChild(std::make_unique<TextObject>("u", nullptr, 12, 14, TextAlign::Left));
    DrawObject* g = d.append(std::move(group));
    const DrawObject* innerText = static_cast<GroupObject*>(g)->children()[0].get();
    text->setFillTransparent();
    const Color red { 100, 0, 0 };
    d.history().execute(std::make_unique<FillOrTextColorCommand>(d, ObjectRefs { text, rect, g }, red));
    EXPECT_EQ(text->style().textColor(), red);
    EXPECT_FALSE(text->style().fillOn()); // the text setter leaves the fill flag alone
    EXPECT_EQ(innerText->style().textColor(), red);
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

} // namespace
} // namespace zavora
