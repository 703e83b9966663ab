// The tools driven through the real drawing window with mouse and key events
// on the offscreen platform.
#include "ShellTestSupport.h"

#include "app/ColorBar.h"
#include "app/DrawingWindow.h"
#include "app/MainFrame.h"
#include "app/ShellCommands.h"
#include "model/ImageObject.h"
#include "model/CommandIds.h"
#include "model/PathObjects.h"
#include "model/ShapeObjects.h"
#include "model/TextObject.h"
#include "output/PostScriptPort.h"
#include "output/Traversal.h"
#include "platform/OutputStream.h"
#include "tests/support/TestFonts.h"
#include "tools/SelectionTool.h"
#include "tools/TextTool.h"
#include "tools/Tool.h"
#include "tools/ToolSet.h"

#include <QApplication>
#include <QClipboard>
#include <QDropEvent>
#include <QImage>
#include <QMimeData>
#include <QUrl>
#include <QGuiApplication>
#include <QMenu>
#include <QTest>
#include <QWheelEvent>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <ctime>
#include <functional>

namespace zavora {
namespace {

using namespace shelltest;

// A shorter wait than the shell tests': a tool's idle work is one repaint.
constexpr int kIdleMs = 20;

class ToolGui : public ShellTest {
protected:
    void SetUp() override
    {
        ShellTest::SetUp();
        MainFrame* frame = start().frame();
        frame->resize(900, 700);
        frame->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(frame));
        m_window = frame->drawingWindow();
        // (0, 0) in view at more than one pixel per point, so that a pixel
        // snapped to the 1-point grid gives back the exact point.
        m_window->zoomToRect(-60, -60, 140, 140);
        snapToPoints();
        runUntilIdle(kIdleMs);
        ASSERT_GT(m_window->view().zoom(), 1.2f);
        ASSERT_TRUE(m_window->viewport().contains(px(-50, -50)));
        ASSERT_TRUE(m_window->viewport().contains(px(130, 130)));
    }

    Drawing& drawing() { return m_shell->drawing(); }
    void snapToPoints() { drawing().setGrid({ 1, 1, 0, 1 }); }
    QPoint px(float x, float y) const
    {
        const Point p = m_window->view().toWindow(x, y);
        return QPoint(int(std::lround(p.x)), int(std::lround(p.y)));
    }
    void press(float x, float y, Qt::KeyboardModifiers mods = {})
    {
        QTest::mousePress(m_window, Qt::LeftButton, mods, px(x, y));
    }
    void moveTo(float x, float y) { QTest::mouseMove(m_window, px(x, y)); }
    void release(float x, float y, Qt::KeyboardModifiers mods = {})
    {
        QTest::mouseRelease(m_window, Qt::LeftButton, mods, px(x, y));
        runUntilIdle(kIdleMs);
    }
    void drag(float x0, float y0, float x1, float y1, Qt::KeyboardModifiers mods = {})
    {
        press(x0, y0, mods);
        moveTo((x0 + x1) / 2, (y0 + y1) / 2);
        moveTo(x1, y1);
        release(x1, y1, mods);
    }
    void typeKey(char c)
    {
        QTest::keyClick(m_window, c);
        runUntilIdle(kIdleMs);
    }
    void key(Qt::Key k, Qt::KeyboardModifiers mods = {})
    {
        QTest::keyClick(m_window, k, mods);
        runUntilIdle(kIdleMs);
    }
    std::string status() const { return m_messages.last(RecordingReporter::Kind::Status); }
    Tool* current() const { return m_window->currentTool(); }
    bool dark(float x, float y) const { return qGray(m_window->buffer().pixel(px(x, y))) < 128; }
    // A handle is a black square of 5 pixels about its point.
    bool handleShown(float x, float y) const
    {
        const QPoint c = px(x, y);
        for (int dy = -2; dy <= 2; ++dy)
            for (int dx = -2; dx <= 2; ++dx)
                if (qGray(m_window->buffer().pixel(c + QPoint(dx, dy))) >= 128)
                    return false;
        return true;
    }
    Tool* tool(ToolKind kind) const { return m_window->tools().tool(kind); }
    template <class T> T& only()
    {
        EXPECT_EQ(drawing().objectCount(), 1u);
        auto* object = dynamic_cast<T*>(drawing().objectAt(drawing().objectCount() - 1));
        EXPECT_NE(object, nullptr);
        return *object;
    }
    DrawObject* add(std::unique_ptr<DrawObject> object) { return drawing().append(std::move(object)); }

    // "x,y x,y ..." to hundredths, or to `unit`.
    static std::string pointsText(const std::vector<Point>& points, float unit = 0.01f)
    {
        std::string out;
        for (Point p : points) {
            char text[48];
            std::snprintf(text, sizeof text, "%s%g,%g", out.empty() ? "" : " ", std::round(p.x / unit) * unit + 0.0,
                std::round(p.y / unit) * unit + 0.0);
            out += text;
        }
        return out;
    }
    // A path's anchors where they stand, any other object's handles.
    static std::string anchors(const DrawObject& object, float unit = 0.01f)
    {
        const KMatrix m(object.matrix());
        std::vector<Point> points;
        bool closed = false;
        if (const auto* curve = dynamic_cast<const CurveObject*>(&object)) {
            for (const BezierNode& node : curve->nodes())
                points.push_back(transformPoint(m, { node.x, node.y }));
            closed = curve->isClosed();
        } else if (const auto* polygon = dynamic_cast<const PolygonObject*>(&object)) {
            for (Point v : polygon->vertices())
                points.push_back(transformPoint(m, v));
            closed = polygon->isClosed();
        } else {
            points = object.handlePoints();
        }
        return pointsText(points, unit) + (closed ? " closed" : "");
    }

