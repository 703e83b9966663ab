#include "output/Traversal.h"

#include "model/Drawing.h"
#include "model/GraphicsKernel.h"
#include "model/GroupObject.h"
#include "model/PathObjects.h"
#include "model/ProgressMonitor.h"
#include "model/ShapeObjects.h"
#include "tests/model/RecordingPort.h"

#include <gtest/gtest.h>

namespace zavora {
namespace {

using Log = std::vector<std::string>;

// Records the page's DocumentInfo and can refuse the page.
class PagePort : public test::RecordingPort {
public:
    bool refuse = false;
    std::optional<DocumentInfo> info;
    ProgressMonitor* beginMonitor = nullptr;
    ProgressMonitor* endMonitor = nullptr;

    bool beginPage(const DocumentInfo& i, bool downloadFonts, ProgressMonitor* monitor) override
    {
        info = i;
        beginMonitor = monitor;
        RecordingPort::beginPage(i, downloadFonts, monitor);
        return !refuse;
    }
    void endPage(ProgressMonitor* monitor) override
    {
        endMonitor = monitor;
        RecordingPort::endPage(monitor);
    }
};

// Cancels once `cancelAfter` steps have been made (never when negative).
class TestMonitor : public ProgressMonitor {
public:
    explicit TestMonitor(int cancelAfter = -1)
        : m_cancelAfter(cancelAfter)
    { }
    void start(int total) override { totals.push_back(total); }
    void step() override { ++steps; }
    bool cancelled() const override { return m_cancelAfter >= 0 && steps >= m_cancelAfter; }

    std::vector<int> totals;
    int steps = 0;

private:
    int m_cancelAfter;
};

std::unique_ptr<DrawObject> rect(float x1, float y1, float x2, float y2, const char* url = nullptr)
{
    auto r = std::make_unique<RectangleObject>(x1, y1, x2, y2);
    if (url)
        r->setUrl(std::string(url));
    return r;
}

std::unique_ptr<DrawObject> line(float x1, float y1, float x2, float y2)
{
    return std::make_unique<LineObject>(x1, y1, x2, y2);
}

template <class Container>
std::unique_ptr<Container> container(
    std::vector<std::unique_ptr<DrawObject>> children, const char* url = nullptr)
{
    auto c = std::make_unique<Container>();
    for (auto& child : children)
        c->appendChild(std::move(child));
    if (url)
        c->setUrl(std::string(url));
    return c;
}

template <class... T> std::vector<std::unique_ptr<DrawObject>> list(T... objects)
{
    std::vector<std::unique_ptr<DrawObject>> v;
    (v.push_back(std::move(objects)), ...);
    return v;
}

// The log without the primitives' numbers: the call names, links with their URL.
Log calls(const Log& log)
{
    Log out;
    for (const std::string& line : log) {
        const std::string name = line.substr(0, line.find(' '));
        out.push_back(name == "beginLink" || name == "endLink" ? line : name);
    }
    return out;
}

class TraversalTest : public ::testing::Test {
protected:
    void SetUp() override { kernel().reset(); }

