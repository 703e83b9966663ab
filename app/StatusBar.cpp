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

void StatusBar::setNote(const QString& text)
{
    if (text == m_note)
        return;
    m_note = text;
    update();
}

// Every area is 4 to 22 pixels high, 3 pixels inside its edges.
QRect StatusBar::messageArea() const
{
    const int right = m_note.isEmpty() ? width() - kCoordinateWidth - 4 : noteArea().left() - 7;
    return QRect(QPoint(3, 4), QPoint(right, 21));
}

// As wide as its text, just left of the coordinates.
QRect StatusBar::noteArea() const
{
    const int right = width() - kCoordinateWidth - 4;
    return QRect(QPoint(right - fontMetrics().horizontalAdvance(m_note) - 16, 4), QPoint(right, 21));
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
    if (!m_note.isEmpty()) {
        const QRect note = noteArea();
        sunken(note);
        p.setPen(pal.color(QPalette::ButtonText));
        p.drawText(note.adjusted(8, 0, -2, 0), Qt::AlignLeft | Qt::AlignVCenter, m_note);
    }
}

} // namespace zavora