    DrawingWindow* m_window = nullptr;
};

// Each shape tool draws from its gestures (press, halfway, end, release) and
// the selection tool reshapes the result through one handle. A rectangle of
// no width is kept; a click, or an arc swept by nothing, adds nothing.
TEST_F(ToolGui, ShapeToolsDrawAndTheirHandlesReshape)
{
    struct Drag {
        Point from, to;
    };
    struct Case {
        char key;
        std::vector<Drag> gestures;
        bool shift; // held from the end of the last gesture through its release
        const char* statusBeforeRelease; // nullptr: not read
        const char* drawn; // handles, to hundredths; "": nothing is added
        Drag handle;
        const char* reshaped; // nullptr: no handle drag
    };
    const Case cases[] = {
        // Shift keeps a line level, squares a rectangle; upper case keys choose like lower case.
        { 'l', { { { 10, 10 }, { 90, 16 } } }, true, nullptr, "10,10 90,10", { { 90, 10 }, { 60, 50 } },
            "10,10 60,50" },
        { 'R', { { { 0, 0 }, { -5, 20 } } }, true, "Square: 20", "0,0 0,20 -20,20 -20,0",
            { { -20, 0 }, { -30, -10 } }, "0,-10 0,20 -30,20 -30,-10" },
        // Round rectangle radii follow the size up to 20; the radius handle
        // stops at half the width.
        { 'u', { { { 0, 0 }, { 30, 90 } } }, false, nullptr, "0,0 0,90 30,90 30,0 10,80",
            { { 10, 80 }, { 25, 70 } }, "0,0 0,90 30,90 30,0 15,70" },
        { 'u', { { { -50, -50 }, { 130, 130 } } }, false, nullptr, "-50,-50 -50,130 130,130 130,-50 -30,110",
            {}, nullptr },
        // The ellipse passes through the pointer, where its upper right handle lies.
        { 'e', { { { 40, 40 }, { 50, 60 } } }, false, "Ellipse: 14x28", "50,60 30,60 30,20 50,20",
            { { 50, 60 }, { 60, 50 } }, "60,50 20,50 20,30 60,30" },
        { 'e', { { { 0, 0 }, { 0, 1 } } }, false, nullptr, "0.71,1 -0.71,1 -0.71,-1 0.71,-1", {}, nullptr },
        // The arc: a click at the centre, then a drag anti-clockwise from the
        // start angle; its end handle turns it and sets the radius.
        { 'a', { { { 40, 40 }, { 40, 40 } }, { { 60, 40 }, { 40, 60 } } }, false, nullptr, "60,40 40,60",
            { { 40, 60 }, { 10, 40 } }, "70,40 10,40" },
        { 'r', { { { 30, 10 }, { 30, 50 } } }, false, nullptr, "30,10 30,50 30,50 30,10", {}, nullptr },
        { 'r', { { { 70, 70 }, { 70, 70 } } }, false, nullptr, "", {}, nullptr },
        { 'a', { { { 100, 100 }, { 100, 100 } }, { { 110, 100 }, { 120, 100 } } }, false, nullptr, "", {}, nullptr },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.key + std::string(" ") + c.drawn);
        drawing().takeAll();
        typeKey(c.key);
        for (const Drag& g : c.gestures) {
            press(g.from.x, g.from.y);
            moveTo((g.from.x + g.to.x) / 2, (g.from.y + g.to.y) / 2);
            moveTo(g.to.x, g.to.y);
            const bool last = &g == &c.gestures.back();
            if (last && c.shift)
                QTest::keyPress(m_window, Qt::Key_Shift);
            if (last && c.statusBeforeRelease) {
                EXPECT_EQ(status(), c.statusBeforeRelease);
            }
            release(g.to.x, g.to.y, last && c.shift ? Qt::ShiftModifier : Qt::NoModifier);
        }
        if (c.shift)
            QTest::keyRelease(m_window, Qt::Key_Shift);
        if (!*c.drawn) {
            EXPECT_EQ(drawing().objectCount(), 0u);
            continue;
        }
        ASSERT_EQ(drawing().objectCount(), 1u);
        EXPECT_EQ(anchors(*drawing().objectAt(0)), c.drawn);
        EXPECT_EQ(drawing().objectAt(0)->style(), drawing().defaultStyle());
        if (!c.reshaped)
            continue;
        typeKey('n');
        drag(c.handle.from.x, c.handle.from.y, c.handle.to.x, c.handle.to.y);
        EXPECT_EQ(anchors(*drawing().objectAt(0)), c.reshaped);
    }
}

TEST_F(ToolGui, MarqueeSelectsLinesAndShiftMarqueeToggles)
{
    DrawObject* a = add(std::make_unique<RectangleObject>(10, 10, 30, 30));
    DrawObject* b = add(std::make_unique<LineObject>(50, 10, 70, 30));
    DrawObject* c = add(std::make_unique<RectangleObject>(100, 100, 120, 120));
    DrawObject* locked = add(std::make_unique<RectangleObject>(-40, -40, -30, -30));
    locked->lock();
    runUntilIdle(kIdleMs);

    drag(0, 0, 80, 40);
    EXPECT_EQ(drawing().selection(), (ObjectRefs { a, b }));

    press(40, 0);
    moveTo(90, 90);
    EXPECT_EQ(status(), "Selection");
    QTest::keyPress(m_window, Qt::Key_Shift);
    EXPECT_EQ(status(), "Toggle selection");
    moveTo(130, 130);
    release(130, 130, Qt::ShiftModifier);
    QTest::keyRelease(m_window, Qt::Key_Shift);
    EXPECT_EQ(drawing().selection(), (ObjectRefs { a, c }));

    // A locked object is not selected by a marquee nor by a click; the
    // click starts a marquee instead.
    drag(-50, -50, -20, -20);
    EXPECT_FALSE(drawing().hasSelection());
    press(-40, -35);
    release(-40, -35);
    EXPECT_FALSE(drawing().hasSelection());
}

TEST_F(ToolGui, ClickOnASelectedObjectKeepsTheSelectionAndMovesIt)
{
    DrawObject* a = add(std::make_unique<RectangleObject>(10, 10, 30, 30));
    DrawObject* c = add(std::make_unique<RectangleObject>(100, 100, 120, 120));
    DrawObject* top = add(std::make_unique<RectangleObject>(60, 60, 80, 80));
    drawing().setSelection({ a, c });
    runUntilIdle(kIdleMs);
    const std::size_t steps = drawing().history().undoCount();

    // Within 2 pixels of the press nothing moves and nothing is recorded.
    const QPoint start = px(10, 20);
    QTest::mousePress(m_window, Qt::LeftButton, {}, start);
    QTest::mouseMove(m_window, start + QPoint(2, 1));
    QTest::mouseRelease(m_window, Qt::LeftButton, {}, start + QPoint(2, 1));
    runUntilIdle(kIdleMs);
    EXPECT_EQ(drawing().history().undoCount(), steps);
    EXPECT_EQ(drawing().selection(), (ObjectRefs { a, c }));
    EXPECT_FLOAT_EQ(a->boundingBox().left, 10);

    drag(10, 20, 25, 15);
    EXPECT_EQ(drawing().selection(), (ObjectRefs { a, c }));
    EXPECT_EQ(a->boundingBox(), (Rect { 25, 5, 45, 25 }));
    EXPECT_EQ(c->boundingBox(), (Rect { 115, 95, 135, 115 }));
    EXPECT_EQ(top->boundingBox(), (Rect { 60, 60, 80, 80 }));
    EXPECT_EQ(drawing().history().undoCount(), steps + 1);
}

TEST_F(ToolGui, ToolKeysAndTheRefusedTransformTools)
{
    const Tool* selection = current();
    ASSERT_EQ(selection, tool(ToolKind::Selection));
    for (char c : { 'o', 's', 'k', 'f' }) {
        typeKey(c);
        EXPECT_EQ(current(), selection) << c;
    }
    EXPECT_EQ(status(), "Reflect: You must select one or more objects first");

    // The transform tools answer their keys once something is selected; a
    // letter of no tool changes nothing.
    drawing().setSelection({ add(std::make_unique<RectangleObject>(0, 0, 10, 10)) });
    for (auto [k, kind] : { std::pair { Qt::Key_C, ToolKind::Curve }, { Qt::Key_H, ToolKind::Pan },
             { Qt::Key_O, ToolKind::Rotate }, { Qt::Key_F10, ToolKind::Rotate }, { Qt::Key_F4, ToolKind::Line },
             { Qt::Key_X, ToolKind::Line }, { Qt::Key_N, ToolKind::Selection } }) {
        key(k);
        EXPECT_EQ(current(), tool(kind)) << k;
    }
}

