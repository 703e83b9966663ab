#pragma once
// "DebugDlg": a modeless list of the debug log's lines (at most 1000), kept
// in step with the log through its listener.

#include <QDialog>

class QListWidget;

namespace zavora {

class DebugWindow : public QDialog {
    Q_OBJECT
public:
    // With showOnLine, the window shows itself when a line arrives.
    DebugWindow(QWidget* parent, bool showOnLine);
    ~DebugWindow() override;

    int lineCount() const;

private:
    void refresh();

    QListWidget* m_list;
    bool m_showOnLine;
};

} // namespace zavora
