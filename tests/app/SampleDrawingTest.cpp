// The bundled sample drawing reads back whole and holds every object kind.
#include "model/DrawObject.h"
#include "model/GroupObject.h"
#include "model/PathObjects.h"
#include "output/ZvxReader.h"
#include "platform/Reporter.h"

#include <gtest/gtest.h>

#include <set>

namespace zavora {
namespace {

void collectTypes(const DrawObject& object, std::set<ObjectType>& types)
{
    types.insert(object.type());
    if (auto* group = dynamic_cast<const GroupObject*>(&object))
        for (const auto& child : group->children())
            collectTypes(*child, types);
    else if (auto* compound = dynamic_cast<const CompoundPathObject*>(&object))
        for (const auto& child : compound->children())
            collectTypes(*child, types);
}

TEST(SampleDrawing, HoldsEveryObjectKind)
{
    RecordingReporter messages; // fonts are not catalogued here: their warnings are expected
    OwnedObjects objects;
    DocumentInfo info;
    ASSERT_EQ(readNativeFile(ZAVORA_SOURCE_DIR "/examples/sample.zvx", objects, &info, nullptr),
        ZvxReadResult::Read);
    EXPECT_TRUE(messages.last(RecordingReporter::Kind::Error).empty());

    std::set<ObjectType> types;
    for (const auto& object : objects)
        collectTypes(*object, types);
    EXPECT_EQ(types,
        (std::set<ObjectType> { ObjectType::Ellipse, ObjectType::Rectangle, ObjectType::Polygon,
            ObjectType::Curve, ObjectType::Arc, ObjectType::Text, ObjectType::Image, ObjectType::Group,
            ObjectType::CompoundPath, ObjectType::RoundRect }));
}

} // namespace
} // namespace zavora
