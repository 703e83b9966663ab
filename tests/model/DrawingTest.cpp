#include "model/Drawing.h"

#include "model/GraphicsKernel.h"
#include "model/GroupObject.h"
#include "model/ImageObject.h"
#include "model/PathObjects.h"
#include "model/ShapeObjects.h"
#include "model/TextObject.h"

#include <gtest/gtest.h>

namespace zavora {
namespace {

struct CountingObserver : DrawingObserver {
    int history = 0;
    void historyInvalidated() override { ++history; }
};

class DrawingTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        kernel().reset();
        d.addObserver(&observer);
    }
    void TearDown() override { d.removeObserver(&observer); }

    // A filled rectangle with a 1-point line (the stroke grows its box by 1).
    DrawObject* rect(float x1, float y1, float x2, float y2)
    {
        auto r = std::make_unique<RectangleObject>(x1, y1, x2, y2);
        r->setFillColor(Color::white());
        return d.append(std::move(r));
    }
    // The stacking order as indices into the given originals.
    std::vector<int> order(const std::vector<DrawObject*>& originals) const
    {
        std::vector<int> out;
        for (const auto& o : d.objects())
            out.push_back(int(std::find(originals.begin(), originals.end(), o.get()) - originals.begin()));
        return out;
    }

    Drawing d;
    CountingObserver observer;
};

// Each case selects in the order given; the last selected is the top of the
// selection. Forward scans from above it for an overlap and goes just above,
// else to the very front; backward inserts below the first overlap underneath.
TEST_F(DrawingTest, StackingCommandsKeepSelectionOrder)
{
    using Command = void (Drawing::*)();
    const Rect o { 0, 0, 10, 10 };
    const struct {
        std::vector<Rect> rects;
        std::vector<int> selected;
        std::vector<std::pair<Command, std::vector<int>>> steps; // the order after each
    } cases[] = {
        { { o, { 20, 0, 30, 10 }, { 40, 0, 50, 10 } }, { 1, 0 },
            { { &Drawing::bringToFront, { 2, 1, 0 } }, { &Drawing::sendToBack, { 1, 0, 2 } } } },
        // 2 overlaps but lies below the top of the selection, 4 overlaps above it, 5 does not.
        { { { 100, 100, 110, 110 }, o, { 5, 5, 8, 8 }, o, { 8, 8, 20, 20 }, { 200, 200, 210, 210 } },
            { 1, 3 },
            { { &Drawing::moveForward, { 0, 2, 4, 1, 3, 5 } },
                { &Drawing::moveForward, { 0, 2, 4, 5, 1, 3 } } } },
        { { { 100, 100, 110, 110 }, { 5, 5, 8, 8 }, { 300, 0, 310, 10 }, o, { 50, 50, 60, 60 }, o }, { 5, 3 },
            { { &Drawing::moveBackward, { 0, 5, 3, 1, 2, 4 } },
                { &Drawing::moveBackward, { 5, 3, 0, 1, 2, 4 } } } },
    };
    for (const auto& c : cases) {
        d.selectAll();
        d.deleteSelection();
        std::vector<DrawObject*> all;
        for (const Rect& r : c.rects)
            all.push_back(rect(r.left, r.bottom, r.right, r.top));
        for (int i : c.selected)
            d.select(all[std::size_t(i)]);
        for (const auto& [command, expected] : c.steps) {
            const int before = observer.history;
            d.setModified(false);
            (d.*command)();
            EXPECT_EQ(order(all), expected);
            EXPECT_EQ(observer.history, before + 1);
            EXPECT_TRUE(d.isModified());
        }
    }
}

