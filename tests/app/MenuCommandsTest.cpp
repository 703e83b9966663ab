// The menu bar driven as a user would on the offscreen platform: items
// triggered, dialogs filled in and answered, and what each command leaves in
// the drawing, the view, the settings and the messages.
#include "ShellTestSupport.h"

#include "app/DrawingWindow.h"
#include "app/MainFrame.h"
#include "app/MainMenu.h"
#include "app/ShellCommands.h"
#include "app/dialogs/FileDialogs.h"
#include "export/Export.h"
#include "model/FontEntry.h"
#include "model/FontLookup.h"
#include "model/ShapeObjects.h"
#include "model/TextObject.h"
#include "tools/ToolSet.h"

#include <QAction>
#include <QComboBox>
#include <QFileDialog>
#include <QSpinBox>
#include <QTest>

#include <array>
#include <fstream>
#include <iterator>
#include <vector>

namespace zavora {
namespace {

using namespace shelltest;
using dialogtest::child;
using dialogtest::click;
using dialogtest::retype;

std::string readAll(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return { std::istreambuf_iterator<char>(in), {} };
}

class MenuCommands : public ShellTest {
protected:
    MainFrame& frame() { return *m_shell->frame(); }
    Drawing& drawing() { return m_shell->drawing(); }
    MainMenu& menu() { return *frame().mainMenu(); }

    // Triggers a menu item as a click on it would.
    void choose(int commandId)
    {
        runUntilIdle(5); // the items follow the drawing at idle time, as when a menu opens
        QAction* action = menu().action(commandId);
        ASSERT_NE(action, nullptr) << commandId;
        ASSERT_TRUE(action->isEnabled()) << commandId;
        action->trigger();
        runUntilIdle(10);
    }

    // Runs a modal dialog's script when the next command opens one.
    void whenDialogOpens(std::function<void(QWidget&)> script)
    {
        onNextModal([script = std::move(script)](QWidget* dialog) { script(*dialog); });
    }

    // The next dialog gets each text typed into its box, then OK.
    void whenDialogOpensType(std::vector<std::pair<const char*, QString>> fields)
    {
        whenDialogOpens([fields = std::move(fields)](QWidget& dialog) {
            for (const auto& [box, text] : fields)
                retype(dialog, box, text);
            click(dialog, "ok");
        });
    }

    // The file dialog picks `path` (under `filter` when given), or is
    // cancelled when path is empty; `next` answers the dialog that follows.
    void whenFileDialogOpens(const fs::path& path, QStringList* filters = nullptr, QString filter = {},
        std::function<void(QWidget&)> next = {})
    {
        whenDialogOpens([path, filters, filter, next](QWidget& w) {
            auto* dialog = qobject_cast<QFileDialog*>(&w);
            if (!dialog) {
                w.close();
                return;
            }
            if (filters)
                *filters = dialog->nameFilters();
            if (path.empty()) {
                dialog->reject();
                return;
            }
            if (!filter.isEmpty())
                dialog->selectNameFilter(filter);
            dialog->selectFile(QString::fromStdString(path.string()));
            if (next)
                onNextModal([next](QWidget* modal) { next(*modal); });
            static_cast<QDialog*>(dialog)->accept(); // as the Open or Save button does
        });
    }

    RectangleObject* addRectangle(float x1, float y1, float x2, float y2, bool select = true)
    {
        auto* rect = static_cast<RectangleObject*>(
            drawing().append(std::make_unique<RectangleObject>(x1, y1, x2, y2)));
        if (select)
            drawing().select(rect);
        return rect;
    }