// What the window shows, read while the button is still held: a Shift-click
// shows or hides the handles at once, Esc takes the marquee away, the
// rounded rectangle shows its radius handle, a path's outline stays.
TEST_F(ToolGui, TheScreenShowsTheSelectionAndTheFeedbackAtOnce)
{
    DrawObject* first = add(std::make_unique<RectangleObject>(10, 10, 30, 30));
    add(std::make_unique<RectangleObject>(60, 10, 80, 30));
    press(20, 20);
    release(20, 20);
    EXPECT_TRUE(handleShown(30, 30));
    EXPECT_FALSE(handleShown(80, 30));

    press(70, 20, Qt::ShiftModifier);
    runUntilIdle();
    EXPECT_EQ(drawing().selection().size(), 2u);
    EXPECT_TRUE(handleShown(80, 30)) << "no handles while the button is held";
    release(70, 20, Qt::ShiftModifier);
    press(70, 20, Qt::ShiftModifier);
    runUntilIdle();
    EXPECT_EQ(drawing().selection().size(), 1u);
    EXPECT_FALSE(handleShown(80, 30));
    EXPECT_TRUE(handleShown(30, 30));
    release(70, 20, Qt::ShiftModifier);

    // The marquee's top edge, then Esc with the button still held.
    press(40, 60);
    moveTo(45, 80);
    moveTo(50, 100);
    runUntilIdle();
    ASSERT_TRUE(dark(45, 100));
    key(Qt::Key_Escape);
    EXPECT_FALSE(dark(45, 100)) << "the marquee stays after Esc";
    release(50, 100);
    EXPECT_FALSE(dark(45, 100));
    EXPECT_FALSE(handleShown(30, 30)) << "Esc deselected";

    // A resize or a scroll with the button held ends the move, on a window
    // that shows the drawing where it now is: not the blank buffers made for
    // the new size, nor the picture from before the scroll.
    const std::string corners = anchors(*first);
    press(20, 20);
    moveTo(30, 25);
    moveTo(40, 30);
    m_window->resize(m_window->size() - QSize(40, 30));
    runUntilIdle();
    EXPECT_TRUE(handleShown(30, 30)) << "the picture went with the resize";
    key(Qt::Key_PageDown);
    EXPECT_TRUE(handleShown(30, 30)) << "the picture stayed behind the scroll";
    moveTo(45, 35);
    release(45, 35);
    EXPECT_EQ(current(), tool(ToolKind::Selection));
    EXPECT_EQ(anchors(*first), corners) << "the move outlived the resize";

    typeKey('u');
    drag(0, 40, 30, 130);
    ASSERT_EQ(drawing().selection().size(), 1u);
    EXPECT_TRUE(handleShown(10, 120)) << "no radius handle";

    drawing().takeAll();
    runUntilIdle();
    // A path's outline stays on the screen between its points, through
    // any repaint, and is there once while the next point is dragged.
    typeKey('p');
    drag(60, 20, 110, 20);
    EXPECT_EQ(status(), "Polygon: Click next point (double click to end)");
    m_window->update();
    runUntilIdle();
    EXPECT_TRUE(dark(85, 20));
    press(110, 60);
    moveTo(120, 70);
    runUntilIdle();
    EXPECT_EQ(status(), "Polygon: Drag to adjust");
    EXPECT_TRUE(dark(85, 20)) << "the first side vanished";
    EXPECT_TRUE(dark(115, 45));
    release(120, 70);
}

// Picking in window pixels: a click 1 to 2 pixels inside a filled
// rectangle's edge selects it, one 3 to 4 pixels outside (beyond the 2-pixel
// pick square) does not, at every zoom. The edges lie 0.4 points past whole
// points, where rounding the outline to points would move them.
TEST_F(ToolGui, ClicksNearAnEdgeHitOrMissByPixelsAtEveryZoom)
{
    auto* rect = add(std::make_unique<RectangleObject>(10.4f, 20.4f, 50.4f, 60.4f));
    rect->setFillColor({ 0, 0, 100 });
    struct Case {
        Point edge;
        float pixelsOutward; // from the edge, away from the rectangle
        bool hits;
    };
    for (float percent : { 100.0f, 1200.0f, 25.0f }) {
        for (const Case& c : { Case { { 50.4f, 40 }, -1, true }, Case { { 10.4f, 40 }, 3, false } }) {
            SCOPED_TRACE(testing::Message() << percent << "% at x " << c.edge.x);
            View& view = m_window->view();
            view.setOffsets(c.edge.x - float(view.pageWidth()) / 2, c.edge.y - float(view.pageHeight()) / 2);
            m_window->setZoomPercent(percent);
            runUntilIdle();
            const Point e = view.toWindow(c.edge.x, c.edge.y);
            // The right edge looks outward to +x, the left one to -x; the
            // whole pixel chosen is at least as far out (or in) as asked.
            const float outward = c.edge.x > 30 ? 1.0f : -1.0f;
            const float target = e.x + outward * c.pixelsOutward;
            const int x = int(outward * c.pixelsOutward > 0 ? std::ceil(target) : std::floor(target));
            drawing().deselectAll();
            QTest::mouseClick(m_window, Qt::LeftButton, {}, QPoint(x, int(std::lround(e.y))));
            runUntilIdle();
            EXPECT_EQ(drawing().hasSelection(), c.hits) << "pixel " << x - e.x << " from the edge";
        }
    }
}

// --- paths, transforms, view tools -------------------------------------------

// The fixture's gestures plus double clicks, the node menu, the drawing as
// Save writes it and a tiny script of gestures for the tables below.
class PathAndTransformGui : public ToolGui {
protected:
    // As the platform sends it: a click, then the double click and its release.
    void doubleClick(float x, float y)
    {
        QTest::mouseClick(m_window, Qt::LeftButton, {}, px(x, y));
        QTest::mouseDClick(m_window, Qt::LeftButton, {}, px(x, y));
        runUntilIdle(kIdleMs);
    }
    void click(float x, float y, Qt::KeyboardModifiers mods = {})
    {
        press(x, y, mods);
        release(x, y, mods);
    }
    // Steps separated by ';': "d x,y x,y" drags, "c x,y" clicks, "2 x,y"
    // double clicks, "k c" types a key.
    void run(const std::string& script)
    {
        for (std::size_t at = 0, end = 0; at < script.size(); at = end + 1) {
            end = std::min(script.find(';', at), script.size());
            const std::string step = script.substr(at, end - at);
            float a = 0, b = 0, c = 0, d = 0;
            char kind = 0;
            if (std::sscanf(step.c_str(), " k %c", &kind) == 1)
                typeKey(kind);
            else if (std::sscanf(step.c_str(), " d %f,%f %f,%f", &a, &b, &c, &d) == 4)
                drag(a, b, c, d);
            else if (std::sscanf(step.c_str(), " %c %f,%f", &kind, &a, &b) == 3)
                kind == '2' ? doubleClick(a, b) : click(a, b);
            else
                ADD_FAILURE() << "bad step " << step;
        }
    }

