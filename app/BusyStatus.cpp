#include "app/BusyStatus.h"

#include "app/StatusBar.h"
#include "platform/Reporter.h"

#include <QApplication>

namespace zavora {

WaitCursor::WaitCursor()
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
}

WaitCursor::~WaitCursor()
{
    QApplication::restoreOverrideCursor();
}

BusyStatus::BusyStatus(StatusBar* status, const char* text)
    : m_former(status ? status->message() : QString())
{
    setStatus("%s", text);
}

BusyStatus::~BusyStatus()
{
    setStatus("%s", m_former.toStdString().c_str());
}

} // namespace zavora
