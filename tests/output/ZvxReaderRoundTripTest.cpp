// Save, open, save again: the native file reads back to the drawing it was
// written from, and the second file is byte for byte the first. An
// Illustrator file reads back to the same drawing less what it cannot hold.
#include "output/ZvxReader.h"

#include "PostScriptTestSupport.h"
#include "ZvxReaderTestSupport.h"
#include "model/Drawing.h"
#include "model/ImageObject.h"
#include "model/ShapeObjects.h"
#include "model/TextObject.h"
#include "output/IllustratorPort.h"
#include "output/PostScriptPort.h"
#include "output/Traversal.h"
#include "platform/OutputStream.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <regex>

namespace zavora {
namespace {

using namespace readtest;

// As Save writes it.
std::string save(const Drawing& drawing)
{
    MemoryOutputStream stream;
    stream.open();
    ZvxFilePort port(stream);
    port.setClock(testing::fixedTime);
    port.setDocumentFonts(drawing.documentFonts());
    RenderOptions options;
    options.documentPath = "/tmp/round.zvx";
    EXPECT_EQ(renderDrawing(drawing, port, options), RenderResult::Completed);
    return stream.data();
}

// As Open reads it into a fresh drawing.
void open(const std::string& bytes, Drawing& drawing)
{
    ReadOutcome r = readText(bytes);
    ASSERT_EQ(r.result, ZvxReadResult::Read);
    ASSERT_TRUE(r.messages.empty());
    drawing.replaceAll(std::move(r.objects));
    drawing.setGrid(r.info.gridSettings);
    drawing.setLandscape(r.info.landscape);
}

PaintStyle styled(Color fill, Color line, float width, int dash = kSolidDash, int pattern = kNoPattern)
{
    PaintStyle s;
    s.setFillColor(fill);
    s.setLineColor(line);
    s.setLineWidth(width);
    if (dash != kSolidDash)
        s.setDash(dash);
    if (pattern != kNoPattern)
        s.setFillPattern(pattern);
    return s;
}

template <class T> T* add(Drawing& drawing, std::unique_ptr<T> object, const PaintStyle& style)
{
    object->setStyle(style);
    T* raw = object.get();
    drawing.append(std::move(object));
    return raw;
}

// One of everything the native file carries.
void fillDrawing(Drawing& d, const FontEntry* font)
{
    d.setGrid({ 12, 12, 0, 1 });
    d.setLandscape(true);

    // White is the prolog's fill, but text read before any fill colour is
    // taken for black: the writer states the first text's colour.
    auto white = std::make_unique<TextObject>("white", font, 12, 14, TextAlign::Left);
    white->setTextColor(Color::white());
    d.append(std::move(white));
    auto* rect
        = add(d, std::make_unique<RectangleObject>(10, 20, 110, 70), styled({ 100, 0, 0 }, { 0, 0, 100 }, 2));
    rect->rotate(60, 45, 30);
    add(d, std::make_unique<RoundRectObject>(0, 0, 50, 30, 6, 4),
        styled({ 10, 20, 30 }, { 0, 0, 0 }, 1, 1, 4));
    auto* oval = add(
        d, std::make_unique<EllipseObject>(200, 200, 40, 25), styled({ 7, 93, 57 }, { 66, 33, 0 }, 0.5f));
    oval->skew(200, 200, 0.3f, 0);
    oval->setUrl("http://example.com/oval?x=1&y=2");
    auto* arc
        = add(d, std::make_unique<ArcObject>(300, 100, 50, 30, 15, 200), styled({ 100, 100, 100 }, {}, 3));
    arc->setArrows(kArrowFancy, kArrowCircle);

    add(d, std::make_unique<PolygonObject>(PointList { { 0, 0 }, { 40, 0 }, { 40, 40 }, { 0, 40 } }, true),
        styled({ 50, 50, 50 }, { 0, 0, 0 }, 1, 3));
    auto* open
        = add(d, std::make_unique<PolygonObject>(PointList { { 5, 5 }, { 60, 80 }, { 90, 10 } }, false),
            styled({ 100, 100, 100 }, { 20, 40, 60 }, 4));
    open->setArrows(kArrowSmall, kArrowBig);

    NodeList nodes { makeNode(0, 0), makeNode(30, 40, kCornerNode), makeNode(80, 10) };
    smoothNodes(nodes, true);
    nodes[0].flags = kCornerNode;
    add(d, std::make_unique<CurveObject>(nodes, true),
        styled({ 0, 0, 0 }, { 100, 0, 100 }, 1.5f, kSolidDash, 7));
    nodes.push_back(makeNode(120, 60));
    smoothNodes(nodes, false);
    auto* curve
        = add(d, std::make_unique<CurveObject>(nodes, false), styled({ 100, 100, 100 }, { 0, 0, 0 }, 1));
    curve->setArrows(kArrowNone, kArrowSquare);

    auto text = std::make_unique<TextObject>(
        "Justified text (with parens) \\ and \xe9\nsoft break\rhard break\r\rlast", font, 12, 14,
        TextAlign::Justified);
    text->setFrame({ 100, 300 }, { 260, 200 });
    text->rotate(100, 300, 15);
    text->setUrl("http://example.com/text");
    add(d, std::move(text), styled({ 0, 0, 100 }, { 0, 0, 0 }, 1));
    auto centred = std::make_unique<TextObject>("centred", font, 20, 24, TextAlign::Centre);
    centred->setFrame({ 300, 400 }, { 420, 370 });
    add(d, std::move(centred), styled({ 0, 0, 0 }, { 0, 0, 0 }, 1));

    auto image = std::make_unique<ImageObject>();
    // 16 x 16 fills one read exactly; its rows run on across the hex lines.
    ASSERT_TRUE(image->allocatePixels(16, 16));
    for (int i = 0; i < 16 * 16 * 3; ++i)
        image->pixelData()[i] = static_cast<uint8_t>(i * 7);
    image->placeAt(400, 50);
    d.append(std::move(image));

    auto group = std::make_unique<GroupObject>();
    auto member = std::make_unique<LineObject>(0, 0, 30, 30);
    member->setStyle(styled({ 100, 100, 100 }, { 0, 50, 0 }, 2));
    member->setUrl("http://example.com/member");
    auto inner = std::make_unique<GroupObject>();
    inner->appendChild(std::make_unique<EllipseObject>(10, 10, 5, 5));
    group->appendChild(std::move(member));
    group->appendChild(std::move(inner));
    group->setUrl("http://example.com/group");
    d.append(std::move(group));

    auto compound = std::make_unique<CompoundPathObject>();
    compound->appendChild(
        std::make_unique<PolygonObject>(PointList { { 0, 0 }, { 100, 0 }, { 50, 90 } }, true));
    compound->appendChild(
        std::make_unique<PolygonObject>(PointList { { 40, 20 }, { 60, 20 }, { 50, 40 } }, true));
    compound->setStyle(styled({ 30, 30, 30 }, { 0, 0, 0 }, 1));
    d.append(std::move(compound));

    // Lines longer than the reader takes whole: written in pieces.
    auto longText = std::make_unique<TextObject>(
        std::string(600, 'w') + " (" + std::string(400, 'x') + ")", font, 10, 12, TextAlign::Left);
    longText->setUrl("http://example.com/" + std::string(700, 'p') + " q");
    d.append(std::move(longText));
}

// Equal bytes on the second save mean no object was lost and every later
// round is the same; the objects against the drawing catch what the writer
// leaves out or both sides get wrong alike.
TEST(ZvxReaderRoundTrip, SaveOpenSaveKeepsBytesAndObjects)
{
    TestCatalogue catalogue({ "Helvetica" });
    Drawing original;
    fillDrawing(original, catalogue.find("Helvetica"));
    const std::string first = save(original);
    Drawing reread;
    open(first, reread);
    EXPECT_EQ(reread.grid(), (Grid { 12, 12, 0, 1 }));
    EXPECT_TRUE(reread.isLandscape());
    EXPECT_EQ(save(reread), first);

    const OwnedObjects& a = original.objects();
    const OwnedObjects& b = reread.objects();
    ASSERT_EQ(a.size(), b.size());
    for (std::size_t i = 0; i < a.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(a[i]->type(), b[i]->type());
        EXPECT_EQ(a[i]->url(), b[i]->url());
        if (a[i]->type() == ObjectType::Text)
            continue; // re-expressed relative to the first baseline, checked below
        // Only text keeps a text colour of its own; the file's fill colour
        // sets both. Images carry no style in the file. A group's style is
        // its first member's, here a line, whose fill the file does not keep.
        if (a[i]->type() == ObjectType::Group)
            continue;
        PaintStyle expected = a[i]->style();
        if (a[i]->type() != ObjectType::Image)
            expected.storeTextColor(expected.fillColor());
        EXPECT_EQ(b[i]->style(), expected);
        EXPECT_EQ(a[i]->arrows(), b[i]->arrows());
        // Matrices are written with four significant digits.
        const Matrix ma = a[i]->matrix(), mb = b[i]->matrix();
        EXPECT_NEAR(ma.a, mb.a, 1e-3);
        EXPECT_NEAR(ma.b, mb.b, 1e-3);
        EXPECT_NEAR(ma.tx, mb.tx, 0.05);
        EXPECT_NEAR(ma.ty, mb.ty, 0.05);
    }
    const auto* curve = as<CurveObject>(b[7]);
    ASSERT_NE(curve, nullptr);
    const NodeList& written = as<CurveObject>(a[7])->nodes();
    ASSERT_EQ(curve->nodes().size(), written.size());
    auto near = [](float x, float y, float within) { return std::abs(x - y) <= within; };
    for (std::size_t i = 0; i < written.size(); ++i) {
        const BezierNode &n = curve->nodes()[i], &w = written[i];
        EXPECT_TRUE(near(n.x, w.x, 1e-3f) && near(n.y, w.y, 1e-3f) && near(n.inX, w.inX, 1e-3f)
            && near(n.inY, w.inY, 1e-3f) && near(n.outX, w.outX, 1e-3f) && near(n.outY, w.outY, 1e-3f)
            && n.flags == w.flags)
            << "node " << i;
    }
    EXPECT_TRUE(curve->isClosed());

    const auto* text = as<TextObject>(b[9]);
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(text->text(), as<TextObject>(a[9])->text());
    EXPECT_EQ(text->alignment(), TextAlign::Justified);
    EXPECT_EQ(text->style().textColor(), (Color { 0, 0, 100 }));
    // The same page-space box, whatever the split between matrix and frame.
    const Rect boxA = a[9]->boundingBox(), boxB = b[9]->boundingBox();
    EXPECT_TRUE(near(boxA.left, boxB.left, 0.05f) && near(boxA.bottom, boxB.bottom, 0.05f)
        && near(boxA.right, boxB.right, 0.05f) && near(boxA.top, boxB.top, 0.05f));

    const auto* image = as<ImageObject>(b[11]);
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->pixels(), as<ImageObject>(a[11])->pixels());