    fs::path writeDrawing(const std::string& name, int rectangles)
    {
        Drawing source;
        for (int i = 0; i < rectangles; ++i)
            source.append(std::make_unique<RectangleObject>(10 + 20 * i, 10, 25 + 20 * i, 40));
        const fs::path path = m_dir / name;
        EXPECT_TRUE(saveDrawing(source, path.string()));
        return path;
    }
};

TEST_F(MenuCommands, RevertRefusesUnsavedAndUnchangedAndAsksBeforeLosingChanges)
{
    start();
    drawing().setModified(true);
    // Revert is greyed for an unnamed drawing; the command itself refuses too.
    EXPECT_FALSE(menu().action(kCmdRevert)->isEnabled());
    frame().dispatchCommand(kCmdRevert);
    EXPECT_EQ(m_messages.last(Reporter::Kind::Error), "This drawing has not been saved");

    const fs::path path = writeDrawing("saved.zvx", 2);
    m_shell->openDrawing(path.string());
    runUntilIdle();
    choose(kCmdRevert);
    EXPECT_EQ(m_messages.last(Reporter::Kind::Info), "No changes to revert");
    EXPECT_EQ(drawing().objectCount(), 2u);

    addRectangle(100, 100, 200, 200);
    drawing().setModified(true);
    BoxAnswer no;
    answerNextBox(QMessageBox::No, no);
    choose(kCmdRevert);
    EXPECT_EQ(no.text, "Lose changes since drawing was last saved?");
    EXPECT_EQ(drawing().objectCount(), 3u);

    BoxAnswer yes;
    answerNextBox(QMessageBox::Yes, yes);
    choose(kCmdRevert);
    EXPECT_EQ(drawing().objectCount(), 2u);
    EXPECT_FALSE(drawing().isModified());

    // Another program's file takes a native name that is not on disk yet:
    // there is no saved drawing to go back to.
    const fs::path foreign = m_dir / "other.ai";
    ASSERT_TRUE(exportToFile(drawing(), ExportKind::Illustrator, foreign.string(), {}, nullptr));
    ASSERT_TRUE(m_shell->openDrawing(foreign.string()));
    drawing().setModified(false);
    runUntilIdle();
    m_messages.clear();
    choose(kCmdRevert);
    EXPECT_EQ(m_messages.messages(),
        (std::vector<RecordingReporter::Message> { { Reporter::Kind::Error, "This drawing has not been saved" } }));
    EXPECT_EQ(drawing().objectCount(), 2u);
}

TEST_F(MenuCommands, SaveOfAnUnnamedDrawingAsksForANameAndCancelWritesNothing)
{
    start();
    addRectangle(10, 10, 50, 50);
    drawing().setModified(true);
    whenFileDialogOpens({});
    choose(kCmdSave);
    EXPECT_TRUE(drawing().isModified());
    for (const auto& entry : fs::directory_iterator(m_dir))
        EXPECT_NE(entry.path().extension(), ".zvx") << entry.path();

    // A name typed without an extension gets the native one.
    whenFileDialogOpens(m_dir / "picture");
    choose(kCmdSaveAs);
    const fs::path saved = m_dir / "picture.zvx";
    EXPECT_TRUE(fs::exists(saved));
    EXPECT_FALSE(drawing().isModified());
    EXPECT_EQ(frame().windowTitle(), "picture.zvx - Zavora Draw");
    EXPECT_EQ(menu().action(kCmdRecentFile1)->text(), QString::fromStdString("&1 " + saved.string()));

    // Another program's drawing named after a drawing that exists asks too:
    // Save must not replace that drawing unasked.
    const fs::path foreign = m_dir / "picture.ai";
    ASSERT_TRUE(exportToFile(drawing(), ExportKind::Illustrator, foreign.string(), {}, nullptr));
    writeDrawing("picture.zvx", 3);
    ASSERT_TRUE(m_shell->openDrawing(foreign.string()));
    whenFileDialogOpens({});
    choose(kCmdSave);
    Drawing kept;
    ASSERT_EQ(openDrawing(kept, saved.string(), nullptr), ZvxReadResult::Read);
    EXPECT_EQ(kept.objectCount(), 3u);
}

TEST_F(MenuCommands, OpenAndRecentFilesKeepTheListHonest)
{
    start();
    const fs::path good = writeDrawing("good.zvx", 3);
    const std::string later = (m_dir / "later.zvx").string();
    whenFileDialogOpens(good);
    choose(kCmdOpen);
    EXPECT_EQ(drawing().objectCount(), 3u);
    EXPECT_EQ(m_shell->settings().recentFiles.at(0), good.string());

    // A recent entry that no longer reads is dropped and the others move up.
    RecentFiles& recent = m_shell->settings().recentFiles;
    recent.set(0, (m_dir / "gone.zvx").string());
    recent.set(1, good.string());
    recent.set(2, later);
    drawing().setFileName("other.zvx");
    runUntilIdle();
    choose(kCmdRecentFile1);
    EXPECT_EQ(recent.entries(), (std::array<std::string, 4> { good.string(), later, "", "" }));

    choose(kCmdRecentFile1);
    EXPECT_EQ(drawing().fileName(), good.string());

    // Saving under the drawing's own name leaves the order alone.
    recent.set(0, later);
    recent.set(1, good.string());
    choose(kCmdSave);
    EXPECT_EQ(recent.entries(), (std::array<std::string, 4> { later, good.string(), "", "" }));
}

TEST_F(MenuCommands, FailedOpenKeepsTheDrawingShownAndSaveWritesOnlyItsOwnFile)
{
    start();
    const fs::path good = writeDrawing("good.zvx", 3);
    std::string oldBytes = readAll(writeDrawing("old.zvx", 1));
    oldBytes.replace(oldBytes.find("Version 3.6"), 11, "Version 1.0");
    const fs::path old = m_dir / "old.zvx";
    std::ofstream(old, std::ios::binary) << oldBytes;
    const fs::path damaged = m_dir / "damaged.zvx";
    std::ofstream(damaged, std::ios::binary) << "%!PS-Adobe-3.0 EPSF-3.0\nnot a drawing\n";
    const fs::path folder = m_dir / "folder.zvx";
    fs::create_directory(folder);
    const std::string damagedBytes = readAll(damaged);

    whenFileDialogOpens(good);
    choose(kCmdOpen);
    ASSERT_EQ(drawing().objectCount(), 3u);

    struct Case {
        const char* route;
        fs::path path;
        std::string message;
        bool modifiedBefore;
    };
    const Case cases[] = {
        { "open", old,
            "Unable to open " + old.string()
                + "\nDrawings saved by version 1 cannot be read by this version.",
            false },
        { "open", damaged, "An error has occurred while opening\n" + damaged.string(), false },
        { "recent", folder, "Unable to open " + folder.string() + "\nIs a directory", false },
        { "drop", damaged, "An error has occurred while opening\n" + damaged.string(), true },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.route) + " " + c.path.string());
        if (c.modifiedBefore) {
            addRectangle(100, 100, 120, 120);
            drawing().setModified(true);
        }
        const std::size_t count = drawing().objectCount();
        m_messages.clear();
        if (c.route == std::string("open")) {
            whenFileDialogOpens(c.path);
            choose(kCmdOpen);
        } else if (c.route == std::string("recent")) {
            m_shell->settings().recentFiles.set(0, c.path.string());
            choose(kCmdRecentFile1);
        } else {
            BoxAnswer no;
            answerNextBox(QMessageBox::No, no);
            m_shell->openDroppedFile(c.path.string());
            EXPECT_TRUE(no.seen);
        }
        EXPECT_EQ(m_messages.last(Reporter::Kind::Error), c.message);
        EXPECT_NE(m_shell->settings().recentFiles.at(0), c.path.string()) << "a failed file is not recent";
        EXPECT_EQ(drawing().objectCount(), count);
        EXPECT_EQ(drawing().fileName(), good.string());
        EXPECT_EQ(drawing().isModified(), c.modifiedBefore);
        EXPECT_EQ(frame().windowTitle(), "good.zvx - Zavora Draw");
    }

