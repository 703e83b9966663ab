// The shell driven as a user would on Qt's offscreen platform: the frame's
// layout, settings across two starts, the save question on close, the
// command line and scrolling.
#include "ShellTestSupport.h"

#include "app/ColorBar.h"
#include "app/DrawingWindow.h"
#include "app/MainFrame.h"
#include "app/Ruler.h"
#include "app/ShapeLibraryPanel.h"
#include "app/ShellCommands.h"
#include "app/StatusBar.h"
#include "model/ShapeObjects.h"

#include <QMenuBar>
#include <QScrollBar>
#include <QTest>

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

// The rectangles themselves are the layout rules' own test.
TEST_F(ShellGui, FrameChildrenAreLaidOutByTheRules)
{
    MainFrame* frame = start().frame();
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

// A quoted path with blanks opens and is fitted in the window; a missing
// file is reported, and the drawing never takes its name.
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
    EXPECT_GT(shell.drawing().objectCount(), 0u);
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

TEST_F(ShellGui, TheBarsAndKeysScrollTheFittedSheet)
{
    Shell& shell = start();
    sizeViewport(shell.frame(), 800, 600);
    shell.frame()->dispatchCommand(kCmdFitInWindow);
    DrawingWindow* window = shell.frame()->drawingWindow();
    QScrollBar* bar = window->verticalBar();
    bar->triggerAction(QAbstractSlider::SliderSingleStepSub);
    EXPECT_EQ(window->view().offsetY(), 18);
    EXPECT_EQ(bar->value(), window->view().scrollBar(ScrollBar::Vertical).position);
    QTest::keyClick(window, Qt::Key_PageDown);
    EXPECT_EQ(window->view().offsetY(), 0);
}

} // namespace
} // namespace zavora