    // A line member comes back as a two-point open polygon, the URL on the member.
    const auto* group = as<GroupObject>(b[12]);
    ASSERT_NE(group, nullptr);
    const auto* member = as<PolygonObject>(group->children()[0]);
    ASSERT_NE(member, nullptr);
    EXPECT_FALSE(member->isClosed());
    EXPECT_EQ(member->vertices(), (PointList { { 0, 0 }, { 30, 30 } }));
    EXPECT_EQ(member->url(), std::optional<std::string>("http://example.com/member"));
    EXPECT_EQ(as<TextObject>(b.back())->text(), as<TextObject>(a.back())->text());
    EXPECT_EQ(b[0]->style().textColor(), Color::white());
}

// Files no writer of ours makes: what we read from them is written so that
// an interpreter takes it, and reads back to the same file.
struct HostileCase {
    const char* name;
    std::string body;
    const char* written; // a line (or its start) the saved file must hold
};

std::string imageData()
{
    std::string data;
    for (int i = 0; i < 256; ++i)
        data += i % 12 == 11 ? "ff0000\n" : "ff0000";
    return data + "\n";
}

const HostileCase kHostileCases[] = {
    { "huge coordinates", "1e30 1e30 m\n-1e30 5 L\n0 0 L\nS\n", "1e+06 1e+06 m" },
    { "numbers no float holds", "0 0 m\nnan 5 L\ninf 5 L\n5 1e39 L\n5 5 L\nS\n", "5 5 L" },
    { "huge shapes",
        "1e30 -1e30 0 0 [1 0 0 1 0 0] Ov\nf\n1e30 1e30 -1e30 -1e30 1e30 1e30 [1 0 0 1 0 0] Rr\nb\n"
        "1e30 1e30 1e30 1e30 [1e30 0 0 1e30 1e30 0] Bx\nf\n",
        "[1e+06 0 0 1e+06 1e+06 0] Bx" },
    { "zero font size", "/_Helvetica 0 14 0 0 z\n[1 0 0 1 10 100] e\n(zero) t\nT\n",
        "/_Helvetica 1 14 0 0 z" },
    { "negative font size", "/_Helvetica -12 -14 0 0 z\n[1 0 0 1 10 100] e\n(minus) t\nT\n",
        "/_Helvetica 1 0 0 0 z" },
    { "huge font size", "/_Helvetica 1e30 1e30 0 3 z\n[1 0 0 1 10 100] e\n1e30 -1e30 0 8 tbx\n(a b) t\nT\n",
        "/_Helvetica 250 300 0 3 z" },
    { "Illustrator text without size", "0 To\n1 0 0 1 10 20 0 Tp\n/_Helvetica 0 Tf\n(abc) Tx\nTO\n",
        "/_Helvetica 1 0 0 0 z" },
    { "empty text matrix", "/_Helvetica 12 14 0 0 z\n[0 0 0 0 10 100] e\n(flat) t\nT\n",
        "[0.001 0 0 0.001 " },
    { "squashed text matrix", "/_Helvetica 12 14 0 0 z\n[1 2 2 4 10 100] e\n(line) t\nT\n",
        "[1.04 1.98 2 4 10 100] e" },
    { "singular by rounding", "/_Helvetica 12 14 0 0 z\n[0.1 0.3 0.2 0.6 10 100] e\n(noise) t\nT\n", " e" },
    { "text matrix below single precision",
        "/_Helvetica 12 14 0 0 z\n[1e-30 0 0 1e-30 10 100] e\n(gone) t\nT\n", "[0.001 0 0 0.001 " },
    { "text matrix written as zeros",
        "/_Helvetica 12 14 0 0 z\n[0.00001 0 0 0.00001 10 100] e\n(tiny) t\nT\n", "[0.001 0 0 0.001 " },
    { "huge arcs",
        "q\n1 0 0 1 0 0 cm\n0 1e8 10 10 50 50 Arc\nQ\nS\n1e30 0 10 10 50 50 [1 0 0 1 0 0] Ar\nS\n"
        "-3e9 3e9 10 10 50 50 [1 0 0 1 0 0] Ar\nS\n370 -1e10 10 10 50 50 [1 0 0 1 0 0] Ar\nS\n",
        "0 360 10 10 50 50 Arc" },
    { "empty image matrix", "[0 0 0 0 5 5] 1 1 img\n" + imageData(), "[0.001 0 0 0.001 5 5] 1 1 img" },
    { "huge line width and arrowheads",
        "1e30 w\n0 0 m\n100 0 L\nS\nq\n1 0 0 1 0 0 cm\n0 0 100 0 4 2 Ah\nQ\n-5 w\n0 0 m\n5 5 L\nS\n",
        "1e+06 w" },
};

TEST(ZvxReaderRoundTrip, HostileFilesWriteWhatInterpretersAccept)
{
    TestCatalogue catalogue({ "Helvetica" });
    for (const HostileCase& c : kHostileCases) {
        SCOPED_TRACE(c.name);
        Drawing drawing;
        open(nativeFile(c.body), drawing);
        ASSERT_GT(drawing.objectCount(), 0u);
        const std::string first = save(drawing);
        EXPECT_NE(first.find(c.written), std::string::npos) << testing::pageBody(first);
        EXPECT_FALSE(std::regex_search(testing::pageBody(first), std::regex("nan|inf", std::regex::icase)))
            << testing::pageBody(first);

        // The whole letter page at a low resolution: the bounding box of a
        // hostile drawing may be two million points wide.
        const testing::GhostscriptRun run = testing::renderWithGhostscript(first, "hostile", 18, false);
        EXPECT_TRUE(run.ok()) << run.messages << testing::pageBody(first);

        Drawing reread;
        open(first, reread);
        EXPECT_EQ(deepCount(reread.objects()), deepCount(drawing.objects()));
        EXPECT_EQ(save(reread), first);
    }
}

// As the Illustrator export writes it.
std::string saveIllustrator(const Drawing& drawing)
{
    MemoryOutputStream stream;
    stream.open();
    IllustratorPort port(stream);
    port.setDocumentFonts(drawing.documentFonts());
    EXPECT_EQ(renderDrawing(drawing, port, RenderOptions {}), RenderResult::Completed);
    return stream.data();
}

void collectLeaves(const OwnedObjects& list, std::vector<const DrawObject*>& out)
{
    for (const auto& object : list) {
        if (const OwnedObjects* children = childrenOf(*object))
            collectLeaves(*children, out);
        else
            out.push_back(object.get());
    }
}

// How many filled outlines stand for the object's arrowheads in the file.
int arrowheadCount(const DrawObject& object)
{
    bool open = object.type() == ObjectType::Line || object.type() == ObjectType::Arc;
    if (const auto* polygon = dynamic_cast<const PolygonObject*>(&object))
        open = !polygon->isClosed();
    if (const auto* curve = dynamic_cast<const CurveObject*>(&object))
        open = !curve->isClosed();
    const auto [first, second] = object.arrows();
    return open ? int(first != kArrowNone) + int(second != kArrowNone) : 0;
}

TEST(ZvxReaderRoundTrip, IllustratorFileReadsBackLessWhatItCannotHold)
{
    TestCatalogue catalogue({ "Helvetica" });
    Drawing original;
    fillDrawing(original, catalogue.find("Helvetica"));
    const std::string first = saveIllustrator(original);
    Drawing reread;
    open(first, reread);
    // What came back writes the same objects again. Only the page box may
    // grow: a word wider than its text frame widens the frame read back.
    auto body = [](const std::string& file) { return file.substr(file.find("%%EndComments")); };
    EXPECT_EQ(body(saveIllustrator(reread)), body(first));

    // Groups and compound paths keep their members.
    ASSERT_EQ(reread.objects().size(), original.objects().size() - 1 + 5); // no image; five arrowheads
    std::vector<const DrawObject*> a, b;
    collectLeaves(original.objects(), a);
    collectLeaves(reread.objects(), b);
    std::size_t j = 0;
    for (const DrawObject* object : a) {
        if (object->type() == ObjectType::Image)
            continue;
        SCOPED_TRACE(j);
        ASSERT_LT(j, b.size());
        const DrawObject& back = *b[j];
        j += 1 + std::size_t(arrowheadCount(*object));
        if (object->type() == ObjectType::Text) {
            const auto& written = static_cast<const TextObject&>(*object);
            const auto* text = dynamic_cast<const TextObject*>(&back);
            ASSERT_NE(text, nullptr);
            // Every line comes back as a line of its own; justified text is set flush left.
            std::string expected = written.text();
            std::replace(expected.begin(), expected.end(), '\n', '\r');
            EXPECT_EQ(text->text(), expected);
            EXPECT_EQ(text->alignment(),
                written.alignment() == TextAlign::Justified ? TextAlign::Left : written.alignment());
            EXPECT_EQ(text->style().fillColor(), written.style().fillColor());
            continue;
        }
        // Hatches are dropped: the shape keeps its plain fill.
        PaintStyle expected = object->style();
        expected.storeFillPattern(kNoPattern);
        expected.storeTextColor(expected.fillColor());
        if (object->type() == ObjectType::Line) {
            // A line states its stroke only.
            EXPECT_EQ(back.style().lineColor(), expected.lineColor());
            EXPECT_EQ(back.style().lineWidth(), expected.lineWidth());
            EXPECT_EQ(back.style().strokeOn(), expected.strokeOn());
        } else {
            EXPECT_EQ(back.style(), expected);
        }
        EXPECT_EQ(back.url(), std::nullopt);
        const Rect boxA = object->boundingBox(), boxB = back.boundingBox();
        EXPECT_NEAR(boxA.left, boxB.left, 0.05);
        EXPECT_NEAR(boxA.bottom, boxB.bottom, 0.05);
        EXPECT_NEAR(boxA.right, boxB.right, 0.05);
        EXPECT_NEAR(boxA.top, boxB.top, 0.05);
    }
    EXPECT_EQ(j, b.size());
}

} // namespace
} // namespace zavora