TEST_F(DrawingTest, AlignLinesUpStrokedEdgesOfShapesAndThePlainFramesOfTextAndImages)
{
    // The rectangle's stroke (width 9) grows its box by 5; the image and the
    // text carry a 10-point line width that must not count.
    struct Case {
        int code;
        Rect rect, image, text; // plain boxes after aligning
    };
    const Case cases[] = {
        { kAlignLeft, { 0, 0, 50, 30 }, { -5, 60, 35, 80 }, { -5, 200, 95, 260 } },
        { kAlignRight, { 245, 0, 295, 30 }, { 260, 60, 300, 80 }, { 200, 200, 300, 260 } },
        { kAlignTop, { 0, 225, 50, 255 }, { 100, 240, 140, 260 }, { 200, 200, 300, 260 } },
        { kAlignBottom, { 0, 0, 50, 30 }, { 100, -5, 140, 15 }, { 200, -5, 300, 55 } },
        { kAlignCentreX, { 122.5, 0, 172.5, 30 }, { 127.5, 60, 167.5, 80 }, { 97.5, 200, 197.5, 260 } },
        { kAlignCentreY, { 0, 112.5, 50, 142.5 }, { 100, 117.5, 140, 137.5 }, { 200, 97.5, 300, 157.5 } },
    };
    for (const Case& c : cases) {
        d.selectAll();
        d.deleteSelection();
        DrawObject* r = rect(0, 0, 50, 30);
        r->setLineWidth(9);
        auto image = std::make_unique<ImageObject>();
        image->allocatePixels(40, 20);
        image->placeAt(100, 60);
        image->setLineWidth(10);
        DrawObject* img = d.append(std::move(image));
        DrawObject* text = d.append(std::make_unique<TextObject>("aligned", nullptr, 12, 14, TextAlign::Left));
        text->scale(0, 0, 100 / text->boundingBox().width(), 60 / text->boundingBox().height());
        const Rect t = text->boundingBox();
        text->translate(200 - t.left, 200 - t.bottom);
        text->setLineWidth(10);
        d.setSelection({ r, img, text });
        d.align(c.code);
        const auto near = [](const Rect& a, const Rect& b) {
            return std::abs(a.left - b.left) < 1e-3 && std::abs(a.bottom - b.bottom) < 1e-3
                && std::abs(a.right - b.right) < 1e-3 && std::abs(a.top - b.top) < 1e-3;
        };
        EXPECT_TRUE(near(r->boundingBox(), c.rect)) << "code " << c.code;
        EXPECT_TRUE(near(img->boundingBox(), c.image)) << "code " << c.code;
        EXPECT_TRUE(near(text->boundingBox(), c.text)) << "code " << c.code;
    }
}

TEST_F(DrawingTest, SpaceEvenlyNeedsThreeAndSpacesStrokedEdges)
{
    // Stroked boxes (grow 1): top 101..89, middle 70..48, bottom 1..-11.
    DrawObject* bottom = rect(0, -10, 10, 0);
    DrawObject* top = rect(0, 90, 10, 100);
    DrawObject* middle = rect(0, 49, 10, 69);
    d.setSelection({ bottom, top });
    d.history().clear();
    d.spaceEvenly(kSpaceEdgesY); // needs three: moves nothing, but is a step
    EXPECT_EQ(top->boundingBox(), (Rect { 0, 90, 10, 100 }));
    EXPECT_EQ(bottom->boundingBox(), (Rect { 0, -10, 10, 0 }));
    EXPECT_TRUE(d.history().canUndo());
    d.select(middle);
    d.spaceEvenly(kSpaceEdgesY);
    // Span 112, extents 12 + 12 + 22 = 46, gap 33: middle's stroked top at 89 - 33.
    EXPECT_EQ(top->boundingBox(), (Rect { 0, 90, 10, 100 }));
    EXPECT_EQ(middle->boundingBox(), (Rect { 0, 35, 10, 55 }));
    EXPECT_EQ(bottom->boundingBox(), (Rect { 0, -10, 10, 0 }));
}