    // Right-clicks at (x, y), reads the node menu ("Insert Node+ Delete
    // Node- Corner-* Close+": + offered, - greyed, * checked) and chooses
    // the item named (nullptr dismisses the menu).
    std::string nodeMenu(float x, float y, const char* choose)
    {
        std::string seen;
        auto* poll = new QTimer;
        QObject::connect(poll, &QTimer::timeout, [&seen, poll, choose] {
            auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            if (!menu)
                return;
            poll->stop();
            poll->deleteLater();
            QAction* chosen = nullptr;
            for (QAction* action : menu->actions()) {
                seen += (seen.empty() ? "" : " ") + action->text().toStdString() + (action->isEnabled() ? "+" : "-")
                    + (action->isChecked() ? "*" : "");
                if (choose && action->text() == choose)
                    chosen = action;
            }
            if (chosen && chosen->isEnabled()) {
                menu->setActiveAction(chosen);
                QTest::keyClick(menu, Qt::Key_Return);
            } else {
                menu->close();
            }
        });
        poll->start(5);
        QTest::mousePress(m_window, Qt::RightButton, {}, px(x, y));
        QTest::mouseRelease(m_window, Qt::RightButton, {}, px(x, y));
        runUntilIdle(kIdleMs);
        return seen;
    }

    std::string saved()
    {
        MemoryOutputStream stream;
        stream.open();
        ZvxFilePort port(stream);
        port.setClock([] {
            std::tm fixed {};
            fixed.tm_mday = 7;
            fixed.tm_mon = 11;
            fixed.tm_year = 126;
            return fixed;
        });
        port.setDocumentFonts(drawing().documentFonts());
        RenderOptions options;
        options.documentPath = "/tmp/tools.zvx";
        EXPECT_EQ(renderDrawing(drawing(), port, options), RenderResult::Completed);
        return stream.data();
    }
};

TEST_F(PathAndTransformGui, PathsArePlacedPointByPointAndEndWithADoubleClick)
{
    struct Case {
        const char* script;
        const char* made; // nullptr: nothing is added
    };
    const Case cases[] = {
        { "k c; d 0,0 100,0; 2 100,100", "0,0 100,0 100,100" },
        // Ending within 4 pixels of the start closes and drops the duplicate.
        { "k c; d 0,0 100,0; c 100,100; 2 1,-1", "0,0 100,0 100,100 closed" },
        // A click without a drag leaves no point on top of the first.
        { "k c; c 0,0; c 50,50; 2 80,0", "0,0 50,50 80,0" },
        // A two-node curve does not close onto itself: the path goes on.
        { "k c; c 10,10; 2 10,10; 2 40,10", "10,10 40,10" },
        // Choosing another tool finishes the path; one still being
        // pressed out of its first point is not one.
        { "k c; d 0,0 40,0; c 40,40; k n", "0,0 40,0 40,40" },
        { "k p; d 0,0 50,0; c 50,50; 2 1,1", "0,0 50,0 50,50 closed" },
        { "k p; d 0,0 50,0; c 50,50; 2 50,80", "0,0 50,0 50,50 50,80" },
        { "k p; c 10,10; 2 10,10", nullptr },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.script);
        drawing().takeAll();
        drawing().history().clear();
        run(c.script);
        if (!c.made) {
            EXPECT_EQ(drawing().objectCount(), 0u);
            continue;
        }
        ASSERT_EQ(drawing().objectCount(), 1u);
        const DrawObject& path = *drawing().objectAt(0);
        EXPECT_EQ(anchors(path), c.made);
        EXPECT_EQ(drawing().history().undoCount(), 1u);
        EXPECT_EQ(drawing().selection(), (ObjectRefs { drawing().objectAt(0) }));
        EXPECT_EQ(path.style(), drawing().defaultStyle());
    }
}

// Control points of a smooth node stay on one line through the anchor; a
// corner node's do not; the anchor carries both along.
TEST_F(PathAndTransformGui, CurveHandlesMirrorOnSmoothNodesOnly)
{
    struct Case {
        bool corner;
        Point from, to;
        const char* middle; // anchor, first and second control point
    };
    const Case cases[] = {
        { false, { 30, 0 }, { 50, 20 }, "50,0 50,20 50,-20" },
        { true, { 30, 0 }, { 50, 20 }, "50,0 50,20 70,0" },
        { false, { 70, 0 }, { 70, 10 }, "50,0 32.11,-8.94 70,10" },
        { false, { 50, 0 }, { 55, 10 }, "55,10 35,10 75,10" },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.corner << " " << c.from.x);
        drawing().takeAll();
        BezierNode middle { 50, 0, 30, 0, 70, 0, c.corner ? kCornerNode : 0u };
        BezierNode first = makeNode(0, 0), last = makeNode(100, 0);
        first.outX = 10;
        last.inX = 90;
        auto* curve = static_cast<CurveObject*>(add(std::make_unique<CurveObject>(NodeList { first, middle, last }, false)));
        drawing().setSelection({ curve });
        drawing().notifySelectionChanged();
        runUntilIdle(kIdleMs);
        EXPECT_TRUE(handleShown(c.from.x, c.from.y)) << "the handle to drag is not on the screen";
        drag(c.from.x, c.from.y, c.to.x, c.to.y);
        const BezierNode& m = curve->nodes()[1];
        EXPECT_EQ(pointsText({ { m.x, m.y }, { m.inX, m.inY }, { m.outX, m.outY } }), c.middle);
    }
}

