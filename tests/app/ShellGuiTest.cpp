// The shell driven as a user would on Qt's offscreen platform: the frame's
// children and layout, settings across two starts, the save question on
// close, the command line, the sheet, scrolling, grid and read-out.
#include "ShellTestSupport.h"

#include "app/BarWindow.h"
#include "app/ColorBar.h"
#include "app/DrawingWindow.h"
#include "app/MainFrame.h"
#include "app/Ruler.h"
#include "app/ShapeLibraryPanel.h"
#include "app/ShellCommands.h"
#include "app/StatusBar.h"
#include "model/GroupObject.h"
#include "model/PathObjects.h"
#include "model/ShapeObjects.h"

#include <QMenuBar>
#include <QScrollBar>
#include <QTest>

#include <cmath>
#include <set>

namespace zavora {
namespace {

using namespace shelltest;

class ShellGui : public ShellTest { };

// The layout rules place the children in the area below the menu bar.
int menuHeight(QWidget* child)
{
    auto* bar = child->parentWidget()->findChild<QMenuBar*>(QString(), Qt::FindDirectChildrenOnly);
    return bar ? bar->height() : 0;
}

QRect geometryOf(QWidget* w)
{
    return w->geometry().translated(0, -menuHeight(w));
}

// Sizes the frame so that the area below its menu bar is width x height.
void resizeClient(MainFrame* frame, int width, int height)
{
    frame->resize(width, height + menuHeight(frame->statusBar()));
}

TEST_F(ShellGui, FrameChildrenInCreationOrderAndLaidOutByTheRules)
{
    Shell& shell = start();
    MainFrame* frame = shell.frame();
    QStringList names;
    for (QObject* child : frame->children())
        if (auto* w = qobject_cast<QWidget*>(child); w && !w->isWindow() && !qobject_cast<QMenuBar*>(w))
            names << w->objectName();
    EXPECT_EQ(names,
        (QStringList { "zavora_toolBar", "zavora_styleBar", "zavora_standardBar", "zavora_statusBar",
            "zavora_ruler", "zavora_ruler", "zavora_colorpal", "zavora_shapepal", "zavora_client" }));

    // The rectangles themselves are the layout rules' own test.
    resizeClient(frame, 800, 600);
    frame->dispatchCommand(kCmdShapeLibrary); // off by default
    EXPECT_EQ(geometryOf(frame->drawingWindow()), QRect(80, 84, 570, 469));
    EXPECT_EQ(geometryOf(frame->shapeLibrary()), QRect(650, 58, 150, 517));

    frame->dispatchCommand(kCmdRuler);
    frame->dispatchCommand(kCmdColorBar);
    frame->dispatchCommand(kCmdShapeLibrary);
    for (QWidget* hidden : { static_cast<QWidget*>(frame->horizontalRuler()),
             static_cast<QWidget*>(frame->colorBar()), static_cast<QWidget*>(frame->shapeLibrary()) })
        EXPECT_FALSE(hidden->isVisible()) << hidden->objectName().toStdString();
    EXPECT_EQ(geometryOf(frame->drawingWindow()), QRect(54, 58, 746, 517));
}

TEST_F(ShellGui, SettingsAreWrittenOnCloseAndReadOnTheNextStart)
{
    {
        Shell& shell = start();
        EXPECT_FALSE(fs::exists(settingsFile()));
        shell.frame()->setGeometry(40, 50, 700, 500);
        shell.frame()->dispatchCommand(kCmdShapeLibrary);
        shell.settings().recentFiles.add("/tmp/one.zvx");
        ASSERT_TRUE(shell.frame()->close());
    }
    // The keys and their text are the settings' own test.
    ASSERT_TRUE(fs::exists(settingsFile()));
    Shell& again = start();
    EXPECT_EQ(again.frame()->size(), QSize(700, 500));
    EXPECT_TRUE(again.frame()->shapeLibrary()->isVisible());
    EXPECT_EQ(again.settings().recentFiles.at(0), "/tmp/one.zvx");
}

TEST_F(ShellGui, ChangedDrawingAsksBeforeItIsLostAndOnlyASaveThatWorksCloses)
{
    Shell& shell = start();
    shell.drawing().append(std::make_unique<RectangleObject>(0, 0, 10, 10));
    shell.drawing().setModified(true);

    BoxAnswer answer;
    answerNextBox(QMessageBox::Cancel, answer);
    EXPECT_FALSE(shell.frame()->close());
    EXPECT_EQ(answer.caption, "Zavora Draw");
    EXPECT_EQ(answer.text, "Untitled\nThe drawing has changed.\n\nDo you want to save the changes?");
    EXPECT_TRUE(shell.frame()->isVisible());
    EXPECT_FALSE(fs::exists(settingsFile())); // nothing was torn down

    // No discards; Yes with a save that fails keeps the drawing.
    BoxAnswer no;
    answerNextBox(QMessageBox::No, no);
    EXPECT_TRUE(shell.confirmDiscard());
    EXPECT_TRUE(no.seen);
    shell.drawing().setFileName((m_dir / "no-such-folder" / "x.zvx").string());
    BoxAnswer failing;
    answerNextBox(QMessageBox::Yes, failing);
    EXPECT_FALSE(shell.confirmDiscard());
    EXPECT_FALSE(m_messages.last(RecordingReporter::Kind::Error).empty());
    EXPECT_TRUE(shell.drawing().isModified());

    // Yes on a named drawing saves it, then closes.
    const fs::path target = m_dir / "kept.zvx";
    shell.drawing().setFileName(target.string());
    BoxAnswer yes;
    answerNextBox(QMessageBox::Yes, yes);
    EXPECT_TRUE(shell.frame()->close());
    EXPECT_EQ(yes.text.section('\n', 0, 0), QString::fromStdString(target.string()));
    EXPECT_TRUE(fs::exists(target));
    EXPECT_TRUE(fs::exists(settingsFile()));
}

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

// A quoted path with blanks opens and is fitted in the window; a missing
// file is reported, and the drawing never takes its name. The bundled sample
// serves as the file: it must open whole, with every object kind.
TEST_F(ShellGui, CommandLineFileOpensOrIsReported)
{
    const fs::path gone = m_dir / "gone.zvx";
    Shell& missing = start(gone.string());
    EXPECT_EQ(m_messages.last(RecordingReporter::Kind::Error),
        "Unable to open " + gone.string() + "\nNo such file or directory");
    EXPECT_EQ(missing.frame()->windowTitle(), "untitled - Zavora Draw");
    EXPECT_EQ(missing.settings().recentFiles.at(0), "");

    const fs::path file = m_dir / "my drawings" / "sample copy.zvx";
    fs::create_directories(file.parent_path());
    fs::copy_file(fs::path(ZAVORA_SOURCE_DIR) / "examples" / "sample.zvx", file);
    Shell& shell = start("\"" + file.string() + "\"");
    EXPECT_EQ(shell.drawing().fileName(), file.string());
    std::set<ObjectType> types;
    for (std::size_t i = 0; i < shell.drawing().objectCount(); ++i)
        collectTypes(*shell.drawing().objectAt(i), types);
    EXPECT_EQ(types,
        (std::set<ObjectType> { ObjectType::Ellipse, ObjectType::Rectangle, ObjectType::Polygon,
            ObjectType::Curve, ObjectType::Arc, ObjectType::Text, ObjectType::Image, ObjectType::Group,
            ObjectType::CompoundPath, ObjectType::RoundRect }));
    EXPECT_EQ(shell.settings().recentFiles.at(0), file.string());
    runUntilIdle(); // Fit in window was posted
    EXPECT_EQ(shell.frame()->drawingWindow()->view().zoomMode(), ZoomMode::FitInWindow);
}

// Sizes the drawing window so that its page area is w x h pixels.
void sizeViewport(MainFrame* frame, int w, int h)
{
    DrawingWindow* window = frame->drawingWindow();
    const QSize bars = window->size() - window->viewport().size();
    window->resize(QSize(w, h) + bars);
    ASSERT_EQ(window->viewport().size(), QSize(w, h));
}

TEST_F(ShellGui, FitInWindowShowsTheWholeSheetAndTheBarsScrollIt)
{
    Shell& shell = start();
    sizeViewport(shell.frame(), 800, 600);
    shell.frame()->dispatchCommand(kCmdFitInWindow);
    // The sheet's edge is dark, the window around it white.
    DrawingWindow* window = shell.frame()->drawingWindow();
    window->grab();
    const QImage& buffer = window->buffer();
    Point corner = window->view().toWindow(0, 792);
    int darkest = 255;
    for (int dy = -1; dy <= 1; ++dy)
        darkest = std::min(darkest, qGray(buffer.pixel(int(corner.x) + 20, int(corner.y) + dy)));
    EXPECT_EQ(darkest, 0);
    EXPECT_EQ(buffer.pixel(5, 5), qRgb(255, 255, 255));

    QScrollBar* bar = window->verticalBar();
    bar->triggerAction(QAbstractSlider::SliderSingleStepSub);
    EXPECT_EQ(window->view().offsetY(), 18);
    EXPECT_EQ(bar->value(), window->view().scrollBar(ScrollBar::Vertical).position);
    QTest::keyClick(window, Qt::Key_PageDown);
    EXPECT_EQ(window->view().offsetY(), 0);
}

// Which dots a grid shows is the screen canvas's test; here the window's note.
TEST_F(ShellGui, GridTooDenseIsNotedBesideThePrompt)
{
    Shell& shell = start();
    shell.drawing().setGrid({ 10, 10, 1, 0 });
    sizeViewport(shell.frame(), 800, 600);
    DrawingWindow* window = shell.frame()->drawingWindow();
    StatusBar* status = shell.frame()->statusBar();
    status->setMessage("3 objects selected");
    window->setZoomPercent(25);
    window->grab();
    EXPECT_EQ(status->note(), "Grid is too dense to display");
    EXPECT_EQ(status->message(), "3 objects selected");

    window->setZoomPercent(100);
    window->grab();
    EXPECT_TRUE(status->note().isEmpty());
    // Either axis too dense hides the grid.
    shell.drawing().setGrid({ 10, 2, 1, 0 });
    window->invalidateAll();
    window->grab();
    EXPECT_EQ(status->note(), "Grid is too dense to display");
}

} // namespace
} // namespace zavora
