// Real Illustrator files written by other programs (Illustrator 1.x art, AI3 text
// and compound paths, AI5 layers): their paths, colours, groups and text come
// through, and cutting them anywhere fails cleanly.
#include "output/ZvxReader.h"

#include "ZvxReaderTestSupport.h"
#include "model/TextObject.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <set>

namespace zavora {
namespace {

using namespace readtest;

std::string corpusBytes(const char* relative)
{
    const std::filesystem::path path = std::filesystem::path(ZAVORA_TEST_DATA_DIR) / relative;
    std::ifstream in(path, std::ios::binary);
    EXPECT_TRUE(in) << path;
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

ReadOutcome readCorpus(const char* relative)
{
    return readText(corpusBytes(relative), relative);
}

void forEachLeaf(const OwnedObjects& list, const std::function<void(const DrawObject&)>& f)
{
    for (const auto& object : list) {
        if (const OwnedObjects* children = childrenOf(*object))
            forEachLeaf(*children, f);
        else
            f(*object);
    }
}

// Every path but those that are a lone "m" (nothing to paint), every group
// and text; a closed outline never keeps the point the file repeated to close it.
TEST(IllustratorRead, CorpusObjectsComeThrough)
{
    TestCatalogue catalogue({ "Helvetica" });
    const struct {
        const char* file;
        std::size_t leaves, groups;
        std::vector<std::string> texts; // the first and the last, when there are any
        std::size_t textCount = 0;
    } cases[] = {
        { "ai/golfer.eps", 274 - 23, 28, {} },
        { "ai/tiger.eps", 240 - 1, 0, {} },
        { "ai/gen_plotutils_graph.ai", 93 + 15, 0, { "plotutils AI test", "y axis" }, 15 },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        ReadOutcome r = readCorpus(c.file);
        ASSERT_EQ(r.result, ZvxReadResult::Read);
        EXPECT_TRUE(r.messages.empty());
        EXPECT_TRUE(r.missingFonts.empty());
        std::size_t leaves = 0;
        std::vector<std::string> texts;
        auto visit = [&](const DrawObject& object) {
            ++leaves;
            if (const auto* text = dynamic_cast<const TextObject*>(&object)) {
                texts.push_back(text->text());
                EXPECT_EQ(text->font(), catalogue.find("Helvetica"));
            }
            const auto* polygon = dynamic_cast<const PolygonObject*>(&object);
            EXPECT_FALSE(
                polygon && polygon->isClosed() && polygon->vertices().front() == polygon->vertices().back());
            const auto* curve = dynamic_cast<const CurveObject*>(&object);
            EXPECT_FALSE(curve && curve->isClosed() && curve->nodes().front().x == curve->nodes().back().x
                && curve->nodes().front().y == curve->nodes().back().y);
        };
        forEachLeaf(r.objects, visit);
        EXPECT_EQ(leaves, c.leaves);
        EXPECT_EQ(deepCount(r.objects) - leaves, c.groups); // no compound paths in these
        ASSERT_EQ(texts.size(), c.textCount);
        std::vector<std::string> ends;
        if (!texts.empty())
            ends = { texts.front(), texts.back() };
        EXPECT_EQ(ends, c.texts);
    }

    // The tiger's first whisker: m, v, C, V back to the start, b.
    ReadOutcome r = readCorpus("ai/tiger.eps");
    const auto* whisker = as<CurveObject>(r.objects.front());
    ASSERT_NE(whisker, nullptr);
    EXPECT_TRUE(whisker->isClosed());
    ASSERT_EQ(whisker->nodes().size(), 3u);
    EXPECT_EQ(whisker->nodes()[0],
        (BezierNode { 177.696f, 715.715f, 156.95f, 767.044f, 177.696f, 715.715f, kCornerNode }));
    EXPECT_EQ(
        whisker->nodes()[1], (BezierNode { 176.973f, 713.84f, 177.797f, 713.821f, 176.149f, 713.859f, 0 }));
    EXPECT_EQ(whisker->nodes()[2],
        (BezierNode { 139.167f, 759.691f, 159.695f, 761.934f, 139.167f, 759.691f, kCornerNode }));
    EXPECT_EQ(whisker->style().fillColor(), Color::white());
    EXPECT_EQ(whisker->style().lineWidth(), 0.172f);
    EXPECT_TRUE(std::any_of(r.objects.begin(), r.objects.end(), [](const auto& object) {
        return object->style().fillColor() == Color { 80, 45, 15 }; // "0.2 0.55 0.85 0 k"
    }));
}

// Operators that reach the native ones ("(Layer 1) Ln"; "1 O", "1 R", "0 A")
// are ignored. The DOS EPS has an Illustrator 3 body after a binary header,
// with CR LF line ends and lone CRs.
TEST(IllustratorRead, ForeignOperatorsAndLineEnds)
{
    const struct {
        const char* file;
        std::size_t squares;
        Color fill;
        float lineWidth;
    } cases[] = { { "ai/sk1_probe.ai", 1, { 100, 0, 0 }, 0.283286f },
        { "eps-preview/img-with-tiff-preview.eps", 2, { 98, 3, 8 }, 1.0f } };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        ReadOutcome r = readCorpus(c.file);
        ASSERT_EQ(r.result, ZvxReadResult::Read);
        std::vector<const PolygonObject*> squares;
        forEachLeaf(r.objects,
            [&](const DrawObject& o) { squares.push_back(dynamic_cast<const PolygonObject*>(&o)); });
        ASSERT_EQ(squares.size(), c.squares);
        for (const PolygonObject* square : squares) {
            ASSERT_NE(square, nullptr);
            EXPECT_TRUE(square->isClosed());
            EXPECT_EQ(square->vertices().size(), 4u);
            EXPECT_EQ(square->style().fillColor(), c.fill);
            EXPECT_EQ(square->style().lineColor(), Color::black());
            EXPECT_EQ(square->style().lineWidth(), c.lineWidth) << "the line's last operator is d";
        }
    }
    const ReadOutcome dosEps = readCorpus("eps-preview/img-with-tiff-preview.eps");
    ASSERT_EQ(dosEps.objects.size(), 1u);
    const auto* group = as<GroupObject>(dosEps.objects[0]);
    ASSERT_NE(group, nullptr);
    EXPECT_EQ(as<PolygonObject>(group->children()[1])->vertices()[0], (Point { 293.5f, 424.5f }));
}

TEST(IllustratorRead, CutsAnywhereFailCleanly)
{
    TestCatalogue catalogue({ "Helvetica" });
    const char* files[] = { "ai/golfer.eps", "ai/tiger.eps", "ai/gen_ps2ai_alphabet.ai",
        "ai/gen_plotutils_graph.ai", "ai/sk1_probe.ai", "ai/gen_ps2ai_snowflak.ai" };
    for (const char* name : files) {
        const std::string bytes = corpusBytes(name);
        const std::size_t trailer = std::min(bytes.find("%%PageTrailer"), bytes.find("%%Trailer"));
        ASSERT_NE(trailer, std::string::npos);
        const std::size_t step = std::max<std::size_t>(1, bytes.size() / 300);
        std::size_t previous = 0;
        for (std::size_t cut = 0; cut < trailer; cut += step) {
            ReadOutcome r = readText(std::string_view(bytes).substr(0, cut), name);
            EXPECT_EQ(r.result, ZvxReadResult::Damaged) << name << " cut at " << cut;
            EXPECT_EQ(r.messages.size(), 1u) << name << " cut at " << cut;
            const std::size_t count = deepCount(r.objects);
            EXPECT_GE(count, previous) << name << " lost objects when cut at " << cut;
            previous = count;
        }
        EXPECT_GT(previous, 0u) << name << ": a cut file keeps what it read";
    }
}

} // namespace
} // namespace zavora