TEST_F(DrawingTest, GroupTakesTheBackmostPlaceAndKeepsSelectionOrder)
{
    DrawObject* a = rect(0, 0, 10, 10);
    DrawObject* x = rect(20, 0, 30, 10);
    DrawObject* b = rect(40, 0, 50, 10);
    DrawObject* y = rect(60, 0, 70, 10);
    d.select(b); // front to back
    d.select(a);
    d.group();
    auto* g = static_cast<GroupObject*>(d.objectAt(0));
    ASSERT_EQ(g->type(), ObjectType::Group);
    EXPECT_EQ(g->children()[0].get(), b);
    EXPECT_EQ(g->children()[1].get(), a);
    EXPECT_EQ(order({ g, x, y }), (std::vector<int> { 0, 1, 2 }));
    EXPECT_EQ(d.selection(), (ObjectRefs { g }));

    // Grouped again with y, then ungrouped: one level only, g stays a group.
    d.select(y);
    d.group();
    d.ungroup();
    EXPECT_EQ(order({ g, y, x }), (std::vector<int> { 0, 1, 2 }));
    EXPECT_EQ(g->children().size(), 2u);
    // Ungroup puts the members back in child order at the group's place.
    d.setSelection({ y, g });
    d.ungroup();
    EXPECT_EQ(order({ b, a, y, x }), (std::vector<int> { 0, 1, 2, 3 }));
    EXPECT_EQ(d.selection(), (ObjectRefs { y, b, a }));
}

TEST_F(DrawingTest, CompoundPathTakesTheFirstStyleAndReleaseDissolvesOnlyCompounds)
{
    DrawObject* red = rect(0, 0, 10, 10);
    red->setFillColor(Color { 100, 0, 0 });
    auto blueEllipse = std::make_unique<EllipseObject>(30, 5, 5, 5);
    blueEllipse->setFillColor(Color { 0, 0, 100 });
    DrawObject* blue = d.append(std::move(blueEllipse));
    DrawObject* g1 = rect(50, 0, 60, 10);
    DrawObject* g2 = rect(70, 0, 80, 10);
    d.setSelection({ g1, g2 });
    d.group();
    DrawObject* group = d.selection().front();

    d.setSelection({ red, blue });
    d.makeCompoundPath();
    DrawObject* compound = d.selection().front();
    ASSERT_EQ(compound->type(), ObjectType::CompoundPath);
    EXPECT_EQ(d.objectAt(0), compound);

    d.setSelection({ group, compound });
    d.releaseCompoundPaths();
    EXPECT_EQ(d.selection(), (ObjectRefs { group, red, blue }));
    EXPECT_EQ(order({ red, blue, group }), (std::vector<int> { 0, 1, 2 }));
    EXPECT_EQ(blue->style().fillColor(), (Color { 100, 0, 0 })); // the first member's style stays
}

TEST_F(DrawingTest, PickSearchFromTheTop)
{
    DrawObject* back = rect(0, 0, 20, 20);
    DrawObject* front = rect(10, 10, 30, 30);
    EXPECT_EQ(d.pick({ 25, 25, 27, 27 }, {}), (std::vector<DrawObject*> { front }));
    const Rect both { 9, 9, 11, 11 };
    EXPECT_EQ(d.pick(both, {}), (std::vector<DrawObject*> { front, back }));
    PickOptions first;
    first.firstOnly = true;
    EXPECT_EQ(d.pick(both, first), (std::vector<DrawObject*> { front }));
    front->lock();
    EXPECT_EQ(d.pick(both, first), (std::vector<DrawObject*> { back }));
    first.includeLocked = true;
    EXPECT_EQ(d.pick(both, first), (std::vector<DrawObject*> { front }));
    // Inside groups: the hit is the top-level group.
    d.setSelection({ back });
    d.group();
    DrawObject* g = d.selection().front();
    EXPECT_EQ(d.pick({ -1, -1, 1, 1 }, {}), (std::vector<DrawObject*> { g }));
    EXPECT_EQ(d.topmostAt(5, 5), g);
}

} // namespace
} // namespace zavora
