#pragma once
// The frame ("zavora_frame"): the main window holding the bars, the rulers,
// the status bar, the palettes and the drawing window, placed by the
// documented layout arithmetic. Every command ends in dispatchCommand.

#include <QWidget>

#include <memory>

namespace zavora {

class BarWindow;
class ColorBar;
class CommandDispatcher;
class DrawingWindow;
class MainMenu;
struct MenuState;
class Ruler;
class ShapeLibraryPanel;
class Shell;
class StatusBar;
class SystemClipboard;

class MainFrame : public QWidget {
    Q_OBJECT
public:
    explicit MainFrame(Shell& shell);
    ~MainFrame() override;

    BarWindow* toolbox() const { return m_toolbox; }
    BarWindow* styleBar() const { return m_styleBar; }
    BarWindow* standardBar() const { return m_standardBar; }
    StatusBar* statusBar() const { return m_statusBar; }
    Ruler* horizontalRuler() const { return m_horizontalRuler; }
    Ruler* verticalRuler() const { return m_verticalRuler; }
    ColorBar* colorBar() const { return m_colorBar; }
    ShapeLibraryPanel* shapeLibrary() const { return m_shapeLibrary; }
    DrawingWindow* drawingWindow() const { return m_drawingWindow; }
    SystemClipboard& systemClipboard() const { return *m_systemClipboard; }
    MainMenu* mainMenu() const { return m_menu; }
    bool isFrameActive() const { return m_frameActive; }

    // Places the children for the current size and visibility settings.
    void layoutChildren();
    // Carries out a command identifier; unknown ones go to the debug log.
    void dispatchCommand(int commandId);
    // The same, after the events already queued.
    void postCommand(int commandId);
    // Keeps the menus and the bars' buttons in step with the selection, undo
    // and clipboard.
    void idleWork();
    // What the menu rules read now.
    MenuState menuState() const;
    // Exit: the frame goes away without asking again about changes.
    void closeWithoutAsking();
    // Closes the splash window one second from now.
    void startSplashTimer(QWidget* splash);

protected:
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void timerEvent(QTimerEvent* event) override;

private:
    // A menu of the bar is about to open.
    void menuAboutToOpen();
    // The bars' buttons and their connections.
    void fillBars();
    // A bar button was clicked: its command, then the keyboard back to the
    // drawing window.
    void barButtonClicked(int commandId);

    Shell& m_shell;
    MainMenu* m_menu;
    std::unique_ptr<CommandDispatcher> m_commands;
    BarWindow* m_toolbox;
    BarWindow* m_styleBar;
    BarWindow* m_standardBar;
    StatusBar* m_statusBar;
    SystemClipboard* m_systemClipboard = nullptr;
    Ruler* m_horizontalRuler;
    Ruler* m_verticalRuler;
    ColorBar* m_colorBar;
    ShapeLibraryPanel* m_shapeLibrary;
    DrawingWindow* m_drawingWindow;
    bool m_frameActive = false;
    bool m_destroyed = false;
    bool m_discardConfirmed = false;
    int m_splashTimer = 0;
    QWidget* m_splash = nullptr;
};

} // namespace zavora