    // Save writes the drawing's own file; the files that failed are as they were.
    choose(kCmdSave);
    EXPECT_EQ(readAll(old), oldBytes);
    EXPECT_EQ(readAll(damaged), damagedBytes);
    EXPECT_TRUE(fs::is_directory(folder));
    Drawing reread;
    ASSERT_EQ(openDrawing(reread, good.string()), ZvxReadResult::Read);
    EXPECT_EQ(reread.objectCount(), 4u);

    // Revert of a drawing whose file went bad keeps the changes.
    addRectangle(200, 200, 220, 220);
    drawing().setModified(true);
    std::ofstream(good, std::ios::binary) << oldBytes;
    BoxAnswer yes;
    answerNextBox(QMessageBox::Yes, yes);
    choose(kCmdRevert);
    EXPECT_EQ(drawing().objectCount(), 5u);
    EXPECT_TRUE(drawing().isModified());
    EXPECT_EQ(m_messages.last(Reporter::Kind::Error).rfind("Unable to open " + good.string(), 0), 0u);
}

TEST_F(MenuCommands, AForeignFileIsSavedAsANewNativeFileBesideIt)
{
    const fs::path original = m_dir / "probe.ai";
    fs::copy_file(
        fs::path(ZAVORA_SOURCE_DIR) / "tests" / "fuzz" / "seeds" / "zvx_reader" / "sk1_probe.ai", original);
    const std::string bytes = readAll(original);
    const fs::path native = m_dir / "probe.zvx";
    for (const int route : { kCmdOpen, kCmdOpenForeign, 0 }) { // 0: the command line
        SCOPED_TRACE(route);
        fs::remove(native);
        if (!route) {
            start(original.string());
        } else {
            start();
            whenFileDialogOpens(original);
            frame().dispatchCommand(route);
        }
        EXPECT_EQ(drawing().objectCount(), 1u);
        EXPECT_EQ(drawing().fileName(), native.string());
        EXPECT_TRUE(drawing().isModified());
        EXPECT_EQ(frame().windowTitle(), "probe.zvx - Zavora Draw");
        EXPECT_EQ(drawing().grid(), Drawing::kDefaultGrid) << "the file sets no grid";
        choose(kCmdSave);
        EXPECT_EQ(readAll(original), bytes);
        Drawing reread;
        ASSERT_EQ(openDrawing(reread, native.string()), ZvxReadResult::Read);
        EXPECT_EQ(reread.objectCount(), 1u);
        EXPECT_FALSE(drawing().isModified());
    }
}

