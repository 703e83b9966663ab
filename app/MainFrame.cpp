#include "app/MainFrame.h"

#include "app/BarButton.h"
#include "app/BarWindow.h"
#include "app/ButtonBars.h"
#include "app/ColorBar.h"
#include "app/CommandDispatcher.h"
#include "app/MainMenu.h"
#include "app/DrawingWindow.h"
#include "app/FrameLayout.h"
#include "app/Ruler.h"
#include "app/ShapeLibraryPanel.h"
#include "app/Shell.h"
#include "app/ShellCommands.h"
#include "app/StatusBar.h"
#include "app/SystemClipboard.h"
#include "model/FontLookup.h"
#include "model/TextObject.h"
#include "platform/DebugLog.h"
#include "platform/Reporter.h"
#include "tools/TextTool.h"
#include "tools/ToolSet.h"

#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QDrag>
#include <QMenuBar>
#include <QMimeData>
#include <QTimer>

namespace zavora {

MainFrame::MainFrame(Shell& shell)
    : m_shell(shell)
{
    setObjectName(QStringLiteral("zavora_frame"));
    setWindowTitle(QString::fromStdString(shell.productName()));
    setWindowIcon(BarButton::barIcon(QStringLiteral("zavora")));
    setAcceptDrops(true);
    m_menu = new MainMenu(this, [this](int id) { dispatchCommand(id); }, [this] { menuAboutToOpen(); });

    // Created in this order, each at first 10 x 10 at (0, 0).
    m_toolbox = new BarWindow("zavora_toolBar", this);
    m_styleBar = new BarWindow("zavora_styleBar", this);
    m_standardBar = new BarWindow("zavora_standardBar", this);
    m_statusBar = new StatusBar(this);
    m_horizontalRuler = new Ruler(Qt::Horizontal, this);
    m_verticalRuler = new Ruler(Qt::Vertical, this);
    m_colorBar = new ColorBar(this);
    m_shapeLibrary = new ShapeLibraryPanel(this);
    for (QWidget* child : std::initializer_list<QWidget*> { m_toolbox, m_styleBar, m_standardBar, m_statusBar,
             m_horizontalRuler, m_verticalRuler, m_colorBar, m_shapeLibrary })
        child->setGeometry(0, 0, 10, 10);
    m_drawingWindow = new DrawingWindow(shell.drawing(), this);
    m_drawingWindow->setGeometry(0, 0, 100, 100);

    const ShellSettings& settings = shell.settings();
    m_drawingWindow->setPageSize(settings.paperWidth, settings.paperHeight);
    m_drawingWindow->setUnit(settings.units);
    m_drawingWindow->setCompanions(m_horizontalRuler, m_verticalRuler, m_statusBar);
    m_drawingWindow->updateScrollBars();
    m_drawingWindow->setFocus();
    // Tool keys become commands; the toolbox follows the current tool.
    m_drawingWindow->setCommandPoster([this](int id) { postCommand(id); });
    m_systemClipboard = new SystemClipboard(shell.drawing(), m_statusBar, this);
    m_drawingWindow->setDragOutHandler([this] {
        if (QMimeData* data = m_systemClipboard->selectionData()) {
            auto* drag = new QDrag(m_drawingWindow);
            drag->setMimeData(data);
            drag->exec(Qt::CopyAction);
        }
    });
    m_drawingWindow->setDropHandler([this](const QMimeData& data) {
        return m_systemClipboard->drop(data, m_drawingWindow->insertPlacement(), m_drawingWindow->visibleBox());
    });
    m_drawingWindow->setNewTextFont([&shell] {
        const TextDefaults& defaults = shell.textDefaults();
        const FontLookup* fonts = FontLookup::current();
        const FontEntry* font = fonts ? fonts->find(defaults.fontName) : nullptr;
        return NewTextFont { font ? font : defaultTextFont(), defaults.fontSize };
    });
    connect(m_drawingWindow, &DrawingWindow::toolButtonChanged, this,
        [this](int id, bool pressed) { m_toolbox->setCommandChecked(id, pressed); });
    fillBars();
    m_commands = std::make_unique<CommandDispatcher>(shell, *this);
    m_menu->update(menuState());
    layoutChildren();
}

MainFrame::~MainFrame()
{
    if (m_splashTimer)
        killTimer(m_splashTimer);
}

void MainFrame::fillBars()
{
    auto connectButton = [this](BarButton* button) {
        connect(button, &BarButton::commandClicked, this, &MainFrame::barButtonClicked);
        connect(button, &BarButton::held, this, [this] { m_statusBar->setMessage(tr("Let go")); });
    };
    fillBar(*m_standardBar, standardBarEntries(), BarFlow::Row, connectButton);
    fillBar(*m_styleBar, styleBarEntries(), BarFlow::Row, connectButton);
    fillBar(*m_toolbox, toolboxEntries(), BarFlow::Grid, [&](BarButton* button) {
        button->setCheckable(true);
        connectButton(button);
    });
    connectButton(m_shapeLibrary->closeButton());
    // Later changes come through toolButtonChanged.
    m_toolbox->setCommandChecked(m_drawingWindow->tools().currentCommand(), true);
    m_colorBar->setSwatchHandler([this](bool rightButton, const std::optional<Color>& color) {
        m_shell.drawing().applySwatch(rightButton, color);
        if (TextTool* typing = m_drawingWindow->editingTextTool(); typing && !rightButton && color)
            typing->takeTextColor(*color);
    });
}

void MainFrame::barButtonClicked(int commandId)
{
    dispatchCommand(commandId);
    m_drawingWindow->setFocus();
}

void MainFrame::layoutChildren()
{
    const ShellSettings& s = m_shell.settings();
    // The menu bar runs along the top; the documented layout fills the rest.
    const int menuHeight = m_menu->bar()->sizeHint().height();
    m_menu->bar()->setGeometry(0, 0, width(), menuHeight);
    const FrameLayout l
        = FrameLayout::compute(width(), std::max(0, height() - menuHeight), s.rulers, s.colorBar, s.shapeLibrary);
    auto place = [menuHeight](QWidget* w, const LayoutRect& r, bool shown) {
        if (shown)
            w->setGeometry(r.x, r.y + menuHeight, std::max(0, r.width), std::max(0, r.height));
        w->setVisible(shown);
    };
    place(m_standardBar, l.standardBar, true);
    place(m_styleBar, l.styleBar, true);
    place(m_statusBar, l.statusBar, true);
    place(m_toolbox, l.toolbox, true);
    place(m_horizontalRuler, l.horizontalRuler, l.rulersShown);
    place(m_verticalRuler, l.verticalRuler, l.rulersShown);
    place(m_colorBar, l.colorBar, l.colorBarShown);
    place(m_shapeLibrary, l.shapeLibrary, l.shapeLibraryShown);
    place(m_drawingWindow, l.client, true);
    m_drawingWindow->setRulerOffsets(l.client.x - l.horizontalRuler.x, l.client.y - l.verticalRuler.y);
    for (QWidget* child : findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly))
        child->update();
}

