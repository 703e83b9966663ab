#include "app/DebugWindow.h"

#include "platform/DebugLog.h"

#include <QListWidget>
#include <QVBoxLayout>

namespace zavora {

DebugWindow::DebugWindow(QWidget* parent, bool showOnLine)
    : QDialog(parent)
    , m_list(new QListWidget(this))
    , m_showOnLine(showOnLine)
{
    setObjectName(QStringLiteral("DebugDlg"));
    setWindowTitle(QStringLiteral("Debug"));
    setModal(false);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_list);
    resize(480, 320);
    refresh();
    DebugLog::instance().setListener([this] { refresh(); });
}

DebugWindow::~DebugWindow()
{
    DebugLog::instance().setListener({});
}

int DebugWindow::lineCount() const
{
    return m_list->count();
}

void DebugWindow::refresh()
{
    const auto& lines = DebugLog::instance().lines();
    // The log only appends, or empties itself when full.
    if (static_cast<std::size_t>(m_list->count()) > lines.size())
        m_list->clear();
    for (std::size_t i = m_list->count(); i < lines.size(); ++i)
        m_list->addItem(QString::fromStdString(lines[i]));
    m_list->scrollToBottom();
    if (m_showOnLine && !lines.empty() && !isVisible())
        show();
}

} // namespace zavora