TEST_F(PathAndTransformGui, TheNodeMenuOffersWhatThePointerIsOn)
{
    add(std::make_unique<RectangleObject>(0, 0, 40, 40));
    auto* curve = static_cast<CurveObject*>(add(std::make_unique<CurveObject>(
        NodeList { makeNode(0, 60), makeNode(50, 60), makeNode(100, 60) }, false)));
    curve->smooth();
    auto* polygon = static_cast<PolygonObject*>(
        add(std::make_unique<PolygonObject>(PointList { { 0, 100 }, { 50, 100 }, { 50, 130 } }, false)));
    runUntilIdle(kIdleMs);
    struct Case {
        Point at;
        const char* choose;
        const char* menu;
        const char* after; // the path's anchors; nullptr: nothing recorded
        const DrawObject* path;
    };
    const Case cases[] = {
        { { 40, 20 }, "Close", "Insert Node- Delete Node- Corner- Close-", nullptr, nullptr },
        { { 120, 20 }, nullptr, "Insert Node- Delete Node- Corner- Close-", nullptr, nullptr },
        { { 50, 60 }, "Delete Node", "Insert Node+ Delete Node+ Corner+ Close+", "0,60 100,60", curve },
        // Two nodes are the least a curve keeps.
        { { 100, 60 }, "Delete Node", "Insert Node+ Delete Node+ Corner+ Close+", nullptr, curve },
        { { 25, 60 }, "Insert Node", "Insert Node+ Delete Node- Corner- Close+", "0,60 25,60 100,60", curve },
        { { 25, 60 }, "Corner", "Insert Node+ Delete Node+ Corner+ Close+", "0,60 25,60 100,60", curve },
        { { 25, 60 }, "Close", "Insert Node+ Delete Node+ Corner+* Close+", "0,60 25,60 100,60 closed", curve },
        { { 100, 60 }, "Close", "Insert Node+ Delete Node+ Corner+ Close+*", "0,60 25,60 100,60", curve },
        { { 50, 115 }, "Insert Node", "Insert Node+ Delete Node- Corner- Close+", "0,100 50,100 50,115 50,130", polygon },
        { { 50, 100 }, "Delete Node", "Insert Node+ Delete Node+ Corner- Close+", "0,100 50,115 50,130", polygon },
    };
    // Whole points: a node is inserted at the pointer's pixel, a fraction off.
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.at.x << "," << c.at.y << " " << (c.choose ? c.choose : "-"));
        const std::size_t steps = drawing().history().undoCount();
        const std::string before = c.path ? anchors(*c.path, 1) : "";
        EXPECT_EQ(nodeMenu(c.at.x, c.at.y, c.choose), c.menu);
        if (!c.after) {
            EXPECT_EQ(drawing().history().undoCount(), steps);
            EXPECT_EQ(c.path ? anchors(*c.path, 1) : "", before);
            continue;
        }
        EXPECT_EQ(anchors(*c.path, 1), c.after);
        EXPECT_EQ(drawing().history().undoCount(), steps + 1);
    }
    EXPECT_TRUE(curve->nodes()[1].flags & kCornerNode);
}

// Origin at the first click, then one drag; the read-out while dragging and
// the shape after the release, which records one transform.
TEST_F(PathAndTransformGui, TransformToolsTurnTheSelectionAboutTheOrigin)
{
    struct Case {
        char key;
        const char* origin;
        Point from, to;
        bool shift;
        const char* readout; // before the release; nullptr: not read
        const char* after; // the line's ends
    };
    const Case cases[] = {
        // 43.8 degrees with Shift is 30; -1.1 (358.9) is 345.
        { 'o', "c 0,0", { 100, 0 }, { 72, 69 }, true, "Rotate: 30.0 degrees", "86.6,50 0,0" },
        { 'o', "c 0,0", { 100, 0 }, { 100, -2 }, true, "Rotate: 345.0 degrees", "96.59,-25.88 0,0" },
        { 'o', "c 0,0", { 100, 0 }, { 0, 100 }, false, "Rotate: 90.0 degrees", "0,100 0,0" },
        // The start's vertical difference 0 counts as 1.
        { 's', "c 100,100", { 110, 100 }, { 130, 80 }, false, "Scale: 300.0%, -2000.0%", "100,100 -200,100" },
        { 's', "c 100,100", { 110, 100 }, { 130, 80 }, true, "Scale: 2000.0%, -2000.0%", "100,100 -1900,100" },
        // Straight up from the origin: mirrored across the vertical line.
        { 'f', "c 0,0", { 0, 30 }, { 0, 60 }, false, nullptr, "-100,0 0,0" },
        { 'k', "c 0,0", { 50, 50 }, { 60, 50 }, false, nullptr, "100,0 0,0" },
        { 'k', "c 0,0", { 50, 50 }, { 50, 60 }, false, nullptr, "100,20 0,0" },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.key << " to " << c.to.x << "," << c.to.y);
        drawing().takeAll();
        DrawObject* line = add(std::make_unique<LineObject>(100, 0, 0, 0));
        if (c.key == 's')
            line->translate(0, 100); // through the scale's origin
        drawing().setSelection({ line });
        runUntilIdle(kIdleMs);
        typeKey(c.key);
        run(c.origin);
        press(c.from.x, c.from.y);
        moveTo((c.from.x + c.to.x) / 2, (c.from.y + c.to.y) / 2);
        moveTo(c.to.x, c.to.y);
        if (c.shift)
            QTest::keyPress(m_window, Qt::Key_Shift); // re-evaluated at once
        if (c.readout) {
            EXPECT_EQ(status(), c.readout);
        }
        release(c.to.x, c.to.y, c.shift ? Qt::ShiftModifier : Qt::NoModifier);
        if (c.shift)
            QTest::keyRelease(m_window, Qt::Key_Shift);
        EXPECT_EQ(anchors(*line), c.after);
        typeKey('n');
    }
}

TEST_F(PathAndTransformGui, ZoomAndPanLeaveTheDrawingAsItWas)
{
    add(std::make_unique<RectangleObject>(0, 0, 40, 40));
    View& view = m_window->view();
    // A page area of 800 x 600 pixels inside the scroll bars.
    m_window->resize(m_window->size() - m_window->viewport().size() + QSize(800, 600));
    runUntilIdle();
    const QRect area = m_window->viewport();
    ASSERT_EQ(area.size(), QSize(800, 600));
    m_window->zoomToRect(-60, -60, 140, 140);
    const std::string bytes = saved();
    // The zoom tool: a rectangle fills the window (100 x 50 points:
    // min(8, 12)), a click fits the page.
    typeKey('z');
    drag(0, 0, 100, 50);
    EXPECT_FLOAT_EQ(view.zoom(), 8);
    click(10, 10);
    EXPECT_EQ(view.zoomMode(), ZoomMode::FitInWindow);

    // The pan tool and the middle button: the point pressed stays under the pointer.
    auto panned = [&](Qt::MouseButton button) {
        const QPoint from = area.center(), to = from + QPoint(40, -25);
        const Point held = view.toDrawing(float(from.x()), float(from.y()));
        QTest::mousePress(m_window, button, {}, from);
        QTest::mouseMove(m_window, from + QPoint(20, -10));
        QTest::mouseMove(m_window, to);
        QTest::mouseRelease(m_window, button, {}, to);
        runUntilIdle(kIdleMs);
        const Point now = view.toWindow(held.x, held.y);
        EXPECT_NEAR(now.x, to.x(), 0.01) << button;
        EXPECT_NEAR(now.y, to.y(), 0.01) << button;
    };
    typeKey('h');
    panned(Qt::LeftButton);
    typeKey('n');
    panned(Qt::MiddleButton);

    // Ctrl + wheel zooms about the pointer.
    const QPoint at = area.center() + QPoint(-100, 50);
    const Point under = view.toDrawing(float(at.x()), float(at.y()));
    const float zoom = view.zoom();
    QWheelEvent wheel(at, m_window->mapToGlobal(at), {}, QPoint(0, 120), Qt::NoButton, Qt::ControlModifier,
        Qt::NoScrollPhase, false);
    QApplication::sendEvent(m_window, &wheel);
    EXPECT_FLOAT_EQ(view.zoom(), zoom * 1.25f);
    const Point still = view.toWindow(under.x, under.y);
    EXPECT_NEAR(still.x, at.x(), 0.01);
    EXPECT_NEAR(still.y, at.y(), 0.01);
    EXPECT_TRUE(saved() == bytes) << "the view tools changed the drawing";
    EXPECT_EQ(drawing().history().undoCount(), 0u);
}