void MainFrame::dispatchCommand(int id)
{
    m_statusBar->setMessage(QString());
    if (!m_commands->run(id))
        debugLog("Unknown menu command %d", id);
}

void MainFrame::postCommand(int commandId)
{
    QMetaObject::invokeMethod(
        this, [this, commandId] { dispatchCommand(commandId); }, Qt::QueuedConnection);
}

void MainFrame::idleWork()
{
    // The bars' buttons follow the menu rules; the accelerators too, through
    // the items, even while no menu is open.
    const MenuState state = menuState();
    // The transform tools' buttons also ask for a selection, by the rule
    // that refuses their keys.
    const bool selected = state.selectedCount > 0;
    const auto enabled = [&](int id) {
        return MainMenu::isEnabled(id, state) && (selected || !ToolSet::emptySelectionRefusal(id));
    };
    for (BarWindow* bar : { m_standardBar, m_styleBar, m_toolbox })
        bar->enableCommands(enabled);
    m_standardBar->setCommandChecked(kCmdPreview, state.preview);
    m_menu->update(state);
}

MenuState MainFrame::menuState() const
{
    const Drawing& drawing = m_shell.drawing();
    const ShellSettings& settings = m_shell.settings();
    MenuState state;
    state.selectedCount = int(drawing.selection().size());
    state.pasteable = m_systemClipboard->canPaste();
    // Text being typed is a step still to come: Undo ends the editing and
    // takes that step back.
    const TextTool* typing = m_drawingWindow->editingTextTool();
    state.canUndo = drawing.history().canUndo() || (typing && typing->hasPendingStep());
    state.canRedo = drawing.history().canRedo();
    state.hasFileName = !drawing.fileName().empty();
    state.preview = m_drawingWindow->previewMode();
    state.landscape = drawing.isLandscape();
    state.rulers = settings.rulers;
    state.colorBar = settings.colorBar;
    state.shapeLibrary = settings.shapeLibrary;
    state.recentFiles = settings.recentFiles.entries();
    ToolSet& tools = m_drawingWindow->tools();
    state.toolAvailable = [&tools](int id) {
        const ToolKind kind = ToolSet::kindForCommand(id);
        return kind != ToolKind::Count && tools.tool(kind) != nullptr;
    };
    return state;
}