TEST_F(MenuCommands, ColourAndTextCommandsStyleTheSelection)
{
    start({}, "/usr/bin/zavora", true);
    RectangleObject* rect = addRectangle(10, 10, 60, 40);
    // The colour dialog's answer colours the selection; Cancel changes nothing.
    rect->setLineColor(Color { 100, 0, 0 });
    whenDialogOpens([&](QWidget& dialog) {
        auto* green = child<QSpinBox>(dialog, "value2");
        QTest::keyClick(green, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(green, "40");
        click(dialog, "ok");
    });
    choose(kCmdLineColor);
    EXPECT_EQ(rect->style().lineColor(), (Color { 100, 40, 0 }));
    const PaintStyle before = rect->style();
    whenDialogOpens([](QWidget& dialog) { click(dialog, "cancel"); });
    choose(kCmdFillColor);
    EXPECT_EQ(rect->style(), before);

    // The text commands change the selected texts.
    const FontLookup* fonts = FontLookup::current();
    ASSERT_NE(fonts, nullptr);
    const FontEntry* helvetica = fonts->find("Helvetica");
    ASSERT_TRUE(helvetica && fonts->find("Times-Roman"));
    auto* text = static_cast<TextObject*>(
        drawing().append(std::make_unique<TextObject>("Menu text", helvetica, 12, 14, TextAlign::Left)));
    drawing().clearSelection();
    drawing().select(text);
    // The font dialog starts from the selection's font and size.
    QString startedWith;
    whenDialogOpens([&](QWidget& dialog) {
        startedWith = child<QComboBox>(dialog, "names")->currentText() + " "
            + child<QComboBox>(dialog, "sizes")->currentText();
        child<QComboBox>(dialog, "names")->setCurrentText("Times-Roman");
        child<QComboBox>(dialog, "sizes")->setCurrentText("30");
        click(dialog, "ok");
    });
    choose(kCmdFont);
    EXPECT_EQ(startedWith, "Helvetica 12");
    EXPECT_EQ(text->font()->postScriptName(), "Times-Roman");
    EXPECT_FLOAT_EQ(text->size(), 30);
    EXPECT_EQ(m_shell->textDefaults().fontName, "Times-Roman");

    // Leading outside 1 ... 300 is ignored; inside it is applied.
    for (const auto& [typed, expected] : { std::pair { "400", 14.0f }, std::pair { "20", 20.0f } }) {
        whenDialogOpensType({ { "value", QString::fromLatin1(typed) } });
        choose(kCmdLeading);
        EXPECT_FLOAT_EQ(text->leading(), expected) << typed;
    }

    choose(kCmdAlignTextLeft + 2);
    EXPECT_EQ(text->alignment(), TextAlign::Right);
}

TEST_F(MenuCommands, DialogAnswersReachTheSelectionTheDrawingAndTheView)
{
    start();
    choose(405); // the rectangle tool: the transform dialogs end it
    RectangleObject* rect = addRectangle(10, 10, 60, 40);
    whenDialogOpensType({ { "horizontal", "15" }, { "vertical", "-5" } });
    choose(kCmdMove);
    EXPECT_EQ(frame().drawingWindow()->tools().currentCommand(), kCmdSelectionTool);
    EXPECT_FLOAT_EQ(rect->boundingBox().left, 25);
    EXPECT_FLOAT_EQ(rect->boundingBox().bottom, 5);

    whenDialogOpensType({ { "text", "https://example.org/a" } });
    choose(kCmdSpecifyUrl);
    EXPECT_EQ(rect->url().value_or(""), "https://example.org/a");

    // The grid and paper answers reach the drawing and the view.
    whenDialogOpensType({ { "vertical", "24" } });
    choose(kCmdGrid);
    EXPECT_EQ(drawing().grid().gy, 24);
    whenDialogOpens([&](QWidget& dialog) {
        click(dialog, "custom");
        retype(dialog, "width", "700");
        click(dialog, "ok");
    });
    choose(kCmdPreferences);
    EXPECT_EQ(m_shell->settings().paperWidth, 700);
    const View& view = frame().drawingWindow()->view();
    EXPECT_EQ(view.pageWidth(), 700);

    // The zoom arithmetic is the view's own test; here the item reaches it.
    whenDialogOpensType({ { "percent", "150" } });
    choose(kCmdZoom);
    EXPECT_FLOAT_EQ(view.zoom(), 1.5f);
    EXPECT_EQ(view.zoomMode(), ZoomMode::User);
    choose(kCmdLandscape); // posts Fit in window
    runUntilIdle();
    EXPECT_TRUE(drawing().isLandscape());
    EXPECT_TRUE(menu().action(kCmdLandscape)->isChecked());
    EXPECT_EQ(view.zoomMode(), ZoomMode::FitInWindow);
}

TEST_F(MenuCommands, ExportListsOnlyWhatThisBuildWritesAndWritesItWithItsOptions)
{
    start();
    addRectangle(10, 10, 60, 40);
    QStringList filters;
    const fs::path target = m_dir / "out.ps";
    whenFileDialogOpens(target, &filters, QStringLiteral("PostScript (*.ps)"));
    choose(kCmdExport);
    QStringList expected;
    for (const ExportFormat& format : exportFormats(false))
        expected << QString::fromLatin1(format.filter);
    EXPECT_EQ(filters, expected);
    EXPECT_FALSE(filters.contains("PS Level II Form (*.ps)"));
    EXPECT_EQ(readAll(target).rfind("%!PS-Adobe-3.0", 0), 0u);
    EXPECT_EQ(m_shell->settings().exportDir, m_dir.string());

    // A name typed with another format's extension is written in that format.
    for (const auto& [name, signature] : { std::pair { "typed.PNG", "\x89PN" }, { "typed.tiff", "II*" } }) {
        const fs::path typed = m_dir / name;
        whenFileDialogOpens(typed, nullptr, QStringLiteral("SVG (*.svg)"));
        choose(kCmdExport);
        EXPECT_EQ(readAll(typed).substr(0, 3), signature) << name;
    }

    // A bitmap takes the options dialog's choices.
    const fs::path gif = m_dir / "out.gif";
    whenFileDialogOpens(gif, nullptr, QStringLiteral("GIF (*.gif)"), [](QWidget& options) {
        click(options, "smoothMaximum");
        click(options, "transparent");
        click(options, "ok");
    });
    choose(kCmdExport);
    std::ifstream in(gif, std::ios::binary);
    char head[10] = {};
    in.read(head, sizeof head);
    EXPECT_EQ(std::string(head, 6), "GIF89a") << "transparency reached the file";
    // Smoothing keeps the page's size: about the rectangle's box plus 9 points each side.
    EXPECT_NEAR(uint8_t(head[6]) | uint8_t(head[7]) << 8, 50 + 18, 2);
}

TEST_F(MenuCommands, InsertAppendsTheFileSelectedAsOneUndoableStep)
{
    start();
    RectangleObject* own = addRectangle(300, 300, 320, 320, false);
    own->setFillColor(Color { 100, 0, 0 });
    const PaintStyle before = own->style();
    choose(kCmdSelectAll);
    choose(kCmdFillBlack);
    const fs::path path = writeDrawing("parts.zvx", 2);
    whenFileDialogOpens(path);
    choose(kCmdInsert);
    EXPECT_EQ(drawing().selection().size(), 2u);
    EXPECT_TRUE(drawing().isModified());
    const auto& all = m_messages.messages();
    EXPECT_NE(std::find(all.begin(), all.end(), RecordingReporter::Message { Reporter::Kind::Status, "Inserting..." }),
        all.end());
    EXPECT_EQ(m_messages.last(Reporter::Kind::Status), "") << "\"Inserting...\" does not stay";

    // Undo takes the inserted objects out and selects what was selected;
    // the fill before it can still be undone.
    choose(kCmdUndo);
    EXPECT_EQ(drawing().objectCount(), 1u);
    EXPECT_EQ(drawing().selection(), (ObjectRefs { own }));
    choose(kCmdUndo);
    EXPECT_EQ(own->style(), before);
}

} // namespace
} // namespace zavora