// Red from a rectangle poured on a blue text turns its fill and its text
// red; an image gives the colour of the pixel under the pointer.
TEST_F(PathAndTransformGui, TheEyedropperPicksOnceAndPoursOnEachClick)
{
    testfonts::FixedFont font("Helvetica");
    m_window->zoomToRect(-20, -20, 120, 120);
    runUntilIdle();
    auto* red = add(std::make_unique<RectangleObject>(0, 0, 40, 40));
    red->setFillColor({ 100, 0, 0 });
    auto* text = add(std::make_unique<TextObject>("Blue", &font, 24, 28, TextAlign::Left));
    text->translate(0, 80);
    text->setTextColor({ 0, 0, 100 });
    auto image = std::make_unique<ImageObject>();
    ASSERT_TRUE(image->allocatePixels(2, 2));
    image->setPixel(0, 0, { 0, 255, 0 }); // the top left quarter
    image->setMatrix(Matrix { 40, 0, 0, 40, 60, 0 }); // 20 points a pixel
    add(std::move(image));
    runUntilIdle();
    const Rect box = text->boundingBox();
    const Point onText { (box.left + box.right) / 2, (box.bottom + box.top) / 2 };

    typeKey('y');
    click(20, 20);
    EXPECT_EQ(drawing().defaultStyle().textColor(), (Color { 100, 0, 0 }));
    click(onText.x, onText.y);
    EXPECT_EQ(text->style().fillColor(), (Color { 100, 0, 0 }));
    EXPECT_EQ(text->style().textColor(), (Color { 100, 0, 0 }));
    EXPECT_EQ(drawing().history().undoCount(), 1u);

    typeKey('y'); // picking again needs the tool chosen again
    click(70, 30);
    EXPECT_EQ(drawing().defaultStyle().fillColor(), (Color { 0, 100, 0 }));
    EXPECT_EQ(drawing().defaultStyle().lineColor(), (Color { 0, 100, 0 }));
    click(20, 20);
    EXPECT_EQ(red->style().fillColor(), (Color { 0, 100, 0 }));
    // Nothing under the first click: nothing to pour afterwards either.
    typeKey('y');
    click(-15, 100);
    click(20, 20);
    EXPECT_EQ(drawing().history().undoCount(), 2u);

    // A compound path takes the style as a whole, so its members keep one.
    auto compound = std::make_unique<CompoundPathObject>();
    compound->appendChild(std::make_unique<RectangleObject>(60, 60, 75, 75));
    compound->appendChild(std::make_unique<RectangleObject>(80, 60, 95, 75));
    auto* paths = static_cast<CompoundPathObject*>(add(std::move(compound)));
    runUntilIdle(kIdleMs);
    click(67, 67); // pours the green that the click on the rectangle picked
    for (const auto& member : paths->children())
        EXPECT_EQ(member->style().fillColor(), (Color { 0, 100, 0 }));
    EXPECT_EQ(drawing().history().undoCount(), 3u);
}

// Every gesture that edits, undone, gives back the drawing byte for byte.
TEST_F(PathAndTransformGui, EachToolsGestureUndoneGivesBackTheBytes)
{
    auto* rect = add(std::make_unique<RectangleObject>(0, 0, 40, 40));
    rect->setFillColor({ 100, 0, 0 });
    auto* curve = add(std::make_unique<CurveObject>(NodeList { makeNode(0, 60), makeNode(50, 60), makeNode(100, 60) }, false));
    static_cast<CurveObject*>(curve)->smooth();
    add(std::make_unique<PolygonObject>(PointList { { 60, 0 }, { 100, 0 }, { 100, 40 } }, true));
    struct Case {
        const char* name;
        std::function<void()> gesture;
    };
    auto selecting = [&](DrawObject* object, const char* script) {
        return [this, object, script] {
            drawing().setSelection({ object });
            runUntilIdle(kIdleMs);
            run(script);
        };
    };
    const Case cases[] = {
        { "line", [&] { run("k l; d 10,100 60,120"); } },
        { "rectangle", [&] { run("k r; d 10,100 60,120"); } },
        { "rounded rectangle", [&] { run("k u; d 10,100 60,120"); } },
        { "ellipse", [&] { run("k e; d 30,100 60,120"); } },
        { "arc", [&] { run("k a; c 30,100; d 50,100 30,120"); } },
        { "curve", [&] { run("k c; d 10,100 60,100; c 60,130; 2 90,110"); } },
        { "polygon", [&] { run("k p; d 10,100 60,100; c 60,130; 2 11,101"); } },
        { "curve handle", selecting(curve, "d 50,60 60,80") },
        { "polygon point", selecting(drawing().objectAt(2), "d 100,40 120,50") },
        { "node menu", [&] { nodeMenu(100, 60, "Corner"); } },
        { "move", selecting(rect, "d 20,0 30,10") },
        { "rotate", selecting(rect, "k o; c 0,0; d 40,0 40,40") },
        { "scale", selecting(rect, "k s; c 0,0; d 40,40 60,50") },
        { "skew", selecting(rect, "k k; c 0,0; d 40,40 50,40") },
        { "reflect", selecting(rect, "k f; c 0,0; d 40,40 40,80") },
        { "eyedropper", [&] {
             const Rect box = rect->boundingBox();
             run("k y");
             click((box.left + box.right) / 2, (box.bottom + box.top) / 2);
             click(100, 0); // the polygon's edge
         } },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        typeKey('n');
        drawing().deselectAll();
        const std::string before = saved();
        const std::size_t steps = drawing().history().undoCount();
        c.gesture();
        typeKey('n');
        ASSERT_EQ(drawing().history().undoCount(), steps + 1);
        // Compared whole, reported short: the files are long.
        const std::string after = saved();
        EXPECT_TRUE(after != before) << "the gesture changed nothing";
        m_shell->frame()->dispatchCommand(kCmdUndo);
        runUntilIdle(kIdleMs);
        EXPECT_TRUE(saved() == before) << "undo did not give the bytes back";
        // Redo gives the edit back too, so the next case starts from it.
        m_shell->frame()->dispatchCommand(kCmdRedo);
        runUntilIdle(kIdleMs);
        EXPECT_TRUE(saved() == after) << "redo did not give the edit back";
    }
}

// --- the text tool ------------------------------------------------------------

