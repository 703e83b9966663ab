#pragma once
// The frame's menu bar: every item carries its command identifier and ends
// in the frame's dispatcher; the items are enabled, greyed, checked and
// renamed from a MenuState just before a menu opens (and at idle, so that
// the accelerators follow the same rules).

#include "app/RecentFiles.h"

#include <QObject>

#include <array>
#include <functional>
#include <map>
#include <string>

class QAction;
class QMenu;
class QMenuBar;
class QWidget;

namespace zavora {

struct MenuState {
    int selectedCount = 0;
    bool pasteable = false;
    bool canUndo = false;
    bool canRedo = false;
    bool hasFileName = false;
    bool preview = true;
    bool landscape = false;
    bool rulers = true;
    bool colorBar = true;
    bool shapeLibrary = false;
    std::array<std::string, RecentFiles::kCount> recentFiles;
    // Whether this build has the tool of a command (401 ... 459).
    std::function<bool(int)> toolAvailable;
};

class MainMenu : public QObject {
    Q_OBJECT
public:
    // The bar becomes a child of frame. Items send their identifier to
    // dispatch; aboutToOpen runs before any menu of the bar opens.
    MainMenu(QWidget* frame, std::function<void(int)> dispatch, std::function<void()> aboutToOpen);

    QMenuBar* bar() const { return m_bar; }
    // The item of a command; nullptr for commands without one.
    QAction* action(int commandId) const;
    // The top-level menu titled `title` without its '&' ("File", "Edit", ...).
    QMenu* menu(const QString& title) const;

    // Enabling, check marks and recent-file texts.
    void update(const MenuState& state);

    // Whether the rules enable an item for a state (items the rules do not
    // name are always enabled).
    static bool isEnabled(int commandId, const MenuState& state);

private:
    QAction* add(QMenu* menu, int commandId, const QString& text, const QString& keys = QString());
    QAction* addSample(QMenu* menu, int commandId, const QString& text, const class QPixmap& sample);
    void buildFile();
    void buildEdit();
    void buildView();
    void buildObject();
    void buildLine();
    void buildFill();
    void buildText();
    void buildTools();
    void buildHelp();
    QMenu* addMenu(const QString& title);

    QMenuBar* m_bar;
    std::function<void(int)> m_dispatch;
    std::function<void()> m_aboutToOpen;
    std::map<int, QAction*> m_actions;
};

} // namespace zavora
