#include "app/StatusBar.h"

#include <QPainter>

namespace zavora {

StatusBar::StatusBar(QWidget* parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("zavora_statusBar"));
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void StatusBar::setMessage(const QString& text)
{
    m_message = text;
    update(messageArea());
}

void StatusBar::setPointerText(const QString& text)
{
    if (text == m_pointer)
        return;
    m_pointer = text;
    update(coordinateArea());
}

// Both areas are 4 to 22 pixels high, 3 pixels inside their edges.
QRect StatusBar::messageArea() const
{
    return QRect(QPoint(3, 4), QPoint(width() - kCoordinateWidth - 4, 21));
}

QRect StatusBar::coordinateArea() const
{
    return QRect(QPoint(width() - kCoordinateWidth + 3, 4), QPoint(width() - 4, 21));
}

void StatusBar::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    const QPalette& pal = palette();
    p.fillRect(rect(), pal.color(QPalette::Button));
    p.setPen(pal.color(QPalette::Light));
    p.drawLine(0, 0, width() - 1, 0);
    auto sunken = [&](const QRect& r) {
        p.setPen(pal.color(QPalette::Dark));
        p.drawLine(r.topLeft(), r.topRight());
        p.drawLine(r.topLeft(), r.bottomLeft());
        p.setPen(pal.color(QPalette::Light));
        p.drawLine(r.bottomLeft(), r.bottomRight());
        p.drawLine(r.topRight(), r.bottomRight());
    };
    const QRect message = messageArea(), coordinates = coordinateArea();
    sunken(message);
    sunken(coordinates);
    p.setPen(pal.color(QPalette::ButtonText));
    p.drawText(message.adjusted(5, 0, -2, 0), Qt::AlignLeft | Qt::AlignVCenter, m_message);
    p.drawText(coordinates.adjusted(10, 0, -2, 0), Qt::AlignLeft | Qt::AlignVCenter, m_pointer);
}

} // namespace zavora