// Fonts of fixed widths (every character half the size wide): wrapping and
// caret positions follow from the text alone.
class TextToolGui : public ToolGui {
protected:
    testfonts::FixedCatalogue m_fonts { { "Helvetica" } };
    TextTool& textTool() { return static_cast<TextTool&>(*tool(ToolKind::Text)); }
    // Chooses the text tool and clicks on empty paper: a new text to type into.
    void newText(float x, float y)
    {
        typeKey('t');
        ASSERT_EQ(current(), tool(ToolKind::Text));
        press(x, y);
        release(x, y);
        ASSERT_EQ(textTool().state(), TextTool::Typing);
    }
    // Each character as a key event of its own, as a keyboard layout sends it.
    void type(const QString& text)
    {
        for (const QChar c : text) {
            if (c.unicode() < 0x80)
                QTest::keyClick(m_window, char(c.unicode()));
            else
                QTest::sendKeyEvent(QTest::Click, m_window, Qt::Key_unknown, QString(c), Qt::NoModifier);
        }
        runUntilIdle(kIdleMs);
    }
    std::string edited() { return textTool().editedText() ? textTool().editedText()->text() : "<none>"; }
    // Ends the editing as a tool change does.
    void finish() { key(Qt::Key_Escape); }
};

TEST_F(TextToolGui, ClickTypeAndFinishIsOneStepAndAnEmptyTextLeavesNothing)
{
    newText(-40, 100);
    type("AB");
    EXPECT_EQ(drawing().objectCount(), 0u) << "the new text joins the drawing when the editing ends";
    // Typing keys are the text's; F1 stays the help's shortcut.
    for (const auto& [k, typed] : { std::pair { Qt::Key_B, true }, { Qt::Key_F1, false } }) {
        QKeyEvent override(QEvent::ShortcutOverride, k, Qt::NoModifier);
        QApplication::sendEvent(m_window, &override);
        EXPECT_EQ(override.isAccepted(), typed) << k;
    }
    finish();
    EXPECT_EQ(current(), &m_window->tools().selectionTool());
    auto& text = only<TextObject>();
    EXPECT_EQ(text.text(), "AB");
    // A click makes a box 144 wide; its height fits the text, as every reflow does.
    const Rect box = text.boundingBox();
    EXPECT_FLOAT_EQ(box.left, -40);
    EXPECT_FLOAT_EQ(box.top, 100);
    EXPECT_FLOAT_EQ(box.width(), 144);
    EXPECT_EQ(drawing().selection(), (ObjectRefs { &text }));
    EXPECT_EQ(drawing().history().undoCount(), 1u);
    key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(drawing().objectCount(), 0u);

    // Another tool chosen over an empty new text: nothing, not even a step.
    newText(0, 0);
    m_window->selectTool(405);
    EXPECT_EQ(drawing().objectCount(), 0u);
    EXPECT_EQ(drawing().history().undoCount(), 0u);
    EXPECT_TRUE(drawing().history().canRedo()) << "the redo stack stays";
}

TEST_F(TextToolGui, EditingKeysFollowTheCaretAndTheSelectedRange)
{
    struct Case {
        const char* name;
        std::function<void()> keys;
        std::string text;
        std::size_t first, last, caret; // the selection [first, last) and the caret
    };
    const auto shiftLeft = [this](int n) {
        for (int i = 0; i < n; ++i)
            key(Qt::Key_Left, Qt::ShiftModifier);
    };
    const Case cases[] = {
        { "Shift+Left twice selects the last two", [&] { type("abc"), shiftLeft(2); }, "abc",
            1, 3, 1 },
        { "typing replaces the selection",
            [&] { type("abcdef"), shiftLeft(3), type("X"); }, "abcX", 4, 4, 4 },
        { "Backspace deletes only the selection",
            [&] { type("abcdef"), shiftLeft(3), key(Qt::Key_Backspace); }, "abc", 3, 3, 3 },
        { "Up goes to the preceding break",
            [&] {
                type("ab"), key(Qt::Key_Return), type("cdef");
                key(Qt::Key_Left), key(Qt::Key_Left), key(Qt::Key_Up);
            },
            "ab\rcdef", 2, 2, 2 },
        { "Home and Delete", [&] { type("abc"), key(Qt::Key_Home), key(Qt::Key_Delete); },
            "bc", 0, 0, 0 },
        { "tool letters are typed",
            [&] { type("lerp"), key(Qt::Key_Down), key(Qt::Key_Backspace); }, "ler", 3, 3, 3 },
        { "Ctrl+A, Ctrl+C, End, Ctrl+V",
            [&] {
                type("caf\u00e9 ");
                key(Qt::Key_A, Qt::ControlModifier), key(Qt::Key_C, Qt::ControlModifier);
                key(Qt::Key_End), key(Qt::Key_V, Qt::ControlModifier);
            },
            "caf\xe9 caf\xe9 ", 10, 10, 10 },
        // Cyrillic has no code in the files' code page: it is left out.
        { "Latin-1 kept", [&] { type(QString::fromUtf8("caf\u00e9 \u20ac \u201cq\u201d\u0436")); },
            "caf\xe9 \x80 \x93q\x94", 10, 10, 10 },
        { "a drag selects and the release keeps it",
            [&] {
                type("abcdef");
                const Rect box = textTool().editedText()->boundingBox();
                const float y = (box.top + box.bottom) / 2;
                drag(box.left + 11, y, box.left + 47, y);
            },
            "abcdef", 1, 4, 4 },
        { "Ctrl+X takes the selection away",
            [&] { type("abcd"), shiftLeft(2), key(Qt::Key_X, Qt::ControlModifier); }, "ab",
            2, 2, 2 },
    };
    for (const Case& c : cases) {
        drawing().newDrawing();
        newText(-40, 100);
        c.keys();
        EXPECT_EQ(edited(), c.text) << c.name;
        EXPECT_EQ(textTool().selection(), std::make_pair(c.first, c.last)) << c.name;
        EXPECT_EQ(textTool().caret(), c.caret) << c.name;
        finish();
    }
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QString::fromUtf8("cd"));
}

TEST_F(TextToolGui, DoubleClickOpensATextAndUndoRestoresItInOneStep)
{
    auto text = std::make_unique<TextObject>("Hello", nullptr, 24, 26, TextAlign::Left);
    text->setFontAndSize(defaultTextFont(), 24);
    text->translate(-40, 100);
    TextObject* hello = static_cast<TextObject*>(add(std::move(text)));
    const Rect box = hello->boundingBox();
    const float y = (box.top + box.bottom) / 2;
    const float x = box.left + 57; // in the "o": 12 points a letter
    // Pressed and released once, then the double click: the selection tool
    // hands the text to the text tool with the caret where it was clicked.
    press(x, y);
    release(x, y);
    QTest::mouseDClick(m_window, Qt::LeftButton, {}, px(x, y));
    runUntilIdle(kIdleMs);
    ASSERT_EQ(current(), tool(ToolKind::Text));
    EXPECT_EQ(textTool().state(), TextTool::Editing);
    EXPECT_EQ(textTool().caret(), 5u);
    type(", world");
    key(Qt::Key_Backspace);
    finish();
    EXPECT_EQ(hello->text(), "Hello, worl");
    EXPECT_EQ(drawing().history().undoCount(), 1u);
    key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(hello->text(), "Hello");
    EXPECT_EQ(hello->boundingBox(), box);

    // Opening and leaving without a change records nothing.
    QTest::mouseDClick(m_window, Qt::LeftButton, {}, px(x, y));
    runUntilIdle(kIdleMs);
    finish();
    EXPECT_EQ(drawing().history().undoCount(), 0u);

    // Ctrl+Z while still typing, with no earlier step: the typing goes.
    QTest::mouseDClick(m_window, Qt::LeftButton, {}, px(x, y));
    runUntilIdle(kIdleMs);
    type("!");
    key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(hello->text(), "Hello");
    EXPECT_FALSE(textTool().editing());
}

