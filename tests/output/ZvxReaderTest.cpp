#include "output/ZvxReader.h"

#include "PostScriptTestSupport.h"
#include "ZvxReaderTestSupport.h"
#include "model/ImageObject.h"
#include "model/ShapeObjects.h"
#include "model/TextObject.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sys/resource.h>

// The address-space limit below does not work under the address sanitizer.
#if defined(__SANITIZE_ADDRESS__)
#define ZVX_TEST_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define ZVX_TEST_ASAN 1
#endif
#endif
#ifndef ZVX_TEST_ASAN
#define ZVX_TEST_ASAN 0
#endif

namespace zavora {
namespace {

using namespace readtest;

const std::string kDamaged = "An error has occurred while opening\n/tmp/t.zvx";

// A well-formed grid and orientation come back in the round trip.
TEST(ZvxReaderStructure, MalformedGridLinesAreIgnored)
{
    ReadOutcome r = readText(nativeFile("", "%ZVX g 1 2 3\n"));
    EXPECT_EQ(r.info.gridSettings, Grid {}) << "three numbers are not a grid";

    // Integers beyond int do not scan: the line is ignored, not wrapped around.
    for (const char* grid : { "%ZVX g 2147483648 18 0 1\n", "%ZVX g 12 -2147483649 0 1\n",
             "%ZVX g 99999999999999999999999 18 0 1\n" }) {
        r = readText(nativeFile("3 Pat\n4294967296 Pat\n0 0 m\n1 1 L\nF\n", grid));
        EXPECT_EQ(r.info.gridSettings, Grid {}) << grid;
        ASSERT_EQ(r.objects.size(), 1u);
        EXPECT_EQ(r.objects[0]->style().fillPattern(), 3) << grid;
    }
}

// The former product name is read like our own; another program's creator
// line, or none, makes a foreign file.
TEST(ZvxReaderStructure, CreatorLineTellsVersionOneAndForeignFiles)
{
    const struct {
        const char* line;
        ZvxReadResult result;
        bool foreign;
    } cases[] = {
        { "%%Creator: Zavora Draw, Version 3.6", ZvxReadResult::Read, false },
        { "%%Creator: Zavora Draw, Version 1.0", ZvxReadResult::OldVersion, false },
        { "%%Creator: Vellumix, Version 1.0", ZvxReadResult::Read, false },
        { "%%Creator: Adobe Illustrator(TM) 1.2d4", ZvxReadResult::Read, true },
        { "%%Title: no creator", ZvxReadResult::Read, true },
    };
    for (const auto& c : cases) {
        std::string text = nativeFile("10 20 m\n30 40 L\nS\n");
        const std::size_t line = text.find("%%Creator");
        text.replace(line, text.find('\r', line) - line, c.line);
        const ReadOutcome r = readText(text);
        EXPECT_EQ(r.result, c.result) << c.line;
        EXPECT_EQ(r.info.foreign, c.foreign) << c.line;
        EXPECT_EQ(r.objects.size(), c.result == ZvxReadResult::Read ? 1u : 0u) << c.line;
        EXPECT_EQ(r.messages.size(), c.result == ZvxReadResult::Read ? 0u : 1u) << c.line;
    }
}

#if !ZVX_TEST_ASAN
TEST(ZvxReaderStructure, FileLargerThanMemoryIsRefused)
{
    // A file larger than the memory the process may use is refused with the
    // reason; the program goes on. Sparse, so it costs no disk.
    const std::filesystem::path huge = testing::scratchDirectory() / "huge.zvx";
    std::ofstream(huge).close();
    std::filesystem::resize_file(huge, std::uintmax_t(1) << 32);
    auto readUnderLimit = [&huge] {
        const rlimit limit { rlim_t(1) << 31, rlim_t(1) << 31 };
        setrlimit(RLIMIT_AS, &limit);
        RecordingReporter child;
        OwnedObjects read;
        const bool refused = insertNativeFile(huge.string(), read) == ZvxReadResult::CannotOpen
            && child.last(Reporter::Kind::Error) == "Unable to open " + huge.string() + "\nNot enough memory";
        std::_Exit(refused ? 0 : 1);
    };
    EXPECT_EXIT(readUnderLimit(), ::testing::ExitedWithCode(0), "");
    std::filesystem::remove(huge);
}
#endif

TEST(ZvxReaderStructure, OpenReportsEachMissingFontOnce)
{
    TestCatalogue catalogue({ "Helvetica" });
    const std::string path = (testing::scratchDirectory() / "fonts.zvx").string();
    testing::writeFile(path,
        nativeFile("/_Nowhere-Bold 12 14 0 0 z\n[1 0 0 1 0 0] e\n(a) t\nT\n[1 0 0 1 0 9] e\n(b) t\nT\n"
                   "/_Helvetica 12 14 0 0 z\n[1 0 0 1 0 0] e\n(c) t\nT\n"));
    RecordingReporter reporter;
    OwnedObjects objects;
    DocumentInfo info;
    EXPECT_EQ(openNativeFile(path, objects, info), ZvxReadResult::Read);
    EXPECT_EQ(objects.size(), 3u);
    EXPECT_EQ(reporter.messages(),
        (std::vector<RecordingReporter::Message> { { Reporter::Kind::Warning,
            "Can't find font \"Nowhere-Bold\"\nAnother font will be substituted." } }));
    // The stand-in is the default font.
    EXPECT_EQ(as<TextObject>(objects[0])->font(), catalogue.find("Helvetica"));

    // Insert reports no fonts.
    reporter.clear();
    OwnedObjects inserted;
    EXPECT_EQ(insertNativeFile(path, inserted), ZvxReadResult::Read);
    EXPECT_EQ(inserted.size(), 3u);
    EXPECT_TRUE(reporter.messages().empty());
}

TEST(ZvxReaderText, TextBeforeAnyFillColourTakesItsTextColour)
{
    // Our prolog fills white until "k": shapes keep that, text would vanish.
    ReadOutcome r = readBody("0 0 m\n1 1 L\n2 0 L\nf\n/_Helvetica 12 14 0 0 z\n[1 0 0 1 0 0] e\n(a) t\nT\n"
                             "0 0 0 0 k\n[1 0 0 1 0 0] e\n(b) t\nT\n");
    ASSERT_EQ(r.objects.size(), 3u);
    EXPECT_EQ(r.objects[0]->style().fillColor(), Color::white());
    EXPECT_EQ(r.objects[1]->style().fillColor(), Color::black());
    EXPECT_EQ(r.objects[1]->style().textColor(), Color::black());
    EXPECT_EQ(r.objects[2]->style().fillColor(), Color::white()) << "a fill set by the file stands";
    EXPECT_EQ(r.objects[2]->style().textColor(), Color::white());
}

TEST(ZvxReaderDispatch, ForeignLinesReachingTableEntriesDoNothing)
{
    // setflat reaches "img" and its scan fails; it must not swallow the
    // hex-looking lines after it. The other near misses come in the real files.
    ReadOutcome r = readBody("1 i\nclippath fill\n}\n3 4 m\n5 6 L\nS\n");
    EXPECT_EQ(r.result, ZvxReadResult::Read);
    ASSERT_EQ(r.objects.size(), 1u);
    EXPECT_EQ(as<PolygonObject>(r.objects[0])->vertices(), (PointList { { 3, 4 }, { 5, 6 } }));
}

TEST(ZvxReaderDispatch, StyleOperators)
{
    // The writer's own k, K, w, d and Pat come back in the round trip.
    ReadOutcome r = readBody("[10 4 3 4] 0 d\n3 Pat\n0 0 m\n1 1 L\n2 0 L\nB\n"
                             "0 0 0 0 k\n0.5 G\n99 Pat\n[] 0 d\nF\n"
                             "0.25 0.5 0.75 Xa\n1 0 0 XA\n0.1 0.2 0.3 0.4 (Spot) 0 x\nf\n"
                             "0.93 0.92 0.91 0 k\n0.571 g\nS\n");
    ASSERT_EQ(r.objects.size(), 4u);
    PaintStyle s = r.objects[1]->style();
    EXPECT_EQ(s.fillColor(), Color::white());
    EXPECT_EQ(s.lineColor(), (Color { 50, 50, 50 }));
    EXPECT_EQ(s.fillPattern(), kNoPattern) << "an unknown pattern is no pattern";
    EXPECT_EQ(s.dashIndex(), kSolidDash);
    EXPECT_TRUE(s.fillOn());
    EXPECT_FALSE(s.strokeOn());

    s = r.objects[2]->style();
    EXPECT_EQ(s.fillColor(), (Color { 50, 40, 30 })) << "x uses its first four operands";
    EXPECT_EQ(s.lineColor(), (Color { 100, 0, 0 }));

    // Truncated to whole percentages; the last "k" is overridden by "g".
    s = r.objects[3]->style();
    EXPECT_EQ(s.fillColor(), (Color { 57, 57, 57 }));
    EXPECT_FALSE(s.fillOn());
}

TEST(ZvxReaderDispatch, CmykRoundTripsEveryWholePercentage)
{
    // What the writer writes for each percentage reads back as that percentage.
    std::string body;
    for (int p = 0; p <= 100; ++p) {
        char line[64];
        const float c = (100 - static_cast<float>(p)) / 100;
        std::snprintf(line, sizeof line, "%g %g %g 0 k\n0 0 m\n1 1 L\nF\n", c, c, c);
        body += line;
    }
    ReadOutcome r = readBody(body);
    ASSERT_EQ(r.objects.size(), 101u);
    for (int p = 0; p <= 100; ++p)
        EXPECT_EQ(r.objects[p]->style().fillColor().red, p);
}

// The path forms only other programs write; the writer's own come back in
// the round trip.
TEST(ZvxReaderPaths, FormsOfOtherFiles)
{
    // Two points cannot close.
    ReadOutcome r = readBody("0 0 m\n10 0 L\nb\n");
    ASSERT_EQ(r.objects.size(), 1u);
    EXPECT_FALSE(as<PolygonObject>(r.objects[0])->isClosed());

    // A closed curve without the repeated point keeps every node; the
    // closing segment is straight.
    r = readBody("0 0 m\n1 0 2 1 3 3 c\n4 5 5 5 6 0 c\nf\n");
    ASSERT_EQ(r.objects.size(), 1u);
    const auto* closed = as<CurveObject>(r.objects[0]);
    ASSERT_NE(closed, nullptr);
    EXPECT_TRUE(closed->isClosed());
    ASSERT_EQ(closed->nodes().size(), 3u);
    EXPECT_EQ(closed->nodes()[0].inX, 0);
    EXPECT_EQ(closed->nodes()[2].outX, 6);

    // v/y on an empty path are ignored, c still appends; painting keeps the
    // path, so a second operator paints it again; W clears it.
    r = readBody("5 5 1 1 v\n1 1 2 2 y\n1 2 3 4 5 6 c\n7 8 L\nS\nN\nW\nS\n0 0 m\nS\n");
    ASSERT_EQ(r.objects.size(), 2u);
    ASSERT_NE(as<CurveObject>(r.objects[0]), nullptr);
    EXPECT_EQ(as<CurveObject>(r.objects[0])->nodes().size(), 2u);
    EXPECT_TRUE(r.objects[0]->style().strokeOn());
    EXPECT_FALSE(r.objects[1]->style().strokeOn());
}

// The writer's own shape forms come back through the save-open-save round
// trip; these are the forms only other files use.
TEST(ZvxReaderShapes, ShapeOperatorsMakePendingObjects)
{
    ReadOutcome r = readBody("20 10 5 6 [1 0 0 1 3 4] Ov\nb\n"
                             "0 90 10 12 50 60 [1 0 0 1 1 1] Ar\nS\n"
                             "4 At\n3 30 40 10 20 [1 0 0 1 0 0] Ln\nS\n"
                             "n\n");
    ASSERT_EQ(r.objects.size(), 3u) << "a painted pending object is not painted twice";
    const auto* arc = as<ArcObject>(r.objects[1]);
    ASSERT_NE(arc, nullptr);
    EXPECT_EQ(arc->centre(), (Point { 50, 60 }));
    EXPECT_EQ(arc->endAngle(), 90);
    EXPECT_EQ(arc->matrix(), (Matrix { 1, 0, 0, 1, 1, 1 }));
    const auto* line = as<LineObject>(r.objects[2]);
    ASSERT_NE(line, nullptr);
    EXPECT_EQ(line->first(), (Point { 10, 20 }));
    EXPECT_EQ(line->second(), (Point { 30, 40 }));
    EXPECT_EQ(line->arrows(), std::make_pair(4, 4));
}

TEST(ZvxReaderGroups, NestingAndLinks)
{
    ReadOutcome r = readBody("%ZVX u http://before\n"
                             "u\n0 0 m\n1 1 L\nS\n%ZVX u   http://inner.example/a b \t\n"
                             "u\n2 2 m\n3 3 L\nS\nU\n%ZVX u http://group\nU\n"
                             "*u\n0 0 m\n1 0 L\n1 1 L\nf\n5 5 m\n6 5 L\n6 6 L\nf\n*U\n*u\n*U\n");
    ASSERT_EQ(r.objects.size(), 2u);
    // A link before any object names nothing; an empty compound path is dropped.
    const auto* group = as<GroupObject>(r.objects[0]);
    ASSERT_NE(group, nullptr);
    EXPECT_FALSE(group->url());
    ASSERT_EQ(group->children().size(), 2u);
    EXPECT_EQ(group->children()[0]->url(), std::optional<std::string>("http://inner.example/a b"));
    EXPECT_EQ(group->children()[1]->url(), std::optional<std::string>("http://group"));

    // An unmatched close keeps reading into the same list; brackets left open
    // at the trailer keep their objects.
    r = readBody("U\n*U\n0 0 m\n1 1 L\nS\nu\n2 2 m\n3 3 L\nS\n*u\n4 4 m\n5 5 L\nS\n");
    EXPECT_EQ(r.result, ZvxReadResult::Read);
    ASSERT_EQ(r.objects.size(), 2u);
    group = as<GroupObject>(r.objects[1]);
    ASSERT_NE(group, nullptr);
    ASSERT_EQ(group->children().size(), 2u);
    EXPECT_EQ(group->children()[1]->type(), ObjectType::CompoundPath);

    // A stray continuation line names nothing.
    r = readBody("0 0 m\n1 1 L\nS\n%ZVX+ stray\n");
    ASSERT_EQ(r.objects.size(), 1u);
    EXPECT_FALSE(r.objects[0]->url());
}

TEST(ZvxReaderGroups, DeepNestingIsBounded)
{
    std::string body;
    for (int i = 0; i < 5000; ++i)
        body += "u\n";
    body += "0 0 m\n1 1 L\nS\n";
    for (int i = 0; i < 5000; ++i)
        body += "U\n";
    body += "2 2 m\n3 3 L\nS\n";
    ReadOutcome r = readBody(body);
    ASSERT_EQ(r.objects.size(), 2u) << "every close matched an open";
    EXPECT_EQ(deepCount(r.objects), 202u);
}

TEST(ZvxReaderText, NativeTextObject)
{
    // No catalogue: without a font the text is not laid out again, so the
    // joined lines are exactly as read.
    ReadOutcome r = readBody("0 1 1 0 k\n/_Times-Roman 12 14 0 3 z\n[1 0 0 1 10 100] e\n60 -30.6 0 8.4 tbx\n"
                             "(first line) t\n(with \\(parens\\) and \\\\ and \\351\\0121) Tx\n(\\r) TX\n"
                             "() t\n(\\r) TX\n(last\\q) Tx\nT\nT\n");
    ASSERT_EQ(r.objects.size(), 1u) << "T with an empty buffer makes nothing";
    const auto* text = as<TextObject>(r.objects[0]);
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(text->text(), "first line\nwith (parens) and \\ and \xe9\n1\r\rlast\\q");
    EXPECT_EQ(text->font(), nullptr);
    EXPECT_EQ(r.missingFonts, (std::vector<std::string> { "Times-Roman" }));
}

TEST(ZvxReaderText, IllustratorTextWithoutBox)
{
    TestCatalogue catalogue({ "Helvetica" });
    ReadOutcome r
        = readBody("0 To\n 1 0 0 1 10 20 0 Tp\nTP\n/_Palatino-Italic 10 Tf\n(abc) Tx\n(abcdef) Tj\nTO\n");
    ASSERT_EQ(r.objects.size(), 1u);
    const auto* text = as<TextObject>(r.objects[0]);
    ASSERT_NE(text, nullptr);
    // Each line shown ends in a hard break, and the frame is as wide as the
    // longest line (six characters of 500 units at 10 points): the lines
    // break where the file broke them.
    EXPECT_EQ(text->text(), "abc\rabcdef");
    EXPECT_NEAR(std::abs(text->frame().corner2().x - text->frame().corner1().x), 30, 1);
    EXPECT_EQ(r.missingFonts, (std::vector<std::string> { "Palatino-Italic" }));
}

TEST(ZvxReaderImages, ShortDataFailsTheImageOnly)
{
    ReadOutcome r = readBody("0 0 m\n1 1 L\nS\n[1 0 0 1 0 0] 2 2 img\nffffff\n");
    EXPECT_EQ(r.result, ZvxReadResult::Damaged);
    ASSERT_EQ(r.objects.size(), 1u);
    EXPECT_EQ(r.objects[0]->type(), ObjectType::Polygon);

    // An image bigger than the file is refused before any memory is taken.
    r = readBody("[1 0 0 1 0 0] 2000000000 2000000000 img\n");
    EXPECT_EQ(r.result, ZvxReadResult::Damaged);
    EXPECT_TRUE(r.objects.empty());
}

TEST(ZvxReaderTruncation, EveryCutFailsCleanlyAndKeepsEarlierObjects)
{
    TestCatalogue catalogue({ "Helvetica" });
    std::string body = "1 1 1 0 k\n0 0 m\n10 0 L\n10 10 L\n0 0 L\nb\n%ZVX u http://x\n"
                       "u\n20 10 5 6 [1 0 0 1 3 4] Ov\nb\n*u\n0 0 m\n1 0 2 1 3 3 c\n4 5 5 5 0 0 C\nf\n*U\nU\n"
                       "/_Helvetica 12 14 0 0 z\n[1 0 0 1 0 0] e\n10 -2 0 9 tbx\n(a \\(b\\)) t\n(\\r) TX\nT\n"
                       "[1 0 0 1 0 0] 1 1 img\n";
    for (int i = 0; i < 256; ++i)
        body += i % 12 == 11 ? "000000\n" : "000000";
    body += "\nq\n1 0 0 1 0 0 cm\n0 0 m\n5 5 L\nQ\nS\nq\n1 0 0 1 0 0 cm\n0 0 5 5 4 2 Ah\nQ\n";
    const std::string full = nativeFile(body);
    ReadOutcome whole = readText(full);
    ASSERT_EQ(whole.result, ZvxReadResult::Read);
    const std::size_t total = deepCount(whole.objects);
    ASSERT_EQ(total, 8u);
    const std::size_t bodyStart = full.find("%%EndPageSetup");
    std::size_t previous = 0;
    for (std::size_t cut = 0; cut < full.size(); cut += 7) {
        ReadOutcome r = readText(std::string_view(full).substr(0, cut));
        const std::size_t count = deepCount(r.objects);
        EXPECT_LE(count, total) << "cut at " << cut;
        if (cut < full.find("%%PageTrailer")) {
            EXPECT_EQ(r.result, ZvxReadResult::Damaged) << "cut at " << cut;
            EXPECT_EQ(
                r.messages, (std::vector<RecordingReporter::Message> { { Reporter::Kind::Error, kDamaged } }))
                << "cut at " << cut;
        }
        if (cut > bodyStart) {
            // A longer piece of the file never loses what a shorter one kept.
            EXPECT_GE(count, previous) << "cut at " << cut;
            previous = count;
        }
    }
    const ReadOutcome beforeTrailer = readText(std::string_view(full).substr(0, full.find("%%PageTrailer")));
    EXPECT_EQ(beforeTrailer.result, ZvxReadResult::Damaged);
    EXPECT_EQ(deepCount(beforeTrailer.objects), total) << "a damaged file keeps every object it read";
}

} // namespace
} // namespace zavora