void MainFrame::menuAboutToOpen()
{
    if (m_drawingWindow->tools().currentCommand() != kCmdSelectionTool)
        m_drawingWindow->selectTool(kCmdSelectionTool);
    m_menu->update(menuState());
}

void MainFrame::closeWithoutAsking()
{
    m_discardConfirmed = true;
    close();
    m_discardConfirmed = false;
}

void MainFrame::startSplashTimer(QWidget* splash)
{
    m_splash = splash;
    m_splashTimer = startTimer(1000);
    if (!m_splashTimer && m_splash)
        m_splash->close();
}

void MainFrame::timerEvent(QTimerEvent* event)
{
    if (event->timerId() != m_splashTimer)
        return QWidget::timerEvent(event);
    killTimer(m_splashTimer);
    m_splashTimer = 0;
    if (m_splash)
        m_splash->close();
}

void MainFrame::resizeEvent(QResizeEvent*)
{
    layoutChildren();
}

void MainFrame::closeEvent(QCloseEvent* event)
{
    if (m_destroyed || (!m_discardConfirmed && !m_shell.confirmDiscard())) {
        event->ignore();
        return;
    }
    m_destroyed = true;
    m_shell.frameDestroyed();
    event->accept();
}

void MainFrame::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::ActivationChange)
        m_frameActive = isActiveWindow();
    QWidget::changeEvent(event);
}

void MainFrame::keyPressEvent(QKeyEvent* event)
{
    QApplication::sendEvent(m_drawingWindow, event);
}

void MainFrame::keyReleaseEvent(QKeyEvent* event)
{
    QApplication::sendEvent(m_drawingWindow, event);
}

void MainFrame::dragEnterEvent(QDragEnterEvent* event)
{
    if (event->mimeData()->hasUrls())
        event->acceptProposedAction();
}

void MainFrame::dropEvent(QDropEvent* event)
{
    // Only the first dropped file is opened.
    for (const QUrl& url : event->mimeData()->urls()) {
        if (!url.isLocalFile())
            continue;
        event->acceptProposedAction();
        const std::string path = url.toLocalFile().toStdString();
        QMetaObject::invokeMethod(
            this, [this, path] { m_shell.openDroppedFile(path); }, Qt::QueuedConnection);
        return;
    }
}

} // namespace zavora