// Wireframe shows text as baselines; the text being typed is drawn in full,
// with the real fonts (the fixed test fonts draw no glyphs).
TEST_F(ToolGui, TextBeingTypedInWireframeIsLegible)
{
    MainFrame* frame = start({}, "/usr/bin/zavora", true).frame();
    frame->resize(900, 700);
    frame->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(frame));
    m_window = frame->drawingWindow();
    m_window->zoomToRect(-60, -60, 140, 140);
    frame->dispatchCommand(kCmdPreview);
    ASSERT_FALSE(m_window->previewMode());
    typeKey('t');
    press(-40, 100);
    release(-40, 100);
    QTest::keyClicks(m_window, "HHHH");
    runUntilIdle(kIdleMs);
    auto& tool = static_cast<TextTool&>(*this->tool(ToolKind::Text));
    ASSERT_EQ(tool.editedText()->text(), "HHHH");
    // Between the baseline and the cap height: the stems of the H's.
    const TextObject& text = *tool.editedText();
    const float baseline = 100 - float(text.font()->ascent(text.size()));
    int inked = 0;
    for (float y = baseline + 3; y < baseline + 12; y += 1)
        for (float x = -38; x < 20; x += 0.5f)
            inked += dark(x, y);
    EXPECT_GT(inked, 100) << "baselines only";
}

// A swatch clicked while a text is edited colours that text: a new one as
// part of its creation, an existing one in a step of its own.
TEST_F(TextToolGui, ASwatchClickedWhileEditingColoursTheText)
{
    ColorBar* bar = m_shell->frame()->colorBar();
    const auto swatch = [&](int position) {
        QTest::mouseClick(bar, Qt::LeftButton, {}, ColorBar::swatchRect(position).center());
        runUntilIdle(kIdleMs);
    };
    newText(-40, 100);
    type("AB");
    swatch(3); // grey 0x66
    EXPECT_EQ(textTool().editedText()->style().textColor(), (Color { 40, 40, 40 }));
    EXPECT_EQ(edited(), "AB") << "the editing goes on";
    finish();
    auto& text = only<TextObject>();
    EXPECT_EQ(drawing().history().undoCount(), 1u);

    typeKey('t');
    press(-30, 95);
    release(-30, 95);
    ASSERT_EQ(textTool().editedText(), &text);
    m_shell->frame()->dispatchCommand(kCmdTextWhite); // as the style bar sends it
    EXPECT_EQ(text.style().textColor(), (Color { 100, 100, 100 }));
    swatch(2); // grey 0x33
    EXPECT_EQ(text.style().textColor(), (Color { 20, 20, 20 }));
    finish();
    EXPECT_EQ(drawing().history().undoCount(), 3u);
    key(Qt::Key_Z, Qt::ControlModifier);
    key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(text.style().textColor(), (Color { 40, 40, 40 }));
}

TEST_F(TextToolGui, DraggingACornerOfASelectedTextReflowsItAsOneStep)
{
    auto text = std::make_unique<TextObject>("one two three four", defaultTextFont(), 12, 14, TextAlign::Left);
    text->setFrame({ 0, 0 }, { 120, -20 });
    text->translate(-40, 100);
    auto* words = static_cast<TextObject*>(add(std::move(text)));
    ASSERT_EQ(words->text().find('\n'), std::string::npos) << "one line to begin with";
    const Rect box = words->boundingBox();
    press((box.left + box.right) / 2, box.top - 2);
    release((box.left + box.right) / 2, box.top - 2);
    ASSERT_EQ(drawing().selection(), (ObjectRefs { words }));
    // The top-right corner pulled in: the words wrap and the box grows down.
    drag(box.right, box.top, box.left + 40, box.top);
    EXPECT_FLOAT_EQ(words->boundingBox().right, box.left + 40);
    EXPECT_NE(words->text().find('\n'), std::string::npos);
    EXPECT_LT(words->boundingBox().bottom, box.bottom);
    EXPECT_EQ(drawing().history().undoCount(), 1u);
    key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(words->boundingBox(), box);
    EXPECT_EQ(words->text(), "one two three four");
}

// Drops on the drawing window: a file from a file manager is inserted by its
// kind, a picture and text are pasted; Ctrl asks for a copy.
TEST_F(ToolGui, DroppedFilesPicturesAndTextAreInsertedAsOneStepEach)
{
    const fs::path text = m_dir / "dropped.txt";
    std::ofstream(text) << "A\n\nB\n";
    const auto dropOn = [this](QMimeData& data, Qt::KeyboardModifiers mods, Qt::DropAction expected) {
        const QPoint at = m_window->viewport().center();
        QDragEnterEvent enter(at, Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton, mods);
        QApplication::sendEvent(m_window, &enter);
        EXPECT_TRUE(enter.isAccepted());
        EXPECT_EQ(enter.dropAction(), expected);
        QDropEvent drop(QPointF(at), Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton, mods);
        QApplication::sendEvent(m_window, &drop);
        EXPECT_TRUE(drop.isAccepted());
        runUntilIdle(kIdleMs);
    };
    QMimeData file;
    file.setUrls({ QUrl::fromLocalFile(QString::fromStdString(text.string())) });
    dropOn(file, Qt::NoModifier, Qt::MoveAction);
    auto* paragraphs = dynamic_cast<TextObject*>(drawing().objectAt(0));
    ASSERT_NE(paragraphs, nullptr);
    EXPECT_EQ(paragraphs->text(), "A\r\rB");

    QMimeData picture;
    QImage green(12, 8, QImage::Format_RGB888);
    green.fill(Qt::green);
    picture.setImageData(green);
    dropOn(picture, Qt::ControlModifier, Qt::CopyAction);
    auto* image = dynamic_cast<ImageObject*>(drawing().objectAt(1));
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->width(), 12);
    // Placed at the window's top-left corner, 10 pixels in.
    const Point corner = m_window->view().toDrawing(10, 10);
    EXPECT_NEAR(image->boundingBox().left, corner.x, 1e-3);
    EXPECT_NEAR(image->boundingBox().top, corner.y, 1e-3);

    QMimeData words;
    words.setText(QStringLiteral("dropped words"));
    dropOn(words, Qt::NoModifier, Qt::MoveAction);
    ASSERT_EQ(drawing().objectCount(), 3u);
    EXPECT_EQ(static_cast<TextObject*>(drawing().objectAt(2))->text(), "dropped words");
    EXPECT_EQ(drawing().selection(), (ObjectRefs { drawing().objectAt(2) }));
    EXPECT_EQ(drawing().history().undoCount(), 3u);
}

} // namespace
} // namespace zavora