    Drawing drawing;
    PagePort port;
    RenderOptions options;
};

TEST_F(TraversalTest, EmptyDrawingStillOpensAndClosesThePage)
{
    EXPECT_EQ(renderDrawing(drawing, port, options), RenderResult::Completed);
    EXPECT_EQ(port.log, (Log { "beginPage Untitled 0", "endPage" }));
    // The empty union (-1, -1, -1, -1) grown by 9.5 and truncated toward zero.
    ASSERT_TRUE(port.info);
    EXPECT_EQ(port.info->x0, -10);
    EXPECT_EQ(port.info->y0, -10);
    EXPECT_EQ(port.info->x1, 8);
    EXPECT_EQ(port.info->y1, 8);
}

TEST_F(TraversalTest, GroupInsideCompoundInsideGroupNestsItsBrackets)
{
    auto inner = container<GroupObject>(list(rect(0, 0, 1, 1)));
    auto compound = container<CompoundPathObject>(list(rect(2, 2, 3, 3), std::move(inner)));
    drawing.append(container<GroupObject>(list(std::move(compound), line(0, 0, 5, 5))));
    drawing.append(rect(9, 9, 10, 10));

    EXPECT_EQ(renderDrawing(drawing, port, options), RenderResult::Completed);
    EXPECT_EQ(calls(port.log),
        (Log { "beginPage", "beginGroup", "beginCompoundPath", "rectangle", "beginGroup", "rectangle",
            "endGroup", "endCompoundPath", "line", "endGroup", "rectangle", "endPage" }));
}

TEST_F(TraversalTest, MemberLinksNestInsideTheirContainersLinks)
{
    drawing.append(rect(0, 0, 1, 1, "http://a"));
    drawing.append(
        container<GroupObject>(list(rect(0, 0, 1, 1, "http://member"), line(0, 0, 1, 1)), "http://group"));
    drawing.append(container<CompoundPathObject>(list(rect(0, 0, 1, 1), rect(1, 1, 2, 2, "http://outline"))));

    EXPECT_EQ(renderDrawing(drawing, port, options), RenderResult::Completed);
    EXPECT_EQ(calls(port.log),
        (Log { "beginPage", "beginLink http://a", "rectangle", "endLink http://a", "beginLink http://group",
            "beginGroup", "beginLink http://member", "rectangle", "endLink http://member", "line", "endGroup",
            "endLink http://group", "beginCompoundPath", "rectangle", "beginLink http://outline", "rectangle",
            "endLink http://outline", "endCompoundPath", "endPage" }));
}

TEST_F(TraversalTest, MonitorCountsContainersAndMembersAndCancelStopsWithoutEndPage)
{
    drawing.append(container<GroupObject>(list(rect(0, 0, 1, 1), rect(1, 1, 2, 2))));
    drawing.append(container<CompoundPathObject>(
        list(rect(0, 0, 1, 1), container<GroupObject>(list(line(0, 0, 1, 1))))));
    drawing.append(line(0, 0, 3, 3));

    TestMonitor complete;
    options.monitor = &complete;
    EXPECT_EQ(renderDrawing(drawing, port, options), RenderResult::Completed);
    EXPECT_EQ(complete.totals, std::vector<int> { 8 });
    EXPECT_EQ(complete.steps, 8);
    EXPECT_EQ(port.beginMonitor, &complete);
    EXPECT_EQ(port.endMonitor, &complete);

    // Cancelled on the third step: inside the group, before its second member.
    PagePort cancelledPort;
    TestMonitor cancelling(3);
    options.monitor = &cancelling;
    EXPECT_EQ(renderDrawing(drawing, cancelledPort, options), RenderResult::Cancelled);
    EXPECT_EQ(calls(cancelledPort.log), (Log { "beginPage", "beginGroup", "rectangle" }));
    EXPECT_EQ(cancelling.steps, 3);

    // Already cancelled before the first object.
    PagePort early;
    TestMonitor atOnce(0);
    options.monitor = &atOnce;
    EXPECT_EQ(renderDrawing(drawing, early, options), RenderResult::Cancelled);
    EXPECT_EQ(calls(early.log), (Log { "beginPage" }));
}

TEST_F(TraversalTest, RefusedPageCallsNothingElse)
{
    drawing.append(container<GroupObject>(list(rect(0, 0, 1, 1, "http://x"))));
    port.refuse = true;
    TestMonitor monitor;
    options.monitor = &monitor;
    EXPECT_EQ(renderDrawing(drawing, port, options), RenderResult::Refused);
    EXPECT_EQ(port.log, (Log { "beginPage Untitled 0" }));
    EXPECT_TRUE(monitor.totals.empty());
    EXPECT_EQ(monitor.steps, 0);
}

TEST_F(TraversalTest, PageBoxIsTheObjectsPageSpaceUnionGrownAndTruncatedTowardZero)
{
    drawing.append(rect(10.3f, 20.2f, 100.7f, 50.9f));
    auto moved = rect(0, 0, 10, 10);
    moved->setMatrix(Matrix { 1, 0, 0, 1, -40.3f, -5 }); // page space: -40.3..-30.3, -5..5
    drawing.append(std::move(moved));

    EXPECT_EQ(renderDrawing(drawing, port, options), RenderResult::Completed);
    ASSERT_TRUE(port.info);
    EXPECT_EQ(port.info->x0, -49); // -49.8: toward zero, not down
    EXPECT_EQ(port.info->y0, -14); // -14.5
    EXPECT_EQ(port.info->x1, 110); // 110.2
    EXPECT_EQ(port.info->y1, 60); // 60.4

    options.margin = 0;
    const DocumentInfo tight = documentInfoFor(drawing, options);
    EXPECT_EQ(tight.x0, -40); // -40.8
    EXPECT_EQ(tight.x1, 101); // 101.2
}

TEST_F(TraversalTest, NegativeMarginShrinksTheBoxUnlessItWouldTurnItInsideOut)
{
    drawing.append(rect(10.6f, 20, 110.6f, 60)); // 100 x 40

    options.margin = -10.5f; // m = -10: half the height plus a half is 20.5, enough
    DocumentInfo shrunk = documentInfoFor(drawing, options);
    EXPECT_EQ(shrunk.x0, 20);
    EXPECT_EQ(shrunk.y0, 30);
    EXPECT_EQ(shrunk.x1, 100);
    EXPECT_EQ(shrunk.y1, 50);

    options.margin = -30.5f; // m = -30 exceeds half the height: the margin is dropped
    DocumentInfo dropped = documentInfoFor(drawing, options);
    EXPECT_EQ(dropped.x0, 10);
    EXPECT_EQ(dropped.y0, 20);
    EXPECT_EQ(dropped.x1, 110);
    EXPECT_EQ(dropped.y1, 60);

    // An empty drawing with a negative margin keeps its (-1, -1, -1, -1) box.
    Drawing empty;
    DocumentInfo none = documentInfoFor(empty, options);
    EXPECT_EQ(none.x0, -1);
    EXPECT_EQ(none.y1, -1);
}

TEST_F(TraversalTest, DocumentInfoCarriesTitleOrientationGridAndTheFontOptions)
{
    drawing.setFileName("/home/ana/drawings/plan.zvx");
    drawing.setLandscape(true);
    drawing.setGrid(Grid { 12, 18, 3, 1 });

    std::vector<std::string> order;
    port.log.clear();
    options.downloadFonts = true;
    options.substituteFonts = true;
    options.downloadForm = FontDownloadForm::Type3;
    options.resetWriterState = [&](const RenderOptions& o) {
        // Runs before anything reaches the port, with the export's options.
        EXPECT_TRUE(port.log.empty());
        EXPECT_TRUE(o.substituteFonts);
        EXPECT_EQ(o.downloadForm, FontDownloadForm::Type3);
        order.push_back("reset");
    };
    EXPECT_EQ(renderDrawing(drawing, port, options), RenderResult::Completed);
    EXPECT_EQ(order, std::vector<std::string> { "reset" });
    EXPECT_EQ(port.log.front(), "beginPage plan.zvx 1");
    EXPECT_TRUE(port.info->landscape);
    EXPECT_EQ(port.info->gridSettings, (Grid { 12, 18, 3, 1 }));

    options.documentPath = "/tmp/export/other.eps";
    EXPECT_EQ(documentInfoFor(drawing, options).title, "other.eps");
    options.documentPath = "";
    EXPECT_EQ(documentInfoFor(drawing, options).title, "Untitled");
    EXPECT_EQ(documentTitle("name.zvx"), "name.zvx");
}

} // namespace
} // namespace zavora
