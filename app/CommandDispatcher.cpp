#include "app/CommandDispatcher.h"

#include "app/DrawingWindow.h"
#include "app/MainFrame.h"
#include "app/SystemClipboard.h"
#include "app/Shell.h"
#include "app/ShellCommands.h"
#include "app/StatusBar.h"
#include "app/dialogs/AboutDialog.h"
#include "app/dialogs/GridDialog.h"
#include "app/dialogs/NumberDialog.h"
#include "app/dialogs/ObjectSnapDialog.h"
#include "app/dialogs/PreferencesDialog.h"
#include "app/dialogs/TextDialog.h"
#include "app/dialogs/ZoomDialog.h"
#include "app/help/HelpWindow.h"
#include "model/Drawing.h"
#include "model/UndoCommand.h"
#include "platform/Reporter.h"
#include "tools/ToolSet.h"

#include <QPrinter>

#include <algorithm>
#include <cmath>

namespace zavora {

namespace {

// The build date the About command shows in the status bar.
constexpr const char* kBuildDate = "May 13 2001";

} // namespace

CommandDispatcher::CommandDispatcher(Shell& shell, MainFrame& frame)
    : m_shell(shell)
    , m_frame(frame)
{ }

Drawing& CommandDispatcher::drawing()
{
    return m_shell.drawing();
}

DrawingWindow& CommandDispatcher::window()
{
    return *m_frame.drawingWindow();
}

void CommandDispatcher::chooseSelectionTool()
{
    window().selectTool(kCmdSelectionTool);
}

bool CommandDispatcher::run(int id)
{
    return runFile(id) || runEdit(id) || runView(id) || runObject(id) || runPaint(id) || runText(id)
        || runTool(id) || runHelp(id);
}

// --- Edit ------------------------------------------------------------------

bool CommandDispatcher::runEdit(int id)
{
    switch (id) {
    case kCmdCut:
    case kCmdCopy:
        chooseSelectionTool();
        m_frame.systemClipboard().copy(id == kCmdCut);
        return true;
    case kCmdUndo:
    case kCmdRedo:
    case kCmdDuplicate:
    case kCmdClear:
    case kCmdSelectAll:
    case kCmdDeselectAll:
    case kCmdDeselectAll2:
        chooseSelectionTool();
        drawing().runCommand(id);
        if (id == kCmdClear)
            window().redrawStatus();
        return true;
    case kCmdPaste:
        chooseSelectionTool();
        m_frame.systemClipboard().paste(window().insertPlacement(), window().visibleBox());
        return true;
    case kCmdPreferences:
        preferences();
        return true;
    default:
        return false;
    }
}

void CommandDispatcher::preferences()
{
    ShellSettings& settings = m_shell.settings();
    PreferencesDialog dialog(&m_frame);
    dialog.setPaper(settings.paperWidth, settings.paperHeight);
    dialog.setUnits(settings.units);
    if (dialog.exec() != 1)
        return;
    if (dialog.paperWidth() != settings.paperWidth || dialog.paperHeight() != settings.paperHeight) {
        settings.paperWidth = dialog.paperWidth();
        settings.paperHeight = dialog.paperHeight();
        window().setPageSize(settings.paperWidth, settings.paperHeight);
        m_frame.postCommand(kCmdFitInWindow);
    }
    if (dialog.units() != settings.units) {
        settings.units = dialog.units();
        window().setUnit(settings.units);
    }
}

// --- View ------------------------------------------------------------------

bool CommandDispatcher::runView(int id)
{
    ShellSettings& settings = m_shell.settings();
    switch (id) {
    case kCmdRedraw:
        chooseSelectionTool();
        window().invalidateAll();
        return true;
    case kCmdPreview:
        chooseSelectionTool();
        window().setPreviewMode(!window().previewMode());
        return true;
    case kCmdPortrait:
    case kCmdLandscape:
        setOrientation(id == kCmdLandscape);
        return true;
    case kCmdGrid:
        grid();
        return true;
    case kCmdZoom:
        zoom();
        return true;
    case kCmdFitInWindow:
        chooseSelectionTool();
        window().fitInWindow();
        return true;
    case kCmdFitWidth:
        chooseSelectionTool();
        window().fitWidth();
        return true;
    case kCmdRuler:
        settings.rulers = !settings.rulers;
        m_frame.layoutChildren();
        return true;
    case kCmdColorBar:
        settings.colorBar = !settings.colorBar;
        m_frame.layoutChildren();
        return true;
    case kCmdShapeLibrary:
        settings.shapeLibrary = !settings.shapeLibrary;
        m_frame.layoutChildren();
        return true;
    default:
        return false;
    }
}

void CommandDispatcher::setOrientation(bool landscape)
{
    // The orientation is part of the file, so turning the page is a change
    // that Save must not lose.
    if (drawing().isLandscape() != landscape)
        drawing().setModified(true);
    drawing().setLandscape(landscape);
    window().view().setLandscape(landscape);
    window().updateScrollBars();
    m_frame.postCommand(kCmdFitInWindow);
}

void CommandDispatcher::grid()
{
    GridDialog dialog(&m_frame);
    dialog.setGrid(drawing().grid());
    if (dialog.exec() != 1)
        return;
    chooseSelectionTool();
    drawing().setGrid(dialog.grid());
    window().invalidateAll();
}

void CommandDispatcher::zoom()
{
    chooseSelectionTool();
    ZoomDialog dialog(&m_frame);
    dialog.setPercent(int(std::lround(window().view().zoom() * 100)));
    if (dialog.exec() != 1)
        return;
    window().setZoomPercent(float(dialog.percent()));
}

// --- Object ------------------------------------------------------------------

bool CommandDispatcher::runObject(int id)
{
    switch (id) {
    case kCmdGroup:
    case kCmdUngroup:
    case kCmdMakeCompoundPath:
    case kCmdReleaseCompoundPath:
    case kCmdLock:
    case kCmdUnlockAll:
        drawing().runCommand(id);
        return true;
    case kCmdMoveForward:
    case kCmdMoveBackward:
    case kCmdBringToFront:
    case kCmdSendToBack:
    case kCmdRotatePlus90:
    case kCmdRotateMinus90:
        chooseSelectionTool();
        drawing().runCommand(id);
        return true;
    case kCmdFlipHorizontal:
    case kCmdFlipVertical:
        chooseSelectionTool();
        drawing().scaleSelection(id == kCmdFlipHorizontal ? -100 : 100, id == kCmdFlipVertical ? -100 : 100);
        return true;
    case kCmdSpecifyUrl:
        specifyUrl();
        return true;
    case kCmdMove:
        moveDialog();
        return true;
    case kCmdScale:
        scaleDialog();
        return true;
    case kCmdRotate:
        rotateDialog();
        return true;
    case kCmdObjectSnap:
        objectSnap();
        return true;
    default:
        break;
    }
    // Align and Space evenly: the drawing picks the code for the orientation.
    if (Drawing::alignCodeFor(id, false) >= 0 || Drawing::spaceCodeFor(id, false) >= 0) {
        drawing().runCommand(id);
        return true;
    }
    return false;
}

void CommandDispatcher::specifyUrl()
{
    UrlDialog dialog(&m_frame);
    const ObjectRefs& selection = drawing().selection();
    if (!selection.empty() && selection.front()->url())
        dialog.setText(selection.front()->url()->substr(0, UrlDialog::kMaxLength));
    if (dialog.exec() != 1 || selection.empty())
        return;
    std::optional<std::string> url;
    if (!dialog.text().empty())
        url = dialog.text();
    drawing().history().execute(std::make_unique<UrlCommand>(drawing(), selection, std::move(url)));
}

void CommandDispatcher::moveDialog()
{
    MoveDialog dialog(&m_frame);
    dialog.setDistances(m_moveX, m_moveY);
    if (dialog.exec() != 1)
        return;
    m_moveX = dialog.horizontal();
    m_moveY = dialog.vertical();
    chooseSelectionTool();
    drawing().moveSelectionByDialog(m_moveX, m_moveY);
}

void CommandDispatcher::scaleDialog()
{
    ScaleDialog dialog(&m_frame);
    dialog.setPercentages(100, 100);
    if (dialog.exec() != 1)
        return;
    chooseSelectionTool();
    drawing().scaleSelection(float(dialog.horizontal()), float(dialog.vertical()));
}

void CommandDispatcher::rotateDialog()
{
    RotateDialog dialog(&m_frame);
    dialog.setAngle(m_rotation);
    if (dialog.exec() != 1)
        return;
    m_rotation = dialog.angle();
    chooseSelectionTool();
    drawing().rotateSelection(float(m_rotation));
}

void CommandDispatcher::objectSnap()
{
    chooseSelectionTool();
    ObjectSnapDialog dialog(&m_frame);
    const ObjectSnap& snap = drawing().objectSnap();
    dialog.setSnap(snap.enabled != 0, snap.distance);
    if (dialog.exec() != 1)
        return;
    drawing().setObjectSnap(ObjectSnap { dialog.enabled() ? 1 : 0, dialog.distance() });
}

// --- Tools and help -------------------------------------------------------------

bool CommandDispatcher::runTool(int id)
{
    if (id < kCmdFirstTool || id > kCmdLastTool)
        return false;
    // The transform tools (and the move tool) need something to act on.
    const char* refusal = ToolSet::emptySelectionRefusal(id);
    if (refusal && !drawing().hasSelection()) {
        if (*refusal)
            setStatus("%s", refusal);
        return true;
    }
    window().selectTool(id);
    return true;
}

bool CommandDispatcher::runHelp(int id)
{
    switch (id) {
    case kCmdHelpContents:
    case kCmdHelpSearch:
    case kCmdHelpHowTo: {
        HelpWindow* help = HelpWindow::instance(&m_frame);
        const bool shown = id == kCmdHelpContents ? help->showContents()
            : id == kCmdHelpSearch                ? help->showSearch(QString())
                                                  : help->showHowToUse();
        if (!shown)
            errorBox("Can't start WinHelp");
        return true;
    }
    case kCmdAbout: {
        chooseSelectionTool();
        setStatus("Build date: %s", kBuildDate);
        AboutDialog dialog(&m_frame, QString::fromStdString(m_shell.productName()));
        dialog.exec();
        return true;
    }
    default:
        return false;
    }
}

} // namespace zavora
