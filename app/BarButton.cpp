#include "app/BarButton.h"

#include "app/BarWindow.h"

#include <QMouseEvent>
#include <QTimerEvent>

// The resource initialiser lives outside any namespace; naming it here also
// keeps the images linked in from the static library.
static void initIconResources()
{
    Q_INIT_RESOURCE(icons);
}

namespace zavora {

BarButton::BarButton(int commandId, const QString& iconName, const QString& toolTip, QWidget* parent)
    : QToolButton(parent)
    , m_commandId(commandId)
{
    setObjectName(QStringLiteral("ZAVBUTTON"));
    setProperty(BarWindow::kCommandProperty, commandId);
    setIcon(barIcon(iconName));
    setIconSize(QSize(16, 16));
    setToolTip(toolTip);
    setAutoRaise(true);
    // The keyboard stays with the drawing window.
    setFocusPolicy(Qt::NoFocus);
    connect(this, &QToolButton::clicked, this, [this] { Q_EMIT commandClicked(m_commandId); });
}

QIcon BarButton::barIcon(const QString& name)
{
    static const bool loaded = (initIconResources(), true);
    (void)loaded;
    QIcon icon;
    for (const char* scale : { "100", "150", "200" })
        icon.addFile(QStringLiteral(":/icons/%1-%2.png").arg(name, QLatin1String(scale)));
    return icon;
}

void BarButton::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        m_holdTimer.start(kHoldMilliseconds, this);
    QToolButton::mousePressEvent(event);
}

void BarButton::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        m_holdTimer.stop();
    QToolButton::mouseReleaseEvent(event);
}

void BarButton::timerEvent(QTimerEvent* event)
{
    if (event->timerId() != m_holdTimer.timerId())
        return QToolButton::timerEvent(event);
    m_holdTimer.stop();
    Q_EMIT held();
}

} // namespace zavora
