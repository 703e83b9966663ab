// The bundled sample drawing reads back whole and shows what it promises:
// every object kind, the nine patterns, the twelve pens, the five arrowheads.
#include "model/DrawObject.h"
#include "model/GroupObject.h"
#include "model/PathObjects.h"
#include "output/ZvxReader.h"
#include "platform/Reporter.h"

#include <gtest/gtest.h>

#include <set>

namespace zavora {
namespace {

void collect(const DrawObject& object, std::set<ObjectType>& types, std::set<int>& patterns,
    std::set<std::pair<int, float>>& pens, std::set<int>& arrows)
{
    types.insert(object.type());
    const PaintStyle style = object.style();
    auto [first, second] = object.arrows();
    if (style.fillOn() && style.hasPattern())
        patterns.insert(style.fillPattern());
    // A line comes back from the file as a two-point open polygon.
    auto* polygon = dynamic_cast<const PolygonObject*>(&object);
    if (polygon && polygon->vertices().size() == 2 && style.strokeOn() && first == kArrowNone
        && second == kArrowNone)
        pens.insert({ style.dashIndex(), style.isDashed() ? 0.0f : style.lineWidth() });
    arrows.insert(first);
    arrows.insert(second);
    const std::vector<std::unique_ptr<DrawObject>>* children = nullptr;
    if (auto* group = dynamic_cast<const GroupObject*>(&object))
        children = &group->children();
    else if (auto* compound = dynamic_cast<const CompoundPathObject*>(&object))
        children = &compound->children();
    if (children)
        for (const auto& child : *children)
            collect(*child, types, patterns, pens, arrows);
}

TEST(SampleDrawing, HoldsEveryKindPatternPenAndArrowhead)
{
    RecordingReporter messages; // fonts are not catalogued here: their warnings are expected
    OwnedObjects objects;
    DocumentInfo info;
    ASSERT_EQ(readNativeFile(ZAVORA_SOURCE_DIR "/examples/sample.zvx", objects, &info, nullptr),
        ZvxReadResult::Read);
    EXPECT_TRUE(messages.last(RecordingReporter::Kind::Error).empty());

    std::set<ObjectType> types;
    std::set<int> patterns, arrows;
    std::set<std::pair<int, float>> pens;
    for (const auto& object : objects)
        collect(*object, types, patterns, pens, arrows);
    EXPECT_EQ(types,
        (std::set<ObjectType> { ObjectType::Ellipse, ObjectType::Rectangle, ObjectType::Polygon,
            ObjectType::Curve, ObjectType::Arc, ObjectType::Text, ObjectType::Image, ObjectType::Group,
            ObjectType::CompoundPath, ObjectType::RoundRect }));
    EXPECT_EQ(patterns.size(), static_cast<std::size_t>(kPatternCount));
    EXPECT_EQ(pens.size(), static_cast<std::size_t>(kPenCount));
    EXPECT_EQ(arrows,
        (std::set<int> { kArrowNone, kArrowFancy, kArrowSmall, kArrowBig, kArrowCircle, kArrowSquare }));
}

} // namespace
} // namespace zavora
