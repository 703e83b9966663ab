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

    bool beginPage(const DocumentInfo& i, bool downloadFonts, ProgressMonitor* monitor) override
    {
        info = i;
        RecordingPort::beginPage(i, downloadFonts, monitor);
        return !refuse;
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

// The page box: the objects' page-space union grown by the margin plus a
// half, truncated toward zero; a negative margin that would turn the box
// inside out is dropped.
TEST_F(TraversalTest, PageBoxFromTheUnionAndTheMargin)
{
    struct Box {
        float x1, y1, x2, y2, tx = 0, ty = 0;
    };
    const struct {
        const char* name;
        std::vector<Box> objects;
        float margin;
        int x0, y0, x1, y1;
    } cases[] = {
        { "empty: the (-1, -1, -1, -1) union grown", {}, 9, -10, -10, 8, 8 },
        { "moved by its matrix", { { 10.3f, 20.2f, 100.7f, 50.9f }, { 0, 0, 10, 10, -40.3f, -5 } }, 9, -49,
            -14, 110, 60 },
        { "no margin", { { 10.3f, 20.2f, 100.7f, 50.9f }, { 0, 0, 10, 10, -40.3f, -5 } }, 0, -40, -5, 101,
            51 },
        { "shrunk", { { 10.6f, 20, 110.6f, 60 } }, -10.5f, 20, 30, 100, 50 },
        { "shrinking past half the height", { { 10.6f, 20, 110.6f, 60 } }, -30.5f, 10, 20, 110, 60 },
        { "empty with a negative margin", {}, -30.5f, -1, -1, -1, -1 },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Drawing d;
        for (const Box& b : c.objects) {
            auto r = rect(b.x1, b.y1, b.x2, b.y2);
            r->setMatrix(Matrix { 1, 0, 0, 1, b.tx, b.ty });
            d.append(std::move(r));
        }
        options.margin = c.margin;
        PagePort page;
        EXPECT_EQ(renderDrawing(d, page, options), RenderResult::Completed);
        EXPECT_EQ(page.log.back(), "endPage") << "an empty drawing still closes its page";
        ASSERT_TRUE(page.info);
        EXPECT_EQ(std::tie(page.info->x0, page.info->y0, page.info->x1, page.info->y1),
            std::tie(c.x0, c.y0, c.x1, c.y1));
    }
}

TEST_F(TraversalTest, ContainersAndLinksNestTheirBrackets)
{
    drawing.append(rect(0, 0, 1, 1, "http://a"));
    auto inner = container<GroupObject>(list(rect(0, 0, 1, 1, "http://member")));
    auto compound = container<CompoundPathObject>(list(rect(2, 2, 3, 3, "http://outline"), std::move(inner)));
    drawing.append(container<GroupObject>(list(std::move(compound), line(0, 0, 5, 5)), "http://group"));

    EXPECT_EQ(renderDrawing(drawing, port, options), RenderResult::Completed);
    EXPECT_EQ(calls(port.log),
        (Log { "beginPage", "beginLink http://a", "rectangle", "endLink http://a", "beginLink http://group",
            "beginGroup", "beginCompoundPath", "beginLink http://outline", "rectangle",
            "endLink http://outline", "beginGroup", "beginLink http://member", "rectangle",
            "endLink http://member", "endGroup", "endCompoundPath", "line", "endGroup",
            "endLink http://group", "endPage" }));
}

TEST_F(TraversalTest, MonitorCountsContainersAndMembersAndCancelOrRefusalStopsWithoutEndPage)
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

    // Cancelled on the third step: inside the group, before its second member.
    PagePort cancelledPort;
    TestMonitor cancelling(3);
    options.monitor = &cancelling;
    EXPECT_EQ(renderDrawing(drawing, cancelledPort, options), RenderResult::Cancelled);
    EXPECT_EQ(calls(cancelledPort.log), (Log { "beginPage", "beginGroup", "rectangle" }));

    // A refused page calls nothing else and starts no count.
    PagePort refusing;
    refusing.refuse = true;
    TestMonitor unstarted;
    options.monitor = &unstarted;
    EXPECT_EQ(renderDrawing(drawing, refusing, options), RenderResult::Refused);
    EXPECT_EQ(refusing.log, (Log { "beginPage Untitled 0" }));
    EXPECT_TRUE(unstarted.totals.empty());
}

} // namespace
} // namespace zavora
