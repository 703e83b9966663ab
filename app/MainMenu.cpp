#include "app/MainMenu.h"

#include "app/MenuSamples.h"
#include "app/ShellCommands.h"
#include "model/PaintStyle.h"
#include "tools/ToolSet.h"

#include <QActionGroup>
#include <QMenu>
#include <QMenuBar>

#include <algorithm>

namespace zavora {

namespace {

// Items enabled only with a selection, and only with two or more objects.
constexpr int kNeedOne[] = { kCmdCut, kCmdCopy, kCmdSendToBack, kCmdBringToFront, kCmdClear, kCmdUngroup, kCmdMove,
    kCmdScale, kCmdRotate, kCmdRotatePlus90, kCmdRotateMinus90, kCmdFlipVertical, kCmdFlipHorizontal,
    kCmdMoveForward, kCmdMoveBackward, kCmdReleaseCompoundPath, kCmdLock, kCmdDeselectAll, kCmdDuplicate,
    kCmdSpecifyUrl };
constexpr int kNeedTwo[] = { kCmdGroup, kCmdAlignLeft, kCmdAlignRight, kCmdAlignTops, kCmdAlignBottoms,
    kCmdAlignCentersVertically, kCmdAlignCentersHorizontally, kCmdSpaceEdgesVertically,
    kCmdSpaceEdgesHorizontally, kCmdSpaceCentersHorizontally, kCmdSpaceCentersVertically, kCmdMakeCompoundPath };

template <std::size_t N> bool listed(const int (&ids)[N], int id)
{
    return std::find(std::begin(ids), std::end(ids), id) != std::end(ids);
}

// The tools of the Tools menu, with the identifiers their keys choose.
struct ToolItem {
    int commandId;
    const char* text;
};
constexpr ToolItem kToolItems[] = {
    { 456, "&Selection" },
    { 450, "&Move" },
    { 401, "&Line" },
    { 405, "&Rectangle" },
    { 458, "Rou&nded Rectangle" },
    { 407, "&Ellipse" },
    { 408, "&Arc" },
    { 410, "C&urve" },
    { 414, "&Polygon" },
    { 411, "&Text" },
    { 416, "&Hand (Pan)" },
    { 417, "&Zoom" },
    { 451, "S&cale" },
    { 452, "R&otate" },
    { 454, "S&kew" },
    { 455, "Re&flect" },
    { 459, "E&yedropper" },
};

// The keys that choose a tool, as the menu shows them ("F4, L").
QString toolKeys(int commandId)
{
    QStringList keys;
    for (int n = 2; n <= 11; ++n)
        if (ToolSet::functionKeyCommand(n) == commandId)
            keys << QStringLiteral("F%1").arg(n);
    for (char c = 'A'; c <= 'Z'; ++c)
        if (ToolSet::letterCommand(char32_t(c)) == commandId)
            keys << QString(QLatin1Char(c));
    return keys.join(QStringLiteral(", "));
}

} // namespace

MainMenu::MainMenu(QWidget* frame, std::function<void(int)> dispatch, std::function<void()> aboutToOpen)
    : QObject(frame)
    , m_bar(new QMenuBar(frame))
    , m_dispatch(std::move(dispatch))
    , m_aboutToOpen(std::move(aboutToOpen))
{
    m_bar->setObjectName(QStringLiteral("mainmenu"));
    // The frame places the bar itself; a native (global) menu bar would
    // leave it without a height to lay out.
    m_bar->setNativeMenuBar(false);
    buildFile();
    buildEdit();
    buildView();
    buildObject();
    buildLine();
    buildFill();
    buildText();
    buildTools();
    buildHelp();
}

QMenu* MainMenu::addMenu(const QString& title)
{
    QMenu* menu = m_bar->addMenu(title);
    connect(menu, &QMenu::aboutToShow, this, [this] {
        if (m_aboutToOpen)
            m_aboutToOpen();
    });
    return menu;
}

QAction* MainMenu::add(QMenu* menu, int commandId, const QString& text, const QString& keys)
{
    // Keys after a tab are shown, not bound: Del, Esc and the tool letters
    // belong to the drawing window, which also needs them while typing.
    auto* action = new QAction(keys.isEmpty() ? text : text + QLatin1Char('\t') + keys, menu);
    action->setData(commandId);
    menu->addAction(action);
    connect(action, &QAction::triggered, this, [this, commandId] { m_dispatch(commandId); });
    m_actions[commandId] = action;
    return action;
}

QAction* MainMenu::addSample(QMenu* menu, int commandId, const QString& text, const QPixmap& sample)
{
    auto* action = new SampleAction(text, sample, menu);
    action->setData(commandId);
    menu->addAction(action);
    connect(action, &QAction::triggered, this, [this, commandId] { m_dispatch(commandId); });
    m_actions[commandId] = action;
    return action;
}

void MainMenu::buildFile()
{
    QMenu* m = addMenu(tr("&File"));
    add(m, kCmdNew, tr("&New"))->setShortcut(QKeySequence(QStringLiteral("Ctrl+N")));
    add(m, kCmdOpen, tr("&Open..."))->setShortcut(QKeySequence(QStringLiteral("Ctrl+O")));
    add(m, kCmdSave, tr("&Save"))->setShortcut(QKeySequence(QStringLiteral("Ctrl+S")));
    add(m, kCmdSaveAs, tr("Save &As..."));
    add(m, kCmdRevert, tr("Re&vert"));
    m->addSeparator();
    add(m, kCmdInsert, tr("&Insert..."));
    add(m, kCmdExport, tr("&Export..."));
    m->addSeparator();
    add(m, kCmdPrint, tr("&Print..."))->setShortcut(QKeySequence(QStringLiteral("Ctrl+P")));
    add(m, kCmdPrintSetup, tr("Print Set&up..."));
    m->addSeparator();
    for (int i = 0; i < RecentFiles::kCount; ++i)
        add(m, kCmdRecentFile1 + i, QStringLiteral("&%1 Recent File").arg(i + 1));
    m->addSeparator();
    add(m, kCmdExit, tr("E&xit"));
    // Opening a drawing of another format has no menu item: its key lives on
    // the frame through the File menu's action list.
    auto* foreign = new QAction(m);
    foreign->setShortcut(QKeySequence(QStringLiteral("Ctrl+Shift+O")));
    foreign->setData(kCmdOpenForeign);
    connect(foreign, &QAction::triggered, this, [this] { m_dispatch(kCmdOpenForeign); });
    m_bar->parentWidget()->addAction(foreign);
}

void MainMenu::buildEdit()
{
    QMenu* m = addMenu(tr("&Edit"));
    add(m, kCmdUndo, tr("&Undo"))->setShortcut(QKeySequence(QStringLiteral("Ctrl+Z")));
    add(m, kCmdRedo, tr("&Redo"))->setShortcut(QKeySequence(QStringLiteral("Ctrl+Y")));
    m->addSeparator();
    add(m, kCmdCut, tr("Cu&t"))->setShortcut(QKeySequence(QStringLiteral("Ctrl+X")));
    add(m, kCmdCopy, tr("&Copy"))->setShortcut(QKeySequence(QStringLiteral("Ctrl+C")));
    add(m, kCmdPaste, tr("&Paste"))->setShortcut(QKeySequence(QStringLiteral("Ctrl+V")));
    add(m, kCmdDuplicate, tr("Dupl&icate"));
    add(m, kCmdClear, tr("C&lear"), QStringLiteral("Del"));
    m->addSeparator();
    add(m, kCmdSelectAll, tr("Select &All"))->setShortcut(QKeySequence(QStringLiteral("Ctrl+A")));
    add(m, kCmdDeselectAll, tr("&Deselect All"), QStringLiteral("Esc"));
    m->addSeparator();
    add(m, kCmdPreferences, tr("Pr&eferences..."));
}

void MainMenu::buildView()
{
    QMenu* m = addMenu(tr("&View"));
    add(m, kCmdRedraw, tr("&Redraw"))->setShortcut(QKeySequence(QStringLiteral("Ctrl+R")));
    add(m, kCmdPreview, tr("&Preview"))->setCheckable(true);
    m->addSeparator();
    auto* orientation = new QActionGroup(m);
    for (QAction* a : { add(m, kCmdPortrait, tr("P&ortrait")), add(m, kCmdLandscape, tr("&Landscape")) }) {
        a->setCheckable(true);
        orientation->addAction(a);
    }
    m->addSeparator();
    add(m, kCmdGrid, tr("&Grid..."));
    add(m, kCmdZoom, tr("&Zoom..."));
    add(m, kCmdFitInWindow, tr("&Fit in Window"));
    add(m, kCmdFitWidth, tr("Fit &Width in Window"));
    m->addSeparator();
    add(m, kCmdRuler, tr("R&uler"))->setCheckable(true);
    add(m, kCmdColorBar, tr("&Color Bar"))->setCheckable(true);
    add(m, kCmdShapeLibrary, tr("&Shape Library"))->setCheckable(true);
}

void MainMenu::buildObject()
{
    QMenu* m = addMenu(tr("&Object"));
    add(m, kCmdGroup, tr("&Group"))->setShortcut(QKeySequence(QStringLiteral("Ctrl+G")));
    add(m, kCmdUngroup, tr("U&ngroup"))->setShortcut(QKeySequence(QStringLiteral("Ctrl+U")));
    QMenu* compound = m->addMenu(tr("&Compound Path"));
    add(compound, kCmdMakeCompoundPath, tr("&Make"));
    add(compound, kCmdReleaseCompoundPath, tr("&Release"));
    m->addSeparator();
    add(m, kCmdLock, tr("&Lock"));
    add(m, kCmdUnlockAll, tr("Unloc&k All"));
    m->addSeparator();
    add(m, kCmdMoveForward, tr("Move &Forward"));
    add(m, kCmdMoveBackward, tr("Move &Backward"));
    add(m, kCmdBringToFront, tr("Bring to Fron&t"));
    add(m, kCmdSendToBack, tr("S&end to Back"));
    m->addSeparator();
    QMenu* align = m->addMenu(tr("&Align"));
    add(align, kCmdAlignLeft, tr("&Left Sides"));
    add(align, kCmdAlignRight, tr("&Right Sides"));
    add(align, kCmdAlignTops, tr("&Tops"));
    add(align, kCmdAlignBottoms, tr("&Bottoms"));
    add(align, kCmdAlignCentersVertically, tr("Centers &Vertically"));
    add(align, kCmdAlignCentersHorizontally, tr("Centers &Horizontally"));
    QMenu* space = m->addMenu(tr("S&pace Evenly"));
    add(space, kCmdSpaceEdgesVertically, tr("&Edges Vertically"));
    add(space, kCmdSpaceCentersVertically, tr("&Centers Vertically"));
    add(space, kCmdSpaceEdgesHorizontally, tr("Edges &Horizontally"));
    add(space, kCmdSpaceCentersHorizontally, tr("Centers H&orizontally"));
    m->addSeparator();
    add(m, kCmdSpecifyUrl, tr("Specify &URL..."));
    m->addSeparator();
    add(m, kCmdMove, tr("&Move..."));
    add(m, kCmdScale, tr("&Scale..."));
    add(m, kCmdRotate, tr("&Rotate..."));
    add(m, kCmdRotatePlus90, tr("Rotate Left"));
    add(m, kCmdRotateMinus90, tr("Rotate Right"));
    add(m, kCmdFlipHorizontal, tr("Flip &Horizontal"));
    add(m, kCmdFlipVertical, tr("Flip &Vertical"));
    m->addSeparator();
    add(m, kCmdPickUpStyle, tr("Pick Paint Style of Selected Object"));
    add(m, kCmdApplyDefaultStyle, tr("Apply Current Paint Style"));
    m->addSeparator();
    add(m, kCmdObjectSnap, tr("&Object Snap..."));
}

void MainMenu::buildLine()
{
    QMenu* m = addMenu(tr("&Line"));
    add(m, kCmdLineInvisible, tr("&Invisible"));
    add(m, kCmdLineBlack, tr("&Black"));
    add(m, kCmdLineWhite, tr("&White"));
    add(m, kCmdLineColor, tr("&Color..."));
    m->addSeparator();
    const auto all = pens();
    for (int i = 0; i < int(all.size()); ++i) {
        const Pen& pen = all[i];
        const QString name = pen.isDash() ? tr("Dashed pen %1").arg(pen.dashIndex + 1)
                                          : tr("%1 point").arg(double(pen.width));
        addSample(m, pen.commandId, name, penSample(i));
    }
    m->addSeparator();
    // Circle and square ends are taken out of both menus at start-up.
    static constexpr int kFirst[] = { kCmdFirstNoArrow, kCmdFirstSmallArrow, kCmdFirstBigArrow, kCmdFirstFancyArrow };
    static constexpr int kSecond[] = { kCmdSecondNoArrow, kCmdSecondSmallArrow, kCmdSecondBigArrow,
        kCmdSecondFancyArrow };
    static const char* const kNames[] = { "No Arrow", "Small Arrow", "Big Arrow", "Fancy Arrow" };
    QMenu* first = m->addMenu(tr("&First End"));
    QMenu* second = m->addMenu(tr("&Second End"));
    for (int i = 0; i < 4; ++i) {
        addSample(first, kFirst[i], tr(kNames[i]), arrowheadSample(i, false));
        addSample(second, kSecond[i], tr(kNames[i]), arrowheadSample(i, true));
    }
}

void MainMenu::buildFill()
{
    QMenu* m = addMenu(tr("F&ill"));
    add(m, kCmdFillTransparent, tr("&Transparent"));
    add(m, kCmdFillBlack, tr("&Black"));
    add(m, kCmdFillWhite, tr("&White"));
    add(m, kCmdFillColor, tr("&Color..."));
    m->addSeparator();
    add(m, kCmdNoPattern, tr("&No Pattern"));
    for (int i = 0; i < kPatternCount; ++i)
        addSample(m, kCmdPattern0 + i, tr("Pattern %1").arg(i), patternSample(i));
}

void MainMenu::buildText()
{
    QMenu* m = addMenu(tr("&Text"));
    add(m, kCmdFont, tr("&Font..."));
    add(m, kCmdLeading, tr("&Leading..."));
    QMenu* align = m->addMenu(tr("&Alignment"));
    static const char* const kNames[] = { "&Left", "&Centered", "&Right", "&Justified" };
    for (int i = 0; i < 4; ++i)
        add(align, kCmdAlignTextLeft + i, tr(kNames[i]));
    m->addSeparator();
    add(m, kCmdTextBlack, tr("&Black Text"));
    add(m, kCmdTextWhite, tr("&White Text"));
    add(m, kCmdTextColor, tr("Text &Color..."));
}

void MainMenu::buildTools()
{
    QMenu* m = addMenu(tr("Tool&s"));
    for (const ToolItem& item : kToolItems)
        add(m, item.commandId, tr(item.text), toolKeys(item.commandId));
}

void MainMenu::buildHelp()
{
    QMenu* m = addMenu(tr("&Help"));
    add(m, kCmdHelpContents, tr("&Contents"))->setShortcut(QKeySequence(Qt::Key_F1));
    add(m, kCmdHelpSearch, tr("&Search for Help on..."));
    add(m, kCmdHelpHowTo, tr("&How to Use Help"));
    m->addSeparator();
    add(m, kCmdAbout, tr("&About..."));
}

QAction* MainMenu::action(int commandId) const
{
    const auto found = m_actions.find(commandId);
    return found == m_actions.end() ? nullptr : found->second;
}

QMenu* MainMenu::menu(const QString& title) const
{
    for (QAction* top : m_bar->actions())
        if (top->menu() && top->text().remove(QLatin1Char('&')) == title)
            return top->menu();
    return nullptr;
}

bool MainMenu::isEnabled(int id, const MenuState& state)
{
    if (listed(kNeedOne, id))
        return state.selectedCount >= 1;
    if (listed(kNeedTwo, id))
        return state.selectedCount >= 2;
    switch (id) {
    case kCmdPaste:
        return state.pasteable;
    case kCmdUndo:
        return state.canUndo;
    case kCmdRedo:
        return state.canRedo;
    case kCmdRevert:
        return state.hasFileName;
    default:
        break;
    }
    if (id >= kCmdRecentFile1 && id < kCmdRecentFile1 + RecentFiles::kCount)
        return !state.recentFiles[id - kCmdRecentFile1].empty();
    if (id >= kCmdFirstTool && id <= kCmdLastTool)
        return !state.toolAvailable || state.toolAvailable(id);
    return true;
}

void MainMenu::update(const MenuState& state)
{
    for (const auto& [id, action] : m_actions)
        action->setEnabled(isEnabled(id, state));
    for (int i = 0; i < RecentFiles::kCount; ++i) {
        const std::string& path = state.recentFiles[i];
        m_actions[kCmdRecentFile1 + i]->setText(path.empty()
                ? QStringLiteral("&%1 Recent File").arg(i + 1)
                : QStringLiteral("&%1 %2").arg(i + 1).arg(QString::fromStdString(path)));
    }
    m_actions[kCmdPreview]->setChecked(state.preview);
    m_actions[kCmdPortrait]->setChecked(!state.landscape);
    m_actions[kCmdLandscape]->setChecked(state.landscape);
    m_actions[kCmdRuler]->setChecked(state.rulers);
    m_actions[kCmdColorBar]->setChecked(state.colorBar);
    m_actions[kCmdShapeLibrary]->setChecked(state.shapeLibrary);
}

} // namespace zavora
